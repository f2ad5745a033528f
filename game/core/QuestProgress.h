#pragma once

#include <cstdint>

// One quest's state in a player's profile.
struct QuestProgress
{
    static constexpr int32_t k_locked = -1;
    static constexpr int32_t k_open = 0;
    // States 1 to 6 are finished quests with state - 1 stars.
    static constexpr int32_t k_maxState = 6;

    int32_t questId = 0;
    int32_t world = -1; // -1 until unlocked, then the index of the world holding the quest
    int32_t state = k_locked;

    bool operator==(const QuestProgress&) const = default;
};
