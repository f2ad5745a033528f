#pragma once

#include "core/FRef.h"

#include <cstdint>

// The game's factory of screen-file objects: a new, empty asset of the kind
// code (0 raw data, 1 font, 3 image, 6 skin), or an empty handle for kind 5
// (a text record) and unknown codes. The music, sample and video kinds give
// an empty handle until their classes exist, so a screen file naming one
// fails to read with a report instead of being read out of step.
FRef createScreenObject(int16_t kind);
