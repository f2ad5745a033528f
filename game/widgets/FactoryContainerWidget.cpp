#include "game/widgets/FactoryContainerWidget.h"

#include "core/FMemory.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/Quest.h"
#include "game/core/StarMarker.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/PlayFieldServices.h"
#include "game/widgets/TimerBarHost.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"

#include <algorithm>

namespace {

uint8_t timerBarAlpha(const FImageWidget& marker)
{
    return static_cast<uint8_t>(marker.colour() >> 24);
}

void timerBarSetAlpha(FImageWidget& marker, int32_t alpha)
{
    marker.setWidgetColour((marker.colour() & 0x00FFFFFFu) | (uint32_t(alpha & 0xFF) << 24));
}

void timerBarPlaySound(const FRef& sound, int32_t level)
{
    if (PlayFieldServices* play = PlayFieldServices::instance()) play->playSound(sound, level);
}

} // namespace

FactoryContainerWidget::FactoryContainerWidget(FContainer* parent, bool addToParent)
    : FContainer(parent, addToParent), m_grandparent(parent != nullptr ? parent->parent() : nullptr)
{
    m_host = dynamic_cast<TimerBarHost*>(getScreen());
}

FactoryContainerWidget::~FactoryContainerWidget()
{
    // The emitters hold on to the pools and groups: they go first.
    m_refillEmitter = FRefT<ParticleEmitter>();
    m_returnEmitter = FRefT<ParticleEmitter>();
    m_passEmitter = FRefT<ParticleEmitter>();
}

FWidget* FactoryContainerWidget::part(uint32_t id) const
{
    return m_host != nullptr ? m_host->timerBarWidget(id) : nullptr;
}

int32_t FactoryContainerWidget::shownFill() const
{
    const FWidget* first = part(k_firstSegment);
    const FWidget* second = part(k_secondSegment);
    return (first != nullptr ? first->width() : 0) + (second != nullptr ? second->width() : 0);
}

void FactoryContainerWidget::initTimerBar(LevelTimer& timer)
{
    m_timer = &timer;
    FWidget* first = part(k_firstSegment);
    FWidget* second = part(k_secondSegment);
    FWidget* cap = part(k_endCap);
    FWidget* preview = part(k_refillPreview);
    auto* layer = dynamic_cast<FContainer*>(part(k_markerLayer));
    if (first == nullptr || second == nullptr) return;
    m_barWidth = first->width() + second->width();
    if (cap != nullptr) cap->setWidgetPosition(second->rect().right - 1, cap->rect().top);
    if (preview != nullptr && preview->parent() == first->parent()) preview->placeBelow(*first);
    m_markers.clear();
    m_markerSoundPlayed.clear();
    if (layer == nullptr) return;
    const FRefT<FImage> image = m_host->timerBarImage(k_markerImage);
    for (const FRefT<StarMarker>& star : timer.stars()) {
        FRefT<FImageWidget> marker = makeRef(engineNew<FImageWidget>(k_memObject, layer, true));
        marker->setImage(image, true);
        m_markers.push_back(marker);
        m_markerSoundPlayed.push_back(0);
        const float p = static_cast<float>(star->position());
        const int32_t x = static_cast<int32_t>(second->rect().right - marker->width() / 2 - m_barWidth * p) -
                          layer->rect().left;
        const int32_t y =
            rect().top + second->rect().top + second->height() / 2 - marker->height() / 2 - layer->rect().top;
        marker->setWidgetPosition(x, y);
    }
    FTween::Completion* done = makeMemberDelegate(this, &FactoryContainerWidget::onWarningTimerEnd);
    m_warningTimer.setCompletion(done);
    engineFree(done);
    m_refillEmitter = m_returnEmitter = m_passEmitter = FRefT<ParticleEmitter>();
    FContainer* screen = getScreen();
    m_screenParticles =
        makeRef(engineNew<ParticleGroup>(k_memObject, k_particleRecords, screen != nullptr ? screen : this));
    m_screenPool = makeRef(engineNew<ParticlePool>(k_memObject, k_particles));
    m_barParticles = makeRef(engineNew<ParticleGroup>(k_memObject, k_particleRecords, this));
    m_barPool = makeRef(engineNew<ParticlePool>(k_memObject, k_particles));
}

void FactoryContainerWidget::burst(FRefT<ParticleEmitter>& emitter, FImageWidget& marker, bool passed)
{
    if (m_screenParticles.get() == nullptr || m_screenPool.get() == nullptr) return;
    if (emitter.get() != nullptr && emitter->isEnabled()) emitter->stop();
    const FPointI at = marker.getAbsolutePosition();
    emitter = makeRef(engineNew<ParticleEmitter>(k_memObject, 100, m_screenPool.get(),
                                                 m_screenParticles.get(), m_host->timerBarImage(k_burstImage),
                                                 at.x, at.y, ParticleEmitter::k_point, false, 0));
    emitter->rate = 20;
    // The burst's sparkles light up what lies under them.
    emitter->additiveBlend = true;
    emitter->spreadWidth = 1;
    emitter->spreadHeight = 1;
    emitter->velocitySpreadX = 200;
    emitter->velocitySpreadY = passed ? 100000 : -100000;
    emitter->accelerationX = 300;
    emitter->accelerationY = passed ? -300 : 300;
    emitter->lifetimeRange = 500;
    emitter->lifetimeMin = 100;
    emitter->spin = 0;
    emitter->sizeBase = 10;
    emitter->sizeGrowth = 15;
    emitter->restart();
    m_screenParticles->layer()->bringToFront();
}

