#pragma once

// The game's shuffle: for each position from the second to the last, swap it
// with the position the game's rand() mod (position + 1) names. Search lists,
// bones and power-ups replay the same order for the same seed.

#include "game/core/GameRandom.h"

#include <cstddef>
#include <utility>

template <class Container> void gameShuffle(Container& values)
{
    for (std::size_t i = 1; i < values.size(); ++i) {
        const auto j = static_cast<std::size_t>(GameRandom::rand()) % (i + 1);
        using std::swap;
        swap(values[i], values[j]);
    }
}
