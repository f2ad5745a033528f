#pragma once

#include "core/FRef.h"

#include <cstdint>

// The game's factory of screen-file objects: a new, empty asset of the kind
// code (0 raw data, 1 font, 2 music, 3 image, 4 sample, 6 skin, 7 video), or
// an empty handle for kind 5 (a text record) and unknown codes; the screen
// reader reports those. Music plays its channels under the audio lock, so it
// needs the audio service: without one kind 2 gives an empty handle too.
FRef createScreenObject(int16_t kind);
