#pragma once

#include "core/FRef.h"
#include "game/widgets/ParticleSpriteRecord.h"

#include <cstdint>
#include <vector>

class FContainer;
class FImage;
class FWidget;

// A transparent layer over a parent widget with a fixed number of sprite
// records, each drawn by its own hidden image widget. Records are taken
// from a free list when a particle emits and go back when they die; nothing
// is allocated after construction.
class ParticleGroup
{
public:
    // The layer goes on top of the parent's children and takes its size.
    ParticleGroup(int32_t count, FContainer* parent);
    ~ParticleGroup();
    ParticleGroup(const ParticleGroup&) = delete;
    ParticleGroup& operator=(const ParticleGroup&) = delete;

    // Moves and ages the live records; those past their lifetime die.
    // (Screens also call this step "updateParticles".)
    void update(int32_t elapsedMs);
    // Shows every live record's state on its widget and hides the others.
    // (Screens also call this step "applyParticleStates".)
    void applyRecords();

    // A free record, or null when all are live.
    ParticleSpriteRecord* takeRecord();
    // Every live record the particle owns dies at once.
    void killRecordsOf(ParticleRecord* particle);

    FContainer* layer() const { return m_layer.get(); }
    // The owner may keep an image here to keep it loaded; sprites draw with
    // their particle's image.
    void setImage(const FRefT<FImage>& image) { m_image = image; }
    const FRefT<FImage>& image() const { return m_image; }
    int32_t capacity() const { return static_cast<int32_t>(m_records.size()); }
    int32_t liveCount() const { return m_liveCount; }
    const std::vector<ParticleSpriteRecord>& records() const { return m_records; }

private:
    void killRecord(ParticleSpriteRecord& record);

    std::vector<ParticleSpriteRecord> m_records;
    std::vector<ParticleSpriteRecord*> m_freeList;
    int32_t m_nextFree = 0;
    int32_t m_liveCount = 0;
    FRefT<FContainer> m_layer;
    FRefT<FImage> m_image;
};
