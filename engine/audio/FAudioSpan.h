#pragma once

#include "audio/FAudioFrame.h"

#include <cstdint>

// The part of an output buffer that one mix call fills. The owner of the buffer
// sets start and count; writers advance done (and keep their write cursor).
struct FAudioSpan
{
    int start = 0;
    int count = 0;
    FAudioFrame* frame = nullptr; // the frame being written
    int done = 0;
    std::uint8_t* cursor = nullptr; // null until the first write

    void reset(int first, int frames)
    {
        start = first;
        count = frames;
        done = 0;
        cursor = nullptr;
    }
};
