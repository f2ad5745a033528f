#pragma once

// The UI module's pointer interface (service slot 8). The window module (mouse)
// and the game pad module (stick and buttons) call it on the main thread; each
// call only queues the event for the UI thread. Button codes are FPointerButton
// values.

#include "core/FAppListener.h"

#include <cstdint>

// A pointer position in window-size coordinates.
struct FPointerPoint
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const FPointerPoint&) const = default;
};

class FPointerListener : public FAppListener11
{
public:
    using FAppListener11::FAppListener11;

    virtual void pointerEntered(int pointer) = 0;
    // Only the latest movement of a pointer needs to wait in the UI queue.
    virtual void pointerMoved(int pointer, const FPointerPoint& point) = 0;
    virtual void pointerLeft(int pointer) = 0;
    virtual void pointerPressed(int pointer, int button, const FPointerPoint& point) = 0;
    virtual void pointerReleased(int pointer, int button, const FPointerPoint& point) = 0;
};
