#pragma once

#include <cstdint>

// IMA ADPCM with the standard 89-entry step table and index adjustments:
// one decoding state per channel, 4 bits a sample.
class FImaAdpcm
{
public:
    static constexpr int k_steps = 89;

    struct State
    {
        int predictor = 0;
        int index = 0;
    };

    static const int16_t k_stepTable[k_steps];
    static const int8_t k_indexTable[16];

    // The next sample of `state` for nibble n (the predictor afterwards).
    static int16_t decode(State& state, int nibble);
    // The difference that nibble n adds at step index `index`.
    static int difference(int index, int nibble);

    // Every frame (l, r) of `frames` interleaved stereo frames becomes
    // (l + r, l - r), each saturated to 16 bits.
    static void midSideToLeftRight(int16_t* samples, int frames);
};
