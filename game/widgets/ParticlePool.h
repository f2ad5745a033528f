#pragma once

#include "game/widgets/ParticleRecord.h"

#include <cstdint>
#include <vector>

class ParticleGroup;

// A fixed number of emission sources lent out through a free list. The pool
// update runs the emission of every emitting particle into a group and
// retires particles whose sprites have all died. Nothing is allocated after
// construction.
class ParticlePool
{
public:
    explicit ParticlePool(int32_t count);
    ~ParticlePool();
    ParticlePool(const ParticlePool&) = delete;
    ParticlePool& operator=(const ParticlePool&) = delete;

    // A particle reset to active and emitting, or null. A pool of n lends at
    // most n - 1 at a time.
    ParticleRecord* take();
    // The particle's live sprites in the group die at once; a particle left
    // without sprites goes back to the free list. Nothing for an inactive one.
    void release(ParticleGroup& group, ParticleRecord* particle);
    // Runs the emission step of every emitting particle, then retires the
    // particles that stopped emitting and own no sprite.
    // (Screens also call this step "updateEmitters".)
    void update(int32_t elapsedMs, ParticleGroup& group);

    // Refills the free list with every particle, none lent, all inactive and
    // not emitting; the list keeps its storage.
    void initFreeList();

    int32_t capacity() const { return static_cast<int32_t>(m_particles.size()); }
    int32_t lentCount() const { return m_nextFree; }
    int32_t liveCount() const { return m_liveCount; }
    const std::vector<ParticleRecord>& particles() const { return m_particles; }

private:
    void retire(ParticleRecord& particle);
    static void emitSprites(ParticleRecord& particle, int32_t total, int32_t elapsedMs, ParticleGroup& group);
    static void emitSprite(ParticleRecord& particle, ParticleGroup& group);

    std::vector<ParticleRecord> m_particles;
    std::vector<ParticleRecord*> m_freeList;
    int32_t m_nextFree = 0;
    int32_t m_liveCount = 0;
};
