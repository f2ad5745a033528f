#pragma once

// The hints of a level: how many the player holds, the short lock after one
// was used, and the recharge that adds one every 30 seconds.

#include <cstdint>

class GameSession;

class HintCounter
{
public:
    static constexpr std::int32_t k_rechargeMs = 30000;
    static constexpr std::int32_t k_useLockMs = 500;
    // The most hints the counter shows (two digits).
    static constexpr std::int32_t k_maxHints = 98;

    explicit HintCounter(GameSession* owner) noexcept : m_owner(owner) {}

    void update(std::int32_t elapsedMs);

    GameSession* owner() const noexcept { return m_owner; }
    std::int32_t hints = 0;
    std::int32_t useTimer = 0;
    bool justUsed = false;
    std::int32_t rechargeTimer = 0;
    bool recharging = false;
    std::int32_t startHints = 0;

private:
    GameSession* m_owner;
};
