#include "game/worlds/WorldSceneLayoutBase.h"

#include "asset/FScreenRegistry.h"
#include "core/FErrorMessage.h"
#include "core/FLocalizedMessages.h"

FRef WorldSceneLayoutBase::checked(FRef found, const char* map, int32_t id, const char* key) const
{
    if (found.isNull())
        ZIBBO_FAIL(msgIllegalOperation, "folder " << m_binding.folder() << ": " << map << " id " << id
                                                  << " of key " << key << " (absent) present");
    return found;
}

FRef WorldSceneLayoutBase::fetchWorldAsset(int32_t id, const char* key) const
{
    return checked(m_registry->findInSecond(id), "asset", id, key);
}

FRef WorldSceneLayoutBase::fetchWorldText(int32_t id, const char* key) const
{
    return checked(m_registry->findInThird(id), "text", id, key);
}

void WorldSceneLayoutBase::fileAssets(NamedRefMap& table, const WorldLayoutEntry* entries,
                                      std::size_t count) const
{
    for (std::size_t i = 0; i < count; ++i)
        table.findOrInsert(entries[i].key) = fetchWorldAsset(entries[i].id, entries[i].key);
}

void WorldSceneLayoutBase::fileTexts(NamedRefMap& table, const WorldLayoutEntry* entries,
                                     std::size_t count) const
{
    for (std::size_t i = 0; i < count; ++i)
        table.findOrInsert(entries[i].key) = fetchWorldText(entries[i].id, entries[i].key);
}
