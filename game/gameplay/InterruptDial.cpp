#include "game/gameplay/InterruptDial.h"

InterruptDial InterruptDial::poseAt(std::int32_t lengthMs, std::int32_t elapsedMs)
{
    InterruptDial pose;
    pose.timedOut = elapsedMs >= lengthMs;
    const std::int32_t half = lengthMs / 2;
    if (half <= 0) {
        pose.secondHalf = true;
        pose.secondAngle = k_halfTurnDegrees;
        return pose;
    }
    const float halves = static_cast<float>(half);
    if (elapsedMs <= half) {
        pose.firstAngle = static_cast<float>(elapsedMs) / halves * k_halfTurnDegrees;
    } else {
        pose.secondHalf = true;
        pose.secondAngle = static_cast<float>(elapsedMs - half) / halves * k_halfTurnDegrees;
    }
    return pose;
}
