#include "game/widgets/ParticleGroup.h"

#include "core/FMemory.h"
#include "game/widgets/ParticleRecord.h"
#include "image/FImage.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"

namespace {

// Wrapping addition: positions and velocities of long-lived sprites may
// run past the 32-bit range; they wrap as fixed-point words do.
int32_t wrapAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

} // namespace

ParticleGroup::ParticleGroup(int32_t count, FContainer* parent)
{
    if (count < 0) count = 0;
    m_layer = makeRef(engineNew<FContainer>(k_memObject, parent, parent != nullptr));
    FContainer* layer = m_layer.get();
    if (layer != nullptr && parent != nullptr) layer->setWidgetSize(parent->width(), parent->height());
    // The layer takes its parent's size when it is made, and a parent such as
    // the backdrop's panel may be collapsed then and grow later: the layer
    // leaves clipping to its parent rather than hiding every sprite.
    if (layer != nullptr) layer->setClip(false);
    m_records.resize(static_cast<size_t>(count));
    m_freeList.reserve(static_cast<size_t>(count));
    for (ParticleSpriteRecord& record : m_records) {
        record.sprite = makeRef(engineNew<FImageWidget>(k_memObject, layer, layer != nullptr));
        if (FImageWidget* widget = record.sprite.get()) {
            widget->setVisible(false);
            widget->setBlendMode(FImageWidget::k_blendAdditive);
            widget->setHitTestDisabled(true);
        }
        m_freeList.push_back(&record);
    }
}

ParticleGroup::~ParticleGroup()
{
    for (ParticleSpriteRecord& record : m_records)
        record.sprite.release();
    m_layer.release();
}

ParticleSpriteRecord* ParticleGroup::takeRecord()
{
    if (m_nextFree >= static_cast<int32_t>(m_freeList.size())) return nullptr;
    ++m_liveCount;
    return m_freeList[static_cast<size_t>(m_nextFree++)];
}

void ParticleGroup::killRecord(ParticleSpriteRecord& record)
{
    record.live = false;
    --m_liveCount;
    if (record.owner != nullptr) --record.owner->liveRecords;
    if (m_nextFree > 0) m_freeList[static_cast<size_t>(--m_nextFree)] = &record;
}

void ParticleGroup::killRecordsOf(ParticleRecord* particle)
{
    for (ParticleSpriteRecord& record : m_records) {
        if (record.live && record.owner == particle) killRecord(record);
    }
}

void ParticleGroup::update(int32_t elapsedMs)
{
    for (ParticleSpriteRecord& record : m_records) {
        if (!record.live) continue;
        record.x = wrapAdd(record.x, record.vx);
        record.y = wrapAdd(record.y, record.vy);
        record.vx = wrapAdd(record.vx, record.ax);
        record.vy = wrapAdd(record.vy, record.ay);
        record.age += static_cast<uint32_t>(elapsedMs);
        if (record.age >= record.lifetime) killRecord(record);
    }
}

void ParticleGroup::applyRecords()
{
    for (ParticleSpriteRecord& record : m_records)
        record.apply(true);
}
