#pragma once

#include <cstdint>

// The game's own random numbers: the linear congruential generator of the C
// runtime the game's rules were tuned against (state * 214013 + 2531011, the
// result bits 16 to 30). The shuffles, random counts and effects of the game
// draw from it, never from the system's rand, so a seed replays the same
// search lists and effects on every platform.
//
// Every thread has its own state, which starts as if seeded with 1; seeding
// changes only the calling thread's state. The game module seeds the UI
// thread once at launch with the time in seconds.
class GameRandom
{
public:
    static constexpr int32_t k_max = 0x7FFF;

    // The next value of the calling thread's sequence, 0 to k_max.
    static int32_t rand();
    // Restarts the calling thread's sequence.
    static void srand(uint32_t seed);
    // The calling thread's state (for tests and for saving a sequence).
    static uint32_t state();
};
