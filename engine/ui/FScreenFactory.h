#pragma once

#include "core/FRef.h"

#include <cstdint>

class FScreen;

// What the UI module builds screens with: the game answers a screen kind with
// a new screen. The module calls it on the thread that builds the screen (the
// UI thread for a synchronous request, a screen-load worker otherwise), so an
// implementation touches nothing that only the UI thread may use.
class FScreenFactory
{
public:
    virtual ~FScreenFactory() = default;

    // A newly built screen of `kind`, or an empty handle for a kind that has
    // no screen.
    virtual FRefT<FScreen> createScreen(int32_t kind) = 0;
};
