#include "audio/FImaAdpcm.h"

#include <algorithm>
#include <array>

const int16_t FImaAdpcm::k_stepTable[k_steps] = {
    7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

const int8_t FImaAdpcm::k_indexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

namespace {

// One table of every (step index, nibble) difference, made once.
std::array<std::array<int, 16>, FImaAdpcm::k_steps> makeDifferences()
{
    std::array<std::array<int, 16>, FImaAdpcm::k_steps> table{};
    for (int i = 0; i < FImaAdpcm::k_steps; ++i) {
        const int step = FImaAdpcm::k_stepTable[i];
        for (int n = 0; n < 16; ++n) {
            int diff = step >> 3;
            if (n & 4) diff += step;
            if (n & 2) diff += step >> 1;
            if (n & 1) diff += step >> 2;
            table[i][n] = (n & 8) ? -diff : diff;
        }
    }
    return table;
}

const std::array<std::array<int, 16>, FImaAdpcm::k_steps> k_differences = makeDifferences();

int16_t saturate(int value)
{
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

} // namespace

int FImaAdpcm::difference(int index, int nibble)
{
    return k_differences[index][nibble & 15];
}

int16_t FImaAdpcm::decode(State& state, int nibble)
{
    nibble &= 15;
    state.predictor = saturate(state.predictor + k_differences[state.index][nibble]);
    state.index = std::clamp(state.index + k_indexTable[nibble], 0, k_steps - 1);
    return static_cast<int16_t>(state.predictor);
}

void FImaAdpcm::midSideToLeftRight(int16_t* samples, int frames)
{
    for (int i = 0; i < frames; ++i) {
        const int mid = samples[2 * i];
        const int side = samples[2 * i + 1];
        samples[2 * i] = saturate(mid + side);
        samples[2 * i + 1] = saturate(mid - side);
    }
}
