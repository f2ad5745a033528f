#pragma once

#include <cstdint>

// The kinds of the power-ups a player can hold; -1 is no power-up. Each kind
// has its own view on the gameplay screen.
enum PowerUpKind : std::int32_t {
    k_powerUpNone = -1,
    k_powerUpThrow = 0,
    k_powerUpShower = 1,
    k_powerUpComboBoost = 2,
    k_powerUpStun = 3,
    k_powerUpCover = 4,
    k_powerUpFlip = 5,
    k_powerUpSplat = 6,
    k_powerUpQuake = 7,
};

inline constexpr std::int32_t k_powerUpKindCount = 8;

// Whether `kind` is one of the eight kinds that make a view (not None).
inline constexpr bool isPowerUpKind(std::int32_t kind)
{
    return kind >= k_powerUpThrow && kind <= k_powerUpQuake;
}
