// The sparkles circling the selected world and the launch sweep across the
// play button.
#include "game/worldmap/WorldMapScreen.h"

#include "game/worldmap/WorldMapNode.h"

#include "core/FMemory.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "image/FImage.h"
#include "ui/FButton.h"
#include "ui/FContainer.h"

namespace {

constexpr int32_t k_sparkleSprites = 256;
constexpr int32_t k_launchSprites = 64;
constexpr int32_t k_poolParticles = 64;
constexpr int32_t k_sparkleDuration = 2000;
constexpr int32_t k_sweepDuration = 500;

} // namespace

void WorldMapScreen::createParticleLayers()
{
    for (FRefT<ParticleEmitter>& sparkle : m_selectionSparkles)
        sparkle.release();
    m_launchSweep.release();
    m_sparklesOn = false;
    m_sparkleGroup = std::make_unique<ParticleGroup>(k_sparkleSprites, m_sparkleContainer.get());
    m_sparklePool = std::make_unique<ParticlePool>(k_poolParticles);
    m_sparkleGroup->layer()->bringToFront();
    m_launchGroup = std::make_unique<ParticleGroup>(k_launchSprites, m_scrollContent.get());
    m_launchPool = std::make_unique<ParticlePool>(k_poolParticles);
    m_launchGroup->layer()->bringToFront();
}

void WorldMapScreen::startSelectionSparkles(WorldMapNode& target)
{
    if (m_sparkleGroup == nullptr) return;
    for (const FRefT<ParticleEmitter>& sparkle : m_selectionSparkles) {
        if (sparkle.get() != nullptr) sparkle->stop();
    }
    const FPointI c = target.boxCentre();
    const FRefT<FImage> image(m_sparkleImage);
    for (std::size_t i = 0; i < m_selectionSparkles.size(); ++i) {
        FRefT<ParticleEmitter> emitter = makeRef(engineNew<ParticleEmitter>(
            k_memObject, k_sparkleDuration, m_sparklePool.get(), m_sparkleGroup.get(), image, c.x, c.y,
            static_cast<int32_t>(ParticleEmitter::k_circle), true, 0));
        emitter->emitDuration = 1000000;
        emitter->lifetimeRange = 1500;
        emitter->lifetimeMin = 100;
        emitter->spreadWidth = 18;
        emitter->spreadHeight = 18;
        emitter->velocitySpreadX = 2000;
        emitter->velocitySpreadY = 1000;
        emitter->accelerationX = 500;
        emitter->accelerationY = 300;
        emitter->spin = 10;
        emitter->sizeBase = 1;
        emitter->sizeGrowth = 20;
        emitter->rate = 500;
        emitter->setCircle(k_sparkleRadius, i == 0 ? 0.0f : k_sparkleHalfTurn);
        m_selectionSparkles[i] = emitter;
    }
    m_sparklesOn = true;
    for (const FRefT<ParticleEmitter>& sparkle : m_selectionSparkles)
        sparkle->restart();
}

void WorldMapScreen::stopSelectionSparkles()
{
    m_sparklesOn = false;
    for (const FRefT<ParticleEmitter>& sparkle : m_selectionSparkles) {
        if (sparkle.get() != nullptr) sparkle->stop();
    }
}

void WorldMapScreen::startLaunchSweep()
{
    if (m_launchGroup == nullptr) return;
    if (m_launchSweep.get() != nullptr) m_launchSweep->stop();
    const FRectI r = m_playButton->rect();
    const int32_t w = r.right - r.left;
    const int32_t middle = r.top + (r.bottom - r.top) / 2;
    m_launchSweep = makeRef(engineNew<ParticleEmitter>(
        k_memObject, k_sweepDuration, m_launchPool.get(), m_launchGroup.get(), FRefT<FImage>(m_emitterImage),
        r.left, middle, static_cast<int32_t>(ParticleEmitter::k_line), false, 0));
    auto* done = makeMemberDelegate(this, &WorldMapScreen::onLaunchSweepDone);
    m_launchSweep->setOnFinished(done);
    engineFree(done);
    m_launchSweep->sizeBase = 4;
    m_launchSweep->sizeGrowth = 16;
    m_launchSweep->velocitySpreadX = 15000;
    m_launchSweep->velocitySpreadY = 15000;
    m_launchSweep->spreadWidth = w / 5;
    m_launchSweep->spreadHeight = r.bottom - r.top;
    m_launchSweep->accelerationX = 0;
    m_launchSweep->accelerationY = 100;
    m_launchSweep->spin = 6;
    m_launchSweep->lifetimeMin = 200;
    m_launchSweep->lifetimeRange = 400;
    m_launchSweep->endX = static_cast<int32_t>(static_cast<float>(r.left) + 0.85f * static_cast<float>(w));
    m_launchSweep->endY = middle;
    m_launchSweep->restart();
}

void WorldMapScreen::onLaunchSweepDone()
{
    m_launchTimer.start(k_launchDelayMs);
}

void WorldMapScreen::updateParticleLayers(int32_t elapsed)
{
    if (m_sparklePool != nullptr && m_sparkleGroup != nullptr) {
        m_sparklePool->update(elapsed, *m_sparkleGroup);
        m_sparkleGroup->update(elapsed);
        m_sparkleGroup->applyRecords();
    }
    if (m_sparklesOn) {
        for (const FRefT<ParticleEmitter>& sparkle : m_selectionSparkles) {
            if (sparkle.get() != nullptr) sparkle->update(elapsed);
        }
    }
    if (m_launchSweep.get() != nullptr) m_launchSweep->update(elapsed);
    if (m_launchPool != nullptr && m_launchGroup != nullptr) {
        m_launchPool->update(elapsed, *m_launchGroup);
        m_launchGroup->update(elapsed);
        m_launchGroup->applyRecords();
    }
}
