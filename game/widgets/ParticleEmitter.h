#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"
#include "graphics/FGeometry.h"
#include "ui/FTimerTween.h"

#include <cstdint>
#include <vector>

class FImage;
class FWidget;
class ParticleGroup;
class ParticlePool;
struct ParticleRecord;

// Takes one particle from a pool and moves it along a path (a line, a sine
// wave along a line, a circle, a fixed point, or the centre of a followed
// widget), so that it leaves a trail of sprites in a group. The owner sets the
// public settings between construction and the start; paths are built once,
// one point per 25 ms, and serve every later restart.
class ParticleEmitter
{
public:
    using Finished = FDelegate<void()>;

    enum PathType : int32_t { k_line = 0, k_wave = 1, k_circle = 2, k_point = 3 };
    static constexpr int32_t k_stepMs = 25;

    ParticleEmitter(int32_t duration, ParticlePool* pool, ParticleGroup* group, const FRefT<FImage>& image,
                    int32_t startX, int32_t startY, int32_t type, bool repeat, int32_t repeatDelay);
    ~ParticleEmitter();
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    // Wave emitters: sine amplitude and wavelength in pixels, phase in turns.
    // Ignored unless both sizes are positive and the emitter is a wave.
    void setWave(int32_t amplitude, int32_t waveLength, float phase);
    // Circle emitters: the start point becomes the centre; the angle of the
    // first point must lie in [0, 2 pi). (Screens also call this
    // "setDirection", with the angle first.)
    void setCircle(int32_t radius, float startAngle);
    // Starts the path from its first point with a particle that emits again.
    void restart();
    // Puts the particle on the centre of the target (plus the offsets) for
    // the emitter's duration.
    void follow(FWidget* target, int32_t offsetX, int32_t offsetY, bool layerBelowTarget);
    void update(int32_t elapsedMs);
    // The particle stops emitting (its sprites fade out) and the path is
    // emptied.
    void stop();
    // The repeat timer's completion.
    void onRepeatTimer();
    // Invoked whenever the emitter finishes its path (stores a clone).
    void setOnFinished(const Finished* callback) { Finished::assign(m_onFinished, callback); }

    // Settings the owner writes before a start; each start copies them to
    // the particle.
    int32_t emitDuration;
    int32_t lifetimeRange = 1000;
    int32_t lifetimeMin = 500;
    // Pixels; the particle takes them in 16.16.
    int32_t spreadWidth = 150;
    int32_t spreadHeight = 150;
    int32_t velocitySpreadX = 100000;
    int32_t velocitySpreadY = 100000;
    int32_t accelerationX = 0;
    int32_t accelerationY = 0;
    int32_t spin = 0;
    int32_t sizeBase = 1;
    int32_t sizeGrowth = 16;
    // Copied as blend mode 1 (additive) when set, else 0 (alpha blending).
    bool additiveBlend = false;
    int32_t rate = 256;
    // The first point of the path (the centre of a circle from setCircle on)
    // and the last point of lines and waves.
    int32_t startX;
    int32_t startY;
    int32_t endX = -1;
    int32_t endY = -1;

    // The particle this emitter still holds on loan, or null: a particle the
    // pool has retired is no longer the emitter's.
    ParticleRecord* particle() const;
    bool isEnabled() const { return m_enabled; }
    bool isMoving() const { return m_moving; }
    bool isShapeSet() const { return m_shapeSet; }
    int32_t type() const { return m_type; }
    const std::vector<FPointI>& path() const { return m_path; }
    uint32_t pathIndex() const { return m_pathIndex; }
    FPointI currentPoint() const { return {m_currentX, m_currentY}; }

private:
    // Takes a fresh particle from the pool (null when the pool has none).
    void takeParticle();
    // A start: the emitter's particle emits again from now, or a fresh one
    // is taken when the pool has retired it.
    void armParticle();
    void applySettings();
    void buildPath();
    void buildLine();
    void buildWave();
    void buildCircle();
    void putParticle(FPointI point);
    FPointI followedPoint() const;
    void finish();

    Finished* m_onFinished = nullptr;
    bool m_enabled = false;
    int32_t m_type;
    bool m_shapeSet = false;
    ParticlePool* m_pool;
    ParticleGroup* m_group;
    ParticleRecord* m_particle = nullptr;
    uint32_t m_lease = 0;
    int32_t m_waveAmplitude = 0;
    int32_t m_waveLength = 0;
    float m_wavePhase = 0.0f;
    int32_t m_circleX = 0;
    int32_t m_circleY = 0;
    float m_circleRadius = 0.0f;
    float m_circleStartAngle = 0.0f;
    bool m_following = false;
    bool m_layerBelowTarget = false;
    int32_t m_targetOffsetX = 0;
    int32_t m_targetOffsetY = 0;
    FWidget* m_target = nullptr;
    int32_t m_currentX = 0;
    int32_t m_currentY = 0;
    FRefT<FImage> m_image;
    bool m_moving = false;
    std::vector<FPointI> m_path;
    uint32_t m_pathIndex = 0;
    bool m_configured = false;
    bool m_repeat;
    int32_t m_pathElapsed = 0;
    int32_t m_duration;
    int32_t m_repeatDelay;
    FTimerTween m_repeatTimer;
};
