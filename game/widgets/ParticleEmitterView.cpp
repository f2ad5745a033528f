#include "game/widgets/ParticleEmitterView.h"

#include "core/FApplication.h"
#include "core/FClockService.h"
#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "game/core/GameRandom.h"
#include "game/core/GameShuffle.h"
#include "game/widgets/BackdropButtons.h"
#include "game/widgets/BackdropServices.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/ParticleViewAssets.h"
#include "game/widgets/SparkleSettings.h"
#include "game/widgets/WidgetGeometry.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"

#include <algorithm>

namespace {

constexpr int32_t k_panMs = 20000;
constexpr int32_t k_slideMs = 19000;
constexpr int32_t k_fadeMs = 1000;
constexpr int32_t k_openVolume = 63;
constexpr int32_t k_sweepIdleMs = 1999;

FRefT<FImageWidget> makeImageWidget(FContainer* parent)
{
    return makeRef(engineNew<FImageWidget>(k_memObject, parent, true));
}

// The sparkle settings of the emitters of a wave, sweep or burst pair.
constexpr SparkleSettings k_waves[2] = {
    {1000, 256, false, 110, 15, 2, 3000, 10, 2000, 1500, 500, 7, 1, 20},
    {1000, 256, false, 110, 15, 2, 3000, 10, -2000, 1500, 500, 7, 1, 20},
};
constexpr SparkleSettings k_sweeps[2] = {
    {800, 30, true, 1, 11, 3000, 1000, 10, -2000, 1000, 10, 1, 8, 15},
    {800, 30, true, 1, 11, 3000, 1000, 10, 2000, 1000, 10, 1, 8, 15},
};
constexpr SparkleSettings k_bursts[2] = {
    {600, 450, true, 1, 1, 1, 1, 10, -5000, 1000, 100, 7, 1, 20},
    {600, 450, true, 1, 1, 1, 1, 0, 5000, 1000, 100, 7, 1, 20},
};

} // namespace

ParticleEmitterView::ParticleEmitterView(FContainer* parent, BackdropServices* services)
    : FContainer(parent, parent != nullptr), m_services(services)
{
    if (FScreen* screen = getRoot()) {
        const FPointI display = screen->displaySize();
        setWidgetRect({0, 0, display.x, display.y});
    }
    m_backdrop = makeImageWidget(this);
    m_pictureA = makeImageWidget(this);
    m_pictureB = makeImageWidget(this);
    ClosedCallback* slide = makeObjectDelegate(this, &ParticleEmitterView::onSlideTimer);
    m_slideTimer.setCompletion(slide);
    engineFree(slide);
}

ParticleEmitterView::~ParticleEmitterView()
{
    for (auto& emitter : m_waveEmitters)
        emitter.release();
    for (auto& emitter : m_burstEmitters)
        emitter.release();
    for (auto& emitter : m_sweepEmitters)
        emitter.release();
    m_waveGroup.release();
    m_edgeGroup.release();
    freeAndNull(m_onAnimating);
    freeAndNull(m_onClosed);
}

uint32_t ParticleEmitterView::timeInSeconds()
{
    auto* clock = findService<FClockService>(k_slotClock);
    return clock != nullptr ? static_cast<uint32_t>(clock->wallTime()) : 0u;
}

