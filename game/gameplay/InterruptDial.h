#pragma once

#include <cstdint>

// The interrupt's dial: two half-turn pointers over two frame images. The
// first pointer turns through the first half of the interrupt's length, the
// second (with the second frame image shown) through the second half; the
// interrupt times out once the elapsed time reaches the length.
struct InterruptDial
{
    static constexpr float k_halfTurnDegrees = -180.0f;

    bool secondHalf = false;  // second frame image shown, first pointer hidden
    float firstAngle = 0.0f;  // degrees, while in the first half
    float secondAngle = 0.0f; // degrees, while in the second half
    bool timedOut = false;

    // The pose after `elapsedMs` of an interrupt `lengthMs` long. A length
    // of 0 or 1 has no half to turn through: its dial stands at its end.
    static InterruptDial poseAt(std::int32_t lengthMs, std::int32_t elapsedMs);
};
