#include "game/widgets/ParticlePool.h"

#include "game/core/GameRandom.h"
#include "game/widgets/ParticleGroup.h"
#include "ui/FImageWidget.h"

#include <algorithm>

namespace {

// The product of two successive draws.
int32_t randomProduct()
{
    const int32_t a = GameRandom::rand();
    return a * GameRandom::rand();
}

// An offset within a range centred on 0. A range of 0 (a caller's zero
// spread) gives no offset instead of a division by zero.
int32_t centredOffset(int32_t range)
{
    if (range == 0) return 0;
    return randomProduct() % range - range / 2;
}

} // namespace

ParticlePool::ParticlePool(int32_t count)
{
    m_particles.resize(static_cast<size_t>(std::max(count, 0)));
    initFreeList();
}

ParticlePool::~ParticlePool() = default;

void ParticlePool::initFreeList()
{
    m_nextFree = 0;
    m_freeList.resize(m_particles.size());
    for (size_t i = 0; i < m_particles.size(); ++i) {
        m_particles[i].active = false;
        m_particles[i].emitting = false;
        m_freeList[i] = &m_particles[i];
    }
}

ParticleRecord* ParticlePool::take()
{
    if (m_nextFree >= capacity() - 1) return nullptr;
    ParticleRecord* particle = m_freeList[static_cast<size_t>(m_nextFree++)];
    particle->emitting = true;
    particle->active = true;
    particle->liveRecords = 0;
    particle->elapsed = 0;
    particle->emitAccumulator = 0;
    ++particle->lease;
    ++m_liveCount;
    return particle;
}

void ParticlePool::retire(ParticleRecord& particle)
{
    particle.active = false;
    particle.emitting = false;
    --m_liveCount;
    if (m_nextFree > 0) m_freeList[static_cast<size_t>(--m_nextFree)] = &particle;
}

void ParticlePool::release(ParticleGroup& group, ParticleRecord* particle)
{
    if (particle == nullptr || !particle->active) return;
    group.killRecordsOf(particle);
    if (particle->liveRecords <= 0) retire(*particle);
}

void ParticlePool::update(int32_t elapsedMs, ParticleGroup& group)
{
    int32_t total = 0;
    for (const ParticleRecord& particle : m_particles) {
        if (particle.emitting) total += particle.rate;
    }
    for (ParticleRecord& particle : m_particles) {
        if (particle.active && particle.emitting) emitSprites(particle, total, elapsedMs, group);
        if (particle.active && !particle.emitting && particle.liveRecords <= 0) retire(particle);
    }
}

void ParticlePool::emitSprites(ParticleRecord& particle, int32_t total, int32_t elapsedMs,
                               ParticleGroup& group)
{
    if (total < 1 || !particle.emitting) return;
    particle.elapsed += elapsedMs;
    particle.emitAccumulator += elapsedMs;
    if (particle.emitAccumulator > 0) {
        // Formed in 64 bits: a large rate times a long frame stays exact.
        const int64_t count = int64_t(particle.rate) * particle.emitAccumulator / (10 * int64_t(total));
        if (count > 0) {
            const int64_t emitted = std::min<int64_t>(count, group.capacity());
            for (int64_t i = 0; i < emitted; ++i)
                emitSprite(particle, group);
            particle.emitAccumulator = 0;
        }
    }
    if (particle.elapsed > particle.emitDuration) particle.emitting = false;
}

void ParticlePool::emitSprite(ParticleRecord& particle, ParticleGroup& group)
{
    ParticleSpriteRecord* record = group.takeRecord();
    if (record == nullptr) return;
    record->owner = &particle;
    ++particle.liveRecords;
    record->age = 0;
    record->live = true;
    FImageWidget* widget = record->sprite.get();
    if (widget != nullptr && widget->getImage().get() != particle.image.get())
        widget->setImage(particle.image, false);

    record->spinPhase = GameRandom::rand();
    record->x = particle.x + centredOffset(particle.spreadWidth);
    record->y = particle.y + centredOffset(particle.spreadHeight);
    record->ax = particle.accelerationX;
    record->ay = particle.accelerationY;
    const int32_t draw = GameRandom::rand();
    record->lifetime = static_cast<uint32_t>(
        (particle.lifetimeRange != 0 ? draw % particle.lifetimeRange : 0) + particle.lifetimeMin);
    record->vx = centredOffset(particle.velocitySpreadX);
    record->vy = centredOffset(particle.velocitySpreadY);

    record->blendMode = particle.blendMode;
    record->apply(false);
    if (widget != nullptr) {
        widget->setWidgetColour(particle.useColour ? particle.colour : 0xFFFFFFFFu);
        widget->setVisible(false);
    }
}
