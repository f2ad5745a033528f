#pragma once

#include "core/FRef.h"

#include <cstdint>

class FImageWidget;
struct ParticleRecord;

// One sprite of a ParticleGroup: a moving, ageing point in 16.16 fixed point
// shown by its own image widget, which fades, shrinks and turns as the
// record ages.
struct ParticleSpriteRecord
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t vx = 0;
    int32_t vy = 0;
    int32_t ax = 0;
    int32_t ay = 0;
    uint32_t lifetime = 0;
    uint32_t age = 0;
    ParticleRecord* owner = nullptr;
    FRefT<FImageWidget> sprite;
    bool live = false;
    int32_t blendMode = 0;
    int32_t spinPhase = 0;

    // 255 at birth falling toward 0 at the lifetime; 0 for a record that
    // has no lifetime at all.
    int32_t alpha() const;
    // Puts the record's state on its widget; a dead record only hides it.
    void apply(bool visible);
};