void ParticleEmitterView::setup(FContainer* host, FRefT<FWidget> panel, FRefT<FWidget> topCap,
                                FRefT<FWidget> bottomCap, const ParticleViewAssets* resources,
                                BackdropButtons* menuButtons)
{
    if (host == nullptr || panel.get() == nullptr || topCap.get() == nullptr || bottomCap.get() == nullptr ||
        resources == nullptr)
        return;
    m_setUp = true;
    m_host = host;
    m_panel = std::move(panel);
    m_topCap = std::move(topCap);
    m_bottomCap = std::move(bottomCap);
    m_resources = resources;
    m_menuButtons = menuButtons;

    FWidget& panelWidget = *m_panel.get();
    m_panelHeight = panelWidget.height();
    m_centreLine = panelWidget.rect().top + m_panelHeight / 2;
    m_hostHeight = host->height();
    placePanel(0, m_centreLine);

    m_backdrop->setImage(resources->backdrop, false);
    m_backdrop->setWidgetSize(host->width(), m_hostHeight);

    m_pictures.assign(std::begin(resources->pictures), std::end(resources->pictures));
    gameShuffle(m_pictures);
    m_pictureIndex = 2;
    FImageWidget& front = *m_pictureA.get();
    FImageWidget& back = *m_pictureB.get();
    front.setImage(m_pictures[0], true);
    front.setWidgetAlpha(255);
    front.setWidgetTop(0);
    back.setImage(m_pictures[1], true);
    back.setWidgetAlpha(0);
    back.setWidgetTop(front.rect().bottom - m_hostHeight);
    sendToBack(front);
    sendToBack(back);
    sendToBack(*m_backdrop);

    m_fadeTweens[0].target = &front;
    m_fadeTweens[1].target = &back;
    FTween::Completion* faded = makeObjectDelegate(this, &ParticleEmitterView::onFadeFinished);
    m_fadeTweens[1].setCompletion(faded);
    engineFree(faded);
    startPans();

    auto* panelContainer = dynamic_cast<FContainer*>(&panelWidget);
    m_waveGroup = makeRef(engineNew<ParticleGroup>(k_memObject, 256, panelContainer));
    m_waveGroup->setImage(resources->waveSparkle);
    m_wavePool = makeRef(engineNew<ParticlePool>(k_memObject, 3));
    m_edgeGroup = makeRef(engineNew<ParticleGroup>(k_memObject, 512, host));
    m_edgeGroup->setImage(resources->burstSparkle);
    m_edgePool = makeRef(engineNew<ParticlePool>(k_memObject, 5));

    launchWaves();
    if (FContainer* layer = m_waveGroup->layer()) layer->bringToFront();
    if (FContainer* layer = m_edgeGroup->layer()) layer->bringToFront();

    opening = true;
    centerFirstImage();
}

void ParticleEmitterView::centerFirstImage()
{
    FWidget* panel = m_panel.get();
    if (panel == nullptr) return;
    panel->setWidgetTop(m_centreLine - panel->height() / 2);
}

void ParticleEmitterView::startPans()
{
    FImageWidget* front = m_pictureA.get();
    FImageWidget* back = m_pictureB.get();
    m_panTweens[0].setTarget(front);
    m_panTweens[0].start({0, m_hostHeight - front->height()}, k_panMs);
    m_panTweens[1].setTarget(back);
    m_panTweens[1].start({0, static_cast<int32_t>(m_hostHeight * -0.1)}, k_panMs);
    m_slideTimer.start(k_slideMs);
}

void ParticleEmitterView::update(int32_t elapsedMs)
{
    if (!m_setUp) return;
    if (m_services != nullptr && m_services->isGamePaused()) return;

    m_wavePool->update(elapsedMs, *m_waveGroup);
    m_waveGroup->update(elapsedMs);
    m_waveGroup->applyRecords();
    m_edgePool->update(elapsedMs, *m_edgeGroup);
    m_edgeGroup->update(elapsedMs);
    m_edgeGroup->applyRecords();

    m_panTweens[0].update(elapsedMs);
    m_fadeTweens[0].update(elapsedMs);
    m_panTweens[1].update(elapsedMs);
    m_fadeTweens[1].update(elapsedMs);
    m_slideTimer.update(elapsedMs);

    for (auto& wave : m_waveEmitters) {
        if (ParticleEmitter* emitter = wave.get()) emitter->update(elapsedMs);
    }
    for (auto& sweep : m_sweepEmitters) {
        if (ParticleEmitter* emitter = sweep.get()) emitter->update(elapsedMs);
    }
    for (auto& burst : m_burstEmitters) {
        if (ParticleEmitter* emitter = burst.get(); emitter != nullptr && emitter->isEnabled())
            emitter->update(elapsedMs);
    }

    if (m_menuButtons != nullptr) {
        for (int32_t i = 0; i < m_menuButtons->count(); ++i)
            m_menuButtons->update(i, elapsedMs);
    }

    if (opening) {
        openingStep(elapsedMs);
    } else if (closing) {
        closingStep(elapsedMs);
    } else {
        idleStep(elapsedMs);
    }
}

