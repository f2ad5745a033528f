#include "game/core/World.h"

#include "core/FSerializer.h"

World::~World() = default;

void World::serialize(FSerializer& serializer)
{
    std::int32_t count = -1;
    serializer.beginArray("Quests", count);
    m_quests.clear();
    for (std::int32_t i = 0; i < count; ++i) {
        // Read in place: the quest's tasks keep its address.
        Quest& quest = m_quests.emplace_back();
        serializer.beginItem(i);
        quest.serialize(serializer);
        serializer.endItem(i);
    }
    serializer.endArray("Quests");
}

Quest* World::findQuestByType(std::int32_t questType)
{
    for (Quest& quest : m_quests) {
        if (quest.questType() == questType) {
            return &quest;
        }
    }
    return nullptr;
}
