#pragma once

#include "core/FRef.h"

#include <cstdint>

// What the front-end backdrop asks of the game module: the next screen when
// its closing animation ends, whether the game is paused (the backdrop then
// freezes), and its opening sound. The game module implements it.
class BackdropServices
{
public:
    virtual ~BackdropServices() = default;

    // The user-interface module's screen change (setScreen of the game
    // module), asynchronous when async is set.
    virtual void setScreen(int32_t kind, bool async) = 0;
    virtual bool isGamePaused() const = 0;
    // Plays a sound at a base volume (0-127) through the game module.
    virtual void playSound(const FRef& sound, int32_t volume) = 0;
};
