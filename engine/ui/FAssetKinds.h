#pragma once

#include "core/FRef.h"

#include <cstdint>

// The asset kinds the engine itself defines, by screen-file kind code: a
// new, empty asset in a handle that deletes it as an asset. The game's
// factory of screen objects builds on it; so do the tools that read screen
// files.
struct FAssetKinds
{
    // 0 raw data, 1 font, 3 image, 6 skin; an empty handle for other codes.
    static FRef create(int16_t kind);
};
