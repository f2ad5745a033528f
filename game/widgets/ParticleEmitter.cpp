#include "game/widgets/ParticleEmitter.h"

#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/ParticleRecord.h"
#include "image/FImage.h"
#include "ui/FContainer.h"

#include <cmath>

namespace {

constexpr float k_pi = 3.1415927f;
constexpr float k_twoPi = 6.2831855f;

// Pixels into 16.16 fixed point; out-of-range pixels wrap instead of
// overflowing.
int32_t toFixed(int32_t pixels)
{
    return static_cast<int32_t>(static_cast<uint32_t>(pixels) << 16);
}

} // namespace

ParticleEmitter::ParticleEmitter(int32_t duration, ParticlePool* pool, ParticleGroup* group,
                                 const FRefT<FImage>& image, int32_t startX, int32_t startY, int32_t type,
                                 bool repeat, int32_t repeatDelay)
    : emitDuration(duration + 100), startX(startX), startY(startY), m_type(type), m_pool(pool),
      m_group(group), m_image(image), m_repeat(repeat), m_duration(duration), m_repeatDelay(repeatDelay)
{
    takeParticle();
    FTween::Completion* completion = makeObjectDelegate(this, &ParticleEmitter::onRepeatTimer);
    m_repeatTimer.setCompletion(completion);
    engineFree(completion);
}

ParticleEmitter::~ParticleEmitter()
{
    // The particle is not handed back: it stops when its emission time runs
    // out and the pool retires it once its sprites have died.
    freeAndNull(m_onFinished);
    m_repeatTimer.setCompletion(nullptr);
}

ParticleRecord* ParticleEmitter::particle() const
{
    if (m_particle == nullptr || !m_particle->active || m_particle->lease != m_lease) return nullptr;
    return m_particle;
}

void ParticleEmitter::takeParticle()
{
    m_particle = m_pool != nullptr ? m_pool->take() : nullptr;
    if (m_particle == nullptr) return;
    m_lease = m_particle->lease;
    m_particle->rate = rate;
    m_particle->image = m_image;
    m_particle->useColour = false;
}

void ParticleEmitter::armParticle()
{
    ParticleRecord* own = particle();
    if (own == nullptr) {
        takeParticle();
        return;
    }
    own->emitting = true;
    own->elapsed = 0;
}

void ParticleEmitter::applySettings()
{
    if (ParticleRecord* own = particle()) {
        own->useColour = false;
        own->emitDuration = emitDuration;
        own->rate = rate;
        own->spreadWidth = toFixed(spreadWidth);
        own->spreadHeight = toFixed(spreadHeight);
        own->velocitySpreadX = velocitySpreadX;
        own->velocitySpreadY = velocitySpreadY;
        own->lifetimeRange = lifetimeRange;
        own->lifetimeMin = lifetimeMin;
        own->accelerationX = accelerationX;
        own->accelerationY = accelerationY;
        own->spin = static_cast<float>(spin);
        own->blendMode = additiveBlend ? 1 : 0;
        own->sizeBase = sizeBase;
        own->sizeGrowth = sizeGrowth;
    }
    m_enabled = true;
    m_configured = true;
}

void ParticleEmitter::setWave(int32_t amplitude, int32_t waveLength, float phase)
{
    if (amplitude <= 0 || waveLength <= 0 || m_type != k_wave) return;
    m_waveAmplitude = amplitude;
    m_waveLength = waveLength;
    m_wavePhase = phase;
    m_shapeSet = true;
}

void ParticleEmitter::setCircle(int32_t radius, float startAngle)
{
    if (!(startAngle >= 0.0f && startAngle < k_twoPi) || m_type != k_circle) return;
    m_circleX = startX;
    m_circleY = startY;
    m_circleRadius = static_cast<float>(radius);
    m_circleStartAngle = startAngle;
    m_shapeSet = true;
}

void ParticleEmitter::restart()
{
    m_moving = true;
    armParticle();
    applySettings();
    if (m_path.empty()) buildPath();
    if (m_path.empty()) {
        // A wave or circle without its shape, or a circle shorter than one
        // step, has no first point: it does not start, and its particle
        // emits nothing.
        m_moving = false;
        if (ParticleRecord* own = particle()) own->emitting = false;
        return;
    }
    m_pathIndex = 0;
    putParticle(m_path.front());
}

void ParticleEmitter::follow(FWidget* target, int32_t offsetX, int32_t offsetY, bool layerBelowTarget)
{
    m_following = true;
    m_moving = true;
    m_target = target;
    m_targetOffsetX = offsetX;
    m_targetOffsetY = offsetY;
    m_layerBelowTarget = layerBelowTarget;
    armParticle();
    applySettings();
    putParticle(followedPoint());
}

void ParticleEmitter::stop()
{
    m_enabled = false;
    m_configured = false;
    if (ParticleRecord* own = particle()) own->emitting = false;
    // Keeps its storage: the next start builds the path again in place.
    m_path.clear();
}

void ParticleEmitter::onRepeatTimer()
{
    if (!m_configured) return;
    if (m_type != k_circle) {
        if (ParticleRecord* own = particle()) own->emitting = false;
        takeParticle();
    }
    restart();
}