// A panel under ten pixels high still moves a pixel a step, so that it
// opens and closes at all.
void ParticleEmitterView::openingStep(int32_t elapsedMs)
{
    m_stepAccumulator += elapsedMs;
    m_animating = true;
    m_closed = false;
    notifyAnimating(true);
    if (!m_openSoundPlayed) {
        m_openSoundPlayed = true;
        if (m_services != nullptr) m_services->playSound(m_resources->openSound, k_openVolume);
    }
    if (m_stepAccumulator <= k_stepMs - 1) return;
    m_stepAccumulator %= k_stepMs;
    fadeButtons(30);
    const FWidget& panel = *m_panel.get();
    const int32_t height = panel.height() + std::max(m_panelHeight / 10, 1);
    placePanel(height, panel.rect().top - m_panelHeight / 20);
    if (height >= m_panelHeight) {
        opening = false;
        m_openSoundPlayed = false;
        placePanel(m_panelHeight, panel.rect().top);
        launchSweep();
        m_animating = false;
        notifyAnimating(false);
    }
}

void ParticleEmitterView::closingStep(int32_t elapsedMs)
{
    m_stepAccumulator += elapsedMs;
    m_animating = true;
    notifyAnimating(true);
    if (m_stepAccumulator <= k_stepMs - 1) return;
    m_stepAccumulator %= k_stepMs;
    fadeButtons(-30);
    const FWidget& panel = *m_panel.get();
    if (panel.height() == 0) {
        closing = false;
        m_closed = true;
        m_animating = false;
        m_openSoundPlayed = false;
        if (closeToCallback) {
            if (m_onClosed != nullptr) m_onClosed->invoke();
        } else if (m_services != nullptr) {
            m_services->setScreen(nextScreen, true);
        }
    }
    const int32_t height = std::max(panel.height() - std::max(m_panelHeight / 10, 1), 0);
    placePanel(height, panel.rect().top + m_panelHeight / 20);
    if (height == 0 && !m_burstDone) launchBurst();
}

void ParticleEmitterView::idleStep(int32_t elapsedMs)
{
    if (m_sweepRunning || m_closed) return;
    m_idleAccumulator += elapsedMs;
    if (m_idleAccumulator > k_sweepIdleMs && GameRandom::rand() % 100 < 8) launchSweep();
}

void ParticleEmitterView::fadeButtons(int32_t delta)
{
    if (m_menuButtons == nullptr || m_menuButtons->count() == 0) return;
    const int32_t alpha = std::clamp(m_menuButtons->alphaOf(0) + delta, 0, 255);
    for (int32_t i = 0; i < m_menuButtons->count(); ++i)
        m_menuButtons->setAlphaOf(i, alpha);
}

void ParticleEmitterView::placePanel(int32_t height, int32_t top)
{
    FWidget& panel = *m_panel.get();
    const FRectI& r = panel.rect();
    panel.setWidgetRect({r.left, top, r.right, top + height});
    placeCaps();
}

void ParticleEmitterView::placeCaps()
{
    const FRectI& panel = m_panel->rect();
    FWidget& top = *m_topCap.get();
    FWidget& bottom = *m_bottomCap.get();
    top.setWidgetRect(rectFromPositionAndSize({panel.left, panel.top - top.height()}, top.getWidgetSize()));
    bottom.setWidgetRect(rectFromPositionAndSize({panel.left, panel.bottom}, bottom.getWidgetSize()));
}

void ParticleEmitterView::notifyAnimating(bool animating)
{
    if (m_onAnimating != nullptr) m_onAnimating->invoke(animating);
}

const FRefT<FImage>& ParticleEmitterView::nextPicture()
{
    const FRefT<FImage>& picture = m_pictures[static_cast<size_t>(m_pictureIndex)];
    m_pictureIndex = m_pictureIndex + 1 > 3 ? 0 : m_pictureIndex + 1;
    return picture;
}

void ParticleEmitterView::onSlideTimer()
{
    startAlphaFade(m_fadeTweens[0], 0, k_fadeMs);
    startAlphaFade(m_fadeTweens[1], 255, k_fadeMs);
}

