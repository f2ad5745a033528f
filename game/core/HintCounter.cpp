#include "game/core/HintCounter.h"

#include <algorithm>

void HintCounter::update(std::int32_t elapsedMs)
{
    if (recharging) {
        rechargeTimer += elapsedMs;
        if (rechargeTimer > k_rechargeMs) {
            // A full counter stays full rather than wrapping to 0.
            hints = std::min(hints + 1, k_maxHints);
            rechargeTimer %= k_rechargeMs;
        }
    }
    if (justUsed) {
        useTimer += elapsedMs;
        if (useTimer > k_useLockMs) {
            useTimer = 0;
            justUsed = false;
        }
    }
}
