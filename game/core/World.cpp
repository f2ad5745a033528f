#include "game/core/World.h"

#include "game/core/GameDataFields.h"

World::~World() = default;

void World::serialize(FSerializer& serializer)
{
    m_quests.clear();
    GameDataFields::readRecords(serializer, "Quests", m_quests);
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
