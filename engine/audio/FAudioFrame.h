#pragma once

// One stereo frame inside the mixer, on the 16-bit scale (mono data gives both
// sides the same value).
struct FAudioFrame
{
    int left = 0;
    int right = 0;
};
