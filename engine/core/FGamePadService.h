#pragma once

// The game pad service (slot 7). The window module's pump polls it once per
// pass of the main loop; changes of the stick and the first six buttons reach
// the pointer listener as presses and releases on pointer 0.

#include "core/FAppListener.h"

class FGamePadService : public FAppListener
{
public:
    using FAppListener::FAppListener;

    // Only controller 0 exists.
    virtual bool isValidController(int index) = 0;
    // Read by the game when a controller connects.
    virtual int connectionStatus() = 0;
    // Called by buttons on hover with their rumble duration.
    virtual void rumble(int pointer, int durationMs) = 0;
    // Main thread only.
    virtual void poll(unsigned elapsedMs, int flag) = 0;
    // Called by the game when a controller connects.
    virtual void controllerConnected(int index, bool flag) = 0;
    virtual void acquire() = 0;
    virtual void unacquire() = 0;
};