void ParticleEmitter::update(int32_t elapsedMs)
{
    if (!m_enabled) return;
    if (!m_moving) {
        if (m_repeat) m_repeatTimer.update(elapsedMs);
        return;
    }
    m_pathElapsed += elapsedMs;
    if (m_following) {
        if (m_pathElapsed < m_duration) {
            putParticle(followedPoint());
        } else {
            finish();
        }
        FContainer* layer = m_group != nullptr ? m_group->layer() : nullptr;
        if (m_layerBelowTarget && layer != nullptr && m_target != nullptr && layer->parent() != nullptr &&
            m_target->parent() == layer->parent())
            layer->placeBelow(*m_target);
        return;
    }
    if (m_type == k_point) {
        if (m_pathElapsed < m_duration) {
            putParticle({startX, startY});
        } else {
            finish();
        }
        return;
    }
    while (m_pathElapsed > k_stepMs) {
        if (m_pathIndex + 1 < m_path.size()) {
            ++m_pathIndex;
            m_pathElapsed -= k_stepMs;
        } else {
            finish();
        }
    }
    if (m_pathIndex >= m_path.size()) {
        // The path was emptied while moving.
        ZIBBO_LOG(k_logDefault, false) << "WTF?";
        finish();
        return;
    }
    const FPointI point = m_path[m_pathIndex];
    if (point.x != m_currentX || point.y != m_currentY) putParticle(point);
}

void ParticleEmitter::finish()
{
    m_pathElapsed = 0;
    m_moving = false;
    if (!m_following) {
        if (m_type == k_point) {
            putParticle({startX, startY});
        } else if (m_type == k_circle) {
            if (!m_path.empty()) putParticle(m_path.front());
        } else {
            putParticle({endX, endY});
        }
        m_pathIndex = m_path.empty() ? 0 : static_cast<uint32_t>(m_path.size() - 1);
        if (m_repeat) m_repeatTimer.start(m_repeatDelay);
    }
    if (m_onFinished != nullptr) m_onFinished->invoke();
}

void ParticleEmitter::putParticle(FPointI point)
{
    m_currentX = point.x;
    m_currentY = point.y;
    if (ParticleRecord* own = particle()) {
        own->x = toFixed(point.x);
        own->y = toFixed(point.y);
    }
}

FPointI ParticleEmitter::followedPoint() const
{
    if (m_target == nullptr) return {m_targetOffsetX, m_targetOffsetY};
    const FRectI& r = m_target->rect();
    return {m_targetOffsetX + r.left + (r.right - r.left) / 2 - spreadWidth / 2,
            m_targetOffsetY + r.top + (r.bottom - r.top) / 2 - spreadHeight / 2};
}

void ParticleEmitter::buildPath()
{
    switch (m_type) {
    case k_line:
        buildLine();
        break;
    case k_wave:
        buildWave();
        break;
    case k_circle:
        buildCircle();
        break;
    case k_point:
        endX = startX;
        endY = startY;
        m_path.assign(1, FPointI{startX, startY});
        break;
    default:
        break;
    }
}

void ParticleEmitter::buildLine()
{
    const int32_t n = m_duration / k_stepMs;
    m_path.clear();
    m_path.reserve(static_cast<size_t>(n > 0 ? n : 0) + 1);
    if (n > 0) {
        // No steps at all (a duration under one step) leaves the end point
        // alone instead of dividing by zero.
        const float stepX = static_cast<float>(endX - startX) / static_cast<float>(n);
        const float stepY = static_cast<float>(endY - startY) / static_cast<float>(n);
        for (int32_t i = 0; i < n; ++i)
            m_path.push_back({startX + static_cast<int32_t>(static_cast<float>(i) * stepX),
                              startY + static_cast<int32_t>(static_cast<float>(i) * stepY)});
    }
    m_path.push_back({endX, endY});
}

void ParticleEmitter::buildWave()
{
    if (m_type != k_wave || !m_shapeSet) {
        ZIBBO_LOG(k_logDefault, false) << (m_shapeSet ? "Wrong emitter type!" : "Emitter uninitialized!");
        return;
    }
    buildLine();
    const float dx = static_cast<float>(endX - startX);
    const float dy = static_cast<float>(endY - startY);
    const int32_t len = static_cast<int32_t>(std::sqrt(dx * dx + dy * dy));
    // A line of no length has no direction to wave across.
    if (len == 0) return;
    const int32_t normalX = -((endY - startY) / len);
    const int32_t normalY = (endX - startX) / len;
    const int32_t n = m_duration / k_stepMs;
    const float cycles = static_cast<float>(len) / static_cast<float>(m_waveLength);
    const float step = n > 0 ? cycles * 2.0f * k_pi / static_cast<float>(n) : 0.0f;
    const float phase0 = m_wavePhase * 2.0f * k_pi;
    const float amplitude = static_cast<float>(m_waveAmplitude);
    for (size_t i = 0; i < m_path.size(); ++i) {
        const float a = phase0 + static_cast<float>(i) * step;
        m_path[i].x += static_cast<int32_t>(std::cos(a) * amplitude * static_cast<float>(normalX));
        m_path[i].y += static_cast<int32_t>(std::sin(a) * amplitude * static_cast<float>(normalY));
    }
}

void ParticleEmitter::buildCircle()
{
    if (m_type != k_circle || !m_shapeSet) {
        ZIBBO_LOG(k_logDefault, false) << (m_shapeSet ? "Wrong emitter type!" : "Emitter uninitialized!");
        return;
    }
    const int32_t n = m_duration / k_stepMs;
    m_path.clear();
    if (n <= 0) return;
    m_path.reserve(static_cast<size_t>(n));
    const float step = k_twoPi / static_cast<float>(n);
    for (int32_t i = 0; i < n; ++i) {
        const float a = m_circleStartAngle + static_cast<float>(i) * step;
        m_path.push_back({m_circleX + static_cast<int32_t>(std::cos(a) * m_circleRadius),
                          m_circleY + static_cast<int32_t>(std::sin(a) * m_circleRadius)});
    }
}
