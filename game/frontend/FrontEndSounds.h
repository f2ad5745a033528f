#pragma once

#include "core/FRef.h"

// The game module's music and sound calls the front-end screens make; each
// does nothing without a running game module or its sound channels (a
// headless run without audio).
namespace FrontEndSounds {
void playMusic(const FRef& track, bool loop);
bool isGamePaused();
} // namespace FrontEndSounds
