#include "game/widgets/SparkleSettings.h"

#include "game/widgets/ParticleEmitter.h"

void applySparkle(ParticleEmitter& emitter, const SparkleSettings& settings)
{
    emitter.emitDuration = settings.emitDuration;
    emitter.rate = settings.rate;
    emitter.additiveBlend = settings.additiveBlend;
    emitter.spreadWidth = settings.spreadWidth;
    emitter.spreadHeight = settings.spreadHeight;
    emitter.velocitySpreadX = settings.velocitySpreadX;
    emitter.velocitySpreadY = settings.velocitySpreadY;
    emitter.accelerationX = settings.accelerationX;
    emitter.accelerationY = settings.accelerationY;
    emitter.lifetimeRange = settings.lifetimeRange;
    emitter.lifetimeMin = settings.lifetimeMin;
    emitter.spin = settings.spin;
    emitter.sizeBase = settings.sizeBase;
    emitter.sizeGrowth = settings.sizeGrowth;
}
