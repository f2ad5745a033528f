#pragma once

#include <cstdint>

// The courses tweens and fades follow. For progress f (elapsed / duration)
// course 0 is linear, 1 starts fast and settles, 2 starts slowly.
namespace FEasing {
inline constexpr int32_t k_linear = 0;
inline constexpr int32_t k_easeOut = 1;
inline constexpr int32_t k_easeIn = 2;

// The raw value of course 1 or 2 at f, not clamped; f itself for any other.
double raw(int32_t easing, double f);
// raw clamped to [0, 1].
double value(int32_t easing, double f);
} // namespace FEasing
