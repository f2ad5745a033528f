#pragma once

#include "graphics/FGeometry.h"

#include <cstdint>

// What the window module needs of the owner of the game window (the graphics
// module): the sizes that map pointer positions into the picture, and the
// handlers of paint and of reactivation after full screen was left.
class FWindowHost
{
public:
    virtual ~FWindowHost() = default;

    // Client size of the window (x width, y height).
    virtual const FPointI& getWindowSize() = 0;
    // The part of the client area that shows the application picture.
    virtual const FRectI& getViewportRect() = 0;
    virtual bool isFullScreen() = 0;
    virtual void onPaint() = 0;
    virtual void resetDevice() = 0;
    // Once per main-loop pass, after the window's events.
    virtual void onProcessTick(int32_t) {}
};
