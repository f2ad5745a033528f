#pragma once

// The UI module's key interface (service slot 18). The window module calls it
// on the main thread with FKeyCode values; each call only queues the event for
// the UI thread.

#include "core/FAppListener.h"

#include <cstdint>

class FKeyListener : public FAppListener3
{
public:
    using FAppListener3::FAppListener3;

    virtual void keyPressed(std::uint32_t code) = 0;
    virtual void keyReleased(std::uint32_t code) = 0;
    // Auto-repeat of a held key; the UI module takes it as a typed character.
    virtual void keyRepeated(std::uint32_t code) = 0;
};
