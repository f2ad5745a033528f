#pragma once

#include "core/FRef.h"

#include <cstdint>

// What the fade-swap widget needs of the gameplay screen that owns it: the
// two swap sounds of its layout, the game's sound player and the two
// notifications. The gameplay screen implements it.
class FadeSwapHost
{
public:
    virtual ~FadeSwapHost() = default;

    // The sound played when picture 0 (the first) or 1 (the second) is in.
    virtual FRef swapSound(int32_t picture) = 0;
    // Plays a sound through the game module at a base volume (0-127).
    virtual void playSound(const FRef& sound, int32_t volume) = 0;
    // The second picture begins.
    virtual void onFadeSwapHalfway() = 0;
    // The swap has ended.
    virtual void onFadeSwapFinished() = 0;
};