void FactoryContainerWidget::startRefillSparkle()
{
    if (m_barParticles.get() == nullptr || m_barPool.get() == nullptr) return;
    if (m_refillEmitter.get() != nullptr && m_refillEmitter->isEnabled()) m_refillEmitter->stop();
    FWidget* cap = part(k_endCap);
    const FPointI from = cap != nullptr ? FPointI{cap->rect().left, cap->rect().top} : FPointI{0, 0};
    const int32_t capWidth = cap != nullptr ? cap->width() : 0;
    m_refillEmitter = makeRef(engineNew<ParticleEmitter>(
        k_memObject, 200, m_barPool.get(), m_barParticles.get(), m_host->timerBarImage(k_sparkleImage),
        from.x, from.y, ParticleEmitter::k_line, true, 0));
    m_refillEmitter->emitDuration = 200;
    m_refillEmitter->rate = 300;
    m_refillEmitter->additiveBlend = true;
    m_refillEmitter->spreadWidth = 1;
    m_refillEmitter->spreadHeight = 1;
    m_refillEmitter->velocitySpreadX = 20000;
    m_refillEmitter->velocitySpreadY = 500;
    m_refillEmitter->accelerationX = 3000;
    m_refillEmitter->accelerationY = -300;
    m_refillEmitter->lifetimeRange = 500;
    m_refillEmitter->lifetimeMin = 100;
    m_refillEmitter->spin = 1;
    m_refillEmitter->sizeBase = 10;
    m_refillEmitter->sizeGrowth = 15;
    // Both offsets of the sparkle's course come from the cap's width.
    m_refillEmitter->endX = from.x + static_cast<int32_t>(-capWidth * 3 * 0.25);
    m_refillEmitter->endY = from.y - capWidth;
    m_refillEmitter->restart();
}

void FactoryContainerWidget::stepMarker(FImageWidget& marker, int32_t state)
{
    m_blinkMs = 0;
    const int32_t a = timerBarAlpha(marker);
    if (state == StarMarker::k_ahead) {
        timerBarSetAlpha(marker, std::min(255, a + (255 - a) / 2));
    } else if (state == StarMarker::k_warning) {
        timerBarSetAlpha(marker, a == 255 ? 128 : 255);
    } else {
        timerBarSetAlpha(marker, a >= 128 ? std::min(255, a - (a >> 1) + 128) : 127);
    }
}

