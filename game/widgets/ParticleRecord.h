#pragma once

#include "core/FRef.h"

#include <cstdint>

class FImage;

// One emission source of a ParticlePool: a point in 16.16 fixed point with an
// emission budget and the settings every sprite it emits receives. The pool
// hands records out through its free list; emitters move and configure them.
struct ParticleRecord
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t emitDuration = 0;
    int32_t elapsed = 0;
    bool emitting = false;
    // Lent out (not in the pool's free list).
    bool active = false;
    int32_t liveRecords = 0;
    int32_t rate = 0;
    FRefT<FImage> image;
    bool useColour = false;
    // Alpha in the top byte: opaque black.
    uint32_t colour = 0xFF000000u;
    int32_t emitAccumulator = 0;
    // The image widget blend modes: 0 alpha blending, 1 additive.
    int32_t blendMode = 0;
    int32_t spreadWidth = 2050000;
    int32_t spreadHeight = 2050000;
    int32_t velocitySpreadX = 250000;
    int32_t velocitySpreadY = 250000;
    int32_t lifetimeRange = 2200;
    int32_t lifetimeMin = 220;
    int32_t accelerationX = 0;
    int32_t accelerationY = 1000;
    float spin = 2.0f;
    int32_t sizeBase = 4;
    int32_t sizeGrowth = 128;
    // Counts the loans of this record, so that a holder can tell whether the
    // record it once took is still its own after the pool retired it.
    uint32_t lease = 0;
};
