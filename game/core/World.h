#pragma once

// One world of the map: its quests in file order.

#include "game/core/Quest.h"

#include <cstdint>
#include <deque>

class FSerializer;

class World
{
public:
    World() = default;
    virtual ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Reads the list "Quests", each element into a new quest appended in
    // file order.
    virtual void serialize(FSerializer& serializer);

    // The first quest whose type is `questType`, or null.
    Quest* findQuestByType(std::int32_t questType);

    bool isUnlocked() const noexcept { return m_unlocked; }
    void setUnlocked(bool unlocked) noexcept { m_unlocked = unlocked; }
    std::int32_t index() const noexcept { return m_index; }
    void setIndex(std::int32_t index) noexcept { m_index = index; }
    std::deque<Quest>& quests() noexcept { return m_quests; }
    const std::deque<Quest>& quests() const noexcept { return m_quests; }

private:
    bool m_unlocked = false;
    std::int32_t m_index = -1;
    std::deque<Quest> m_quests;
};
