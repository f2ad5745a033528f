#include "ui/FLayoutBinding.h"

#include "asset/FScreenRegistry.h"
#include "asset/FScreenService.h"
#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FLocalizedMessages.h"
#include "core/FServiceSlots.h"
#include "ui/FScreen.h"

FScreenService& FLayoutBinding::screens()
{
    auto* screens = findService<FScreenService>(k_slotScreen);
    if (screens == nullptr) ZIBBO_FAIL(msgIllegalOperation, "screen service (NULL) != NULL");
    return *screens;
}

FScreenRegistry& FLayoutBinding::registry()
{
    return screens().registry();
}

int32_t FLayoutBinding::currentLanguage()
{
    return FLocalizedMessages::language();
}

void FLayoutBinding::bind(FScreen* owner, int32_t folder, int32_t hint, int32_t language)
{
    m_owner = owner;
    m_folder = folder;
    m_hint = hint;
    m_bound = false;
    screens().readScreenFile(owner, folder, hint, language, false);
    m_bound = true;
}

void FLayoutBinding::unbind()
{
    screens().unbind(m_folder);
}

void FLayoutBinding::rebind(int32_t language)
{
    screens().readScreenFile(m_owner, m_folder, m_hint, language, m_bound);
    m_bound = true;
}

FRef FLayoutBinding::fetch(FRef found, const char* map, int32_t id) const
{
    if (found.isNull())
        ZIBBO_FAIL(msgIllegalOperation,
                   "folder " << m_folder << ": " << map << " id " << id << " (absent) present");
    return found;
}

FRef FLayoutBinding::fetchWidget(FScreenRegistry& registry, int32_t id) const
{
    return fetch(registry.findInFirst(id), "widget", id);
}

FRef FLayoutBinding::fetchAsset(FScreenRegistry& registry, int32_t id) const
{
    return fetch(registry.findInSecond(id), "asset", id);
}

FRef FLayoutBinding::fetchText(FScreenRegistry& registry, int32_t id) const
{
    return fetch(registry.findInThird(id), "text", id);
}

void FLayoutBinding::swapText(FScreenRegistry& registry, FRef& member, int32_t id) const
{
    FRef fresh = fetchText(registry, id);
    swapRefTargets(member, fresh);
}
