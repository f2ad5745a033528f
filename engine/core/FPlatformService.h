#pragma once

// The window module's service (slot 40): the main loop's message pump.

#include "core/FAppListener.h"

class FPlatformService : public FAppListener
{
public:
    using FAppListener::FAppListener;

    // Handles the window events queued so far, then polls the game pads.
    // Returns nonzero when a quit was requested.
    virtual int pumpMessages(unsigned elapsedMs) = 0;
};
