#pragma once

#include "audio/FAudioFrame.h"
#include "audio/FListenerSet.h"
#include "core/FRef.h"

#include <cstdint>

class FAudioStreamTask;

// The play state of one attachment of a sample: position, loop, gains, the
// resampler's two frames and the listener sets. Buses use one as their gain
// record (position 0, base volume = bus gain, pans 64).
struct FVoiceState
{
    enum LoopMode : int { k_noLoop = 0, k_loop = 1, k_pingPong = 2 };
    static constexpr int k_ownPitchNote = 48;

    int position = 0;
    const std::uint8_t* readPointer = nullptr;
    FAudioFrame* outFrame = nullptr;
    bool silent = false;
    int step = 1;
    int gainLeft = 0; // 12-bit fixed point, 4096 = unity
    int gainRight = 0;
    int volume = 0; // 64 = unity
    int baseVolume = 64;
    int panLeft = 64;
    int panRight = 64;
    int loopMode = k_noLoop;
    int loopStart = -1;
    int loopEnd = -1; // inclusive
    const std::uint8_t* loopStartPointer = nullptr;
    bool released = false;
    int phase = 0; // 16.16 fraction between frames A and B
    FAudioFrame frames[2];
    int note = k_ownPitchNote;
    int fineTune = 0; // 1/128 semitone
    bool primed = false;
    int toggle = 1;     // which of `frames` is A
    bool ended = false; // the end listeners have been told
    FListenerSet m_ended;
    FListenerSet m_progress;
    // Declared last so that it goes first: deleting the task stops and joins
    // the decoder before the listener sets are emptied.
    FRefT<FAudioStreamTask> streamTask; // a streamed sample's decoder
};
