#pragma once

#include "audio/FListenerSet.h"

// A channel's level, fade, mute and de-click state. It lives in the bus-slot
// context, so it survives any number of source changes.
struct FVolumeFader
{
    static constexpr int k_unity = 64 * 256;
    static constexpr int k_fading = -1;
    static constexpr int k_rampFrames = 32;

    int current = k_unity; // 8.8 fixed point
    bool muted = false;
    int target = 0;
    int fadeTime = 0; // 0 idle, > 0 asked for (ms), -1 fading
    int step = 0;     // 8.8 change per mix call
    FListenerSet m_fadeEnded;
    int ramp = 0; // frames left of the de-click ramp
    int lastLeft = 0;
    int lastRight = 0;
};
