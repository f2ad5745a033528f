#pragma once

#include <cstdint>

class ParticleEmitter;

// The settings an effect gives one of its sparkle emitters, written to the
// emitter before its start.
struct SparkleSettings
{
    int32_t emitDuration;
    int32_t rate;
    bool additiveBlend;
    int32_t spreadWidth, spreadHeight;
    int32_t velocitySpreadX, velocitySpreadY;
    int32_t accelerationX, accelerationY;
    int32_t lifetimeRange, lifetimeMin;
    int32_t spin, sizeBase, sizeGrowth;
};

void applySparkle(ParticleEmitter& emitter, const SparkleSettings& settings);