void FactoryContainerWidget::update(int32_t elapsedMs)
{
    if (m_timer == nullptr || m_host == nullptr) return;
    // A level without a time limit puts no pressure on the player: its ratio
    // stays 0, so the bar stays full and no warning comes.
    const int32_t limit = m_timer->total();
    const float ratio = limit > 0 ? static_cast<float>(m_timer->elapsed()) / static_cast<float>(limit) : 0.0f;
    if (ratio != m_ratio) {
        m_ratio = ratio;
        onTimeRatioChanged();
    }
    // While the timer is in one of its states 1 to 3 the preview takes its
    // picture again every frame, so a picture reloaded meanwhile shows.
    const int32_t state = m_timer->comboLevel();
    if (state >= 1 && state <= 3) {
        if (auto* preview = dynamic_cast<FImageWidget*>(part(k_refillPreview)))
            preview->setImage(m_host->timerBarImage(k_previewImage), true);
    }
    const auto& stars = m_timer->stars();
    const std::size_t count = std::min(stars.size(), m_markers.size());
    for (std::size_t i = 0; i < count; ++i) {
        StarMarker& star = *stars[i];
        FImageWidget& marker = *m_markers[i];
        switch (star.state()) {
        case StarMarker::k_ahead:
            marker.setVisible(true);
            marker.setImage(m_host->timerBarImage(k_markerImage), false);
            m_markerSoundPlayed[i] = 0;
            m_blinkMs += elapsedMs;
            if (m_blinkMs >= k_blinkMs) stepMarker(marker, star.state());
            break;
        case StarMarker::k_warning:
            m_blinkMs += elapsedMs;
            if (m_blinkMs >= k_blinkMs) stepMarker(marker, star.state());
            break;
        case StarMarker::k_passed:
            marker.setVisible(true);
            marker.setImage(m_host->timerBarImage(k_passedMarkerImage), false);
            if (m_markerSoundPlayed[i] == 0) {
                timerBarPlaySound(m_host->timerBarSound(k_passedMarkerSound), k_soundLevel);
                m_markerSoundPlayed[i] = 1;
            }
            m_blinkMs += elapsedMs;
            if (m_blinkMs >= k_blinkMs) stepMarker(marker, star.state());
            break;
        default:
            marker.setVisible(false);
            break;
        }
        if (star.regained) {
            star.regained = false;
            burst(m_returnEmitter, marker, false);
        }
        if (star.passed) {
            star.passed = false;
            burst(m_passEmitter, marker, true);
        }
    }
    bool refillEnded = false;
    if (m_refilling) {
        m_refillMs += elapsedMs;
        FWidget* second = part(k_secondSegment);
        while (m_refilling && m_refillMs >= k_refillStepMs) {
            m_refillMs -= k_refillStepMs;
            if (second != nullptr) second->setWidgetWidth(second->width() + k_refillStep);
            if (shownFill() >= m_targetWidth) {
                setFill(m_targetWidth);
                m_refillMs = 0;
                m_targetWidth = 0;
                m_refilling = false;
                if (FWidget* preview = part(k_refillPreview)) preview->setVisible(false);
                refillEnded = true;
            }
        }
    }
    if (refillEnded) {
        PlayFieldServices* play = PlayFieldServices::instance();
        GameSession* session = play != nullptr ? play->gameSession() : nullptr;
        const Quest* quest = session != nullptr ? session->currentQuest() : nullptr;
        if (quest != nullptr) m_timer->pauseFor(quest->timerPause(session->isNormalDifficulty()));
    }
    m_warningTimer.update(elapsedMs);
    for (ParticleEmitter* emitter : {m_refillEmitter.get(), m_returnEmitter.get(), m_passEmitter.get()}) {
        if (emitter != nullptr && emitter->isEnabled()) emitter->update(elapsedMs);
    }
    const std::pair<ParticlePool*, ParticleGroup*> layers[] = {{m_barPool.get(), m_barParticles.get()},
                                                               {m_screenPool.get(), m_screenParticles.get()}};
    for (const auto& [pool, group] : layers) {
        if (pool == nullptr || group == nullptr) continue;
        pool->update(elapsedMs, *group);
        group->update(elapsedMs);
        group->applyRecords();
    }
}

void FactoryContainerWidget::onTimeRatioChanged()
{
    if (!(m_ratio > 0.0f && m_ratio < 1.0f) || m_host == nullptr) return;
    if (m_ratio >= k_warningRatio && !m_warned) {
        timerBarPlaySound(m_host->timerBarSound(k_warningSound), k_soundLevel);
        m_warningTimer.start(k_commentDelayMs);
        m_warningTimer.setActive(true);
        m_warned = true;
    }
    const int32_t fill = static_cast<int32_t>(m_barWidth - m_barWidth * m_ratio);
    m_targetWidth = fill;
    FWidget* preview = part(k_refillPreview);
    FWidget* first = part(k_firstSegment);
    FWidget* cap = part(k_endCap);
    const int32_t capWidth = cap != nullptr ? cap->width() : 0;
    auto placePreview = [&]() {
        if (preview == nullptr || first == nullptr) return;
        if (auto* shown = dynamic_cast<FImageWidget*>(preview))
            shown->setImage(m_host->timerBarImage(k_previewImage), true);
        const int32_t right = first->rect().left + capWidth + fill;
        preview->setWidgetPosition(right - preview->width(), preview->rect().top);
        preview->setVisible(true);
    };
    if (m_refilling) {
        placePreview();
    } else if (fill > shownFill()) {
        m_refilling = true;
        m_refillMs = 0;
        startRefillSparkle();
        placePreview();
    } else {
        setFill(fill);
    }
}

void FactoryContainerWidget::setFill(int32_t width)
{
    FWidget* first = part(k_firstSegment);
    FWidget* second = part(k_secondSegment);
    FWidget* reference = part(k_segmentReference);
    FWidget* cap = part(k_endCap);
    if (first == nullptr || second == nullptr) return;
    // The first segment is full before the second takes any of the fill.
    const int32_t full = reference != nullptr ? reference->width() : first->width();
    if (width > full) {
        first->setWidgetWidth(full);
        second->setWidgetWidth(width - full);
        if (cap != nullptr) {
            cap->setWidgetPosition(second->rect().right - 1, cap->rect().top);
            cap->setVisible(true);
        }
    } else if (width > 0) {
        second->setWidgetWidth(0);
        first->setWidgetWidth(width);
        if (cap != nullptr) {
            cap->setWidgetPosition(first->rect().right - 1, cap->rect().top);
            cap->setVisible(true);
        }
    } else {
        first->setWidgetWidth(0);
        if (cap != nullptr) {
            cap->setWidgetPosition(first->rect().left, cap->rect().top);
            cap->setVisible(false);
        }
    }
}

void FactoryContainerWidget::onWarningTimerEnd()
{
    if (m_host != nullptr) m_host->playRandomComment();
}
