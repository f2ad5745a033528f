#pragma once

#include "core/FRef.h"

class FImage;

// The assets a menu screen hands the front-end backdrop, from its shared
// front-end layout part.
struct ParticleViewAssets
{
    FRefT<FImage> pictures[4];
    FRefT<FImage> backdrop;
    FRefT<FImage> waveSparkle;
    FRefT<FImage> burstSparkle;
    FRefT<FImage> sweepSparkle;
    FRef openSound;
};
