#include "game/core/GameRandom.h"

namespace {

thread_local uint32_t t_state = 1;

} // namespace

int32_t GameRandom::rand()
{
    // Unsigned arithmetic wraps modulo 2^32 as the generator requires.
    t_state = t_state * 214013u + 2531011u;
    return static_cast<int32_t>((t_state >> 16) & k_max);
}

void GameRandom::srand(uint32_t seed)
{
    t_state = seed;
}

uint32_t GameRandom::state()
{
    return t_state;
}
