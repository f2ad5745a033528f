#pragma once

#include <cstdint>

// Two pointer button codes match when they are equal or twins: the confirm
// code 6 and the left button 8, 4 and 17, 5 and 18 (in either order).
inline bool inputCodesMatch(int32_t a, int32_t b)
{
    if (a == b) return true;
    const auto pairIs = [a, b](int32_t x, int32_t y) { return (a == x && b == y) || (a == y && b == x); };
    return pairIs(6, 8) || pairIs(4, 17) || pairIs(5, 18);
}
