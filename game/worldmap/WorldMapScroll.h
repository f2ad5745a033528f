#pragma once

#include "graphics/FGeometry.h"

#include <cstdint>

// The arithmetic of the world map's scrolling: the margin around the map,
// the scroll limits, the glide's steps and the coasting's decay. Pure
// functions, so that the screen and the tests share one definition.
namespace WorldMapScroll {

// Glide steps wait until more than this many milliseconds have gathered.
inline constexpr int32_t k_glideStepMs = 100;
// Each glide step covers this share of the remaining distance.
inline constexpr float k_glideShare = 0.4f;
// A press turns into a drag after this long and this far.
inline constexpr int32_t k_dragDelayMs = 150;
inline constexpr double k_dragDistance = 10.0;
// Coasting halves the velocity every this many milliseconds.
inline constexpr int32_t k_coastHalvingMs = 150;
// A decayed velocity below this magnitude stops.
inline constexpr int32_t k_coastStop = 3;

// The margin by which the map picture extends the map container on every
// side (both axes use the width): trunc(width x 300 / 640).
int32_t margin(int32_t screenWidth);

// The offset moved inside [-m, Wc - W + m] x [-m, Hc - H + m], with the
// screen size W x H and the map picture size Wc x Hc.
FPointI clampOffset(FPointI offset, FPointI screen, FPointI picture);

// The scroll position that puts a map point at the centre of the container:
// trunc(point x scale) - trunc(container size / 2), per axis.
FPointI glideTarget(FPointI mapPoint, FPointF scale, const FRectI& container);

// One glide step from `scroll` toward `target`: 40 % of the remaining
// distance, truncated toward zero.
FPointI glideStep(FPointI scroll, FPointI target);

// One halving of a coasting velocity component: v - trunc(v / 2), and 0
// once the magnitude falls below 3.
int32_t decayVelocity(int32_t velocity);

} // namespace WorldMapScroll
