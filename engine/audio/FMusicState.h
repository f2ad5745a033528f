#pragma once

#include "audio/FAudioBus.h"
#include "audio/FBusMixState.h"
#include "audio/FListenerSet.h"
#include "core/FRef.h"

#include <vector>

// Where a music asset is in its song, in the context it is attached in.
struct FMusicState
{
    int order = 0;
    int row = 0;
    int tick = 0;
    int tickFramesDone = 0; // frames already rendered of the current tick
    int beatCount = 0;
    float beatPhase = 0.0f;         // beats since the last beat event
    int jumpOrder = -1;             // none
    int tempo = 0;                  // 0: not started
    int speed = 0;                  // ticks per row
    FRefT<FAudioBus> bus;           // one channel per song channel
    FBusMixState* busMix = nullptr; // the bus's level, in the same context
    float speedFactor = 1.0f;
    FListenerSet m_patternStart;
    FListenerSet m_beat;
    std::vector<int> instruments; // current instrument per channel, -1 none
};
