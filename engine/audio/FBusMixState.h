#pragma once

#include "audio/FAudioBuffer.h"
#include "audio/FAudioSpan.h"
#include "audio/FVoiceState.h"
#include "core/FRef.h"

// A bus's mixing state in its parent-side context: the scratch buffer its
// children render into, the gain record applied when adding them up, and the
// bus level (64 = unity).
struct FBusMixState
{
    FRefT<FAudioBuffer> scratch;
    FVoiceState gain;
    FRefT<FAudioSpan> scratchSpan;
    int level = 64;
};