void ParticleEmitterView::onFadeFinished()
{
    for (int i = 0; i < 2; ++i) {
        m_panTweens[i].setActive(false);
        m_fadeTweens[i].setActive(false);
    }
    swapRefs(m_pictureA, m_pictureB);
    FImageWidget& front = *m_pictureA.get();
    FImageWidget& back = *m_pictureB.get();
    m_fadeTweens[0].target = &front;
    m_fadeTweens[1].target = &back;
    front.setWidgetTop(static_cast<int32_t>(m_hostHeight * -0.1));
    front.setWidgetAlpha(255);
    back.setWidgetTop(static_cast<int32_t>(front.rect().bottom - m_hostHeight * 1.1));
    back.setWidgetAlpha(0);
    back.setImage(nextPicture(), true);
    startPans();
}

void ParticleEmitterView::onSweepFinished()
{
    m_sweepRunning = false;
}

FRefT<ParticleEmitter> ParticleEmitterView::makeEmitter(int32_t duration, ParticlePool* pool,
                                                        ParticleGroup* group, const FRefT<FImage>& image,
                                                        FPointI start, int32_t type)
{
    return makeRef(engineNew<ParticleEmitter>(k_memObject, duration, pool, group, image, start.x, start.y,
                                              type, false, 0));
}

void ParticleEmitterView::launchWaves()
{
    ZIBBO_LOG(k_logDefault, false) << "setting up emitters";
    const FRectI& panel = m_panel->rect();
    const FPointI start{panel.left, m_panelHeight / 2};
    for (int i = 0; i < 2; ++i) {
        m_waveEmitters[i] = makeEmitter(900, m_wavePool.get(), m_waveGroup.get(), m_resources->waveSparkle,
                                        start, ParticleEmitter::k_wave);
        ParticleEmitter& wave = *m_waveEmitters[i].get();
        wave.endX = panel.right - panel.left;
        wave.endY = m_panelHeight / 2;
        wave.setWave(m_panelHeight / 3, m_host->width(), i == 0 ? 0.0f : 0.5f);
        applySparkle(wave, k_waves[i]);
    }
    for (auto& wave : m_waveEmitters)
        wave->restart();
}

void ParticleEmitterView::launchSweep()
{
    m_sweepRunning = true;
    m_idleAccumulator = 0;
    GameRandom::srand(m_seedSource != nullptr ? m_seedSource() : 0u);
    for (int i = 0; i < 2; ++i) {
        if (ParticleEmitter* existing = m_sweepEmitters[i].get()) {
            existing->stop();
            continue;
        }
        m_sweepEmitters[i] = makeEmitter(700, m_edgePool.get(), m_edgeGroup.get(), m_resources->sweepSparkle,
                                         {0, 0}, ParticleEmitter::k_line);
        if (i == 0) {
            ParticleEmitter::Finished* finished =
                makeObjectDelegate(this, &ParticleEmitterView::onSweepFinished);
            m_sweepEmitters[0]->setOnFinished(finished);
            engineFree(finished);
        }
    }
    const FRectI& top = m_topCap->rect();
    const FRectI& bottom = m_bottomCap->rect();
    const FPointI starts[2] = {{top.left, top.top + (bottom.bottom - bottom.top) / 2},
                               {bottom.left, bottom.top}};
    const int32_t widths[2] = {top.right - top.left, bottom.right - bottom.left};
    for (int i = 0; i < 2; ++i) {
        ParticleEmitter& sweep = *m_sweepEmitters[i].get();
        sweep.startX = starts[i].x;
        sweep.startY = starts[i].y;
        sweep.endX = starts[i].x + widths[i];
        sweep.endY = starts[i].y;
        applySparkle(sweep, k_sweeps[i]);
    }
    for (auto& sweep : m_sweepEmitters)
        sweep->restart();
}

void ParticleEmitterView::launchBurst()
{
    const FRectI caps[2] = {m_topCap->rect(), m_bottomCap->rect()};
    for (int i = 0; i < 2; ++i) {
        const FRectI& cap = caps[i];
        const FPointI start{cap.left, cap.top + (cap.bottom - cap.top) / 2};
        m_burstEmitters[i] = makeEmitter(500, m_edgePool.get(), m_edgeGroup.get(), m_resources->burstSparkle,
                                         start, ParticleEmitter::k_line);
        ParticleEmitter& burst = *m_burstEmitters[i].get();
        burst.endX = cap.right;
        burst.endY = start.y;
        applySparkle(burst, k_bursts[i]);
        burst.restart();
    }
    m_burstDone = true;
}
