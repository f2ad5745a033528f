#include "game/widgets/MapHintEffects.h"
#include "game/core/PowerUpKind.h"
#include "game/core/TaskType.h"

#include "core/FMemory.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/SearchableObject.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapHintHost.h"
#include "game/widgets/MapView.h"
#include "game/widgets/MapViewAssets.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/ParticleRecord.h"
#include "game/widgets/SearchableSprite.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"
#include "video/FVideo.h"

#include <cmath>

namespace {

using MapHintGeometry::CursorClip;

// The power-up that mirrors the view: distances are measured from the
// mirrored point.
constexpr int32_t k_mirrorPowerUp = k_powerUpFlip;
// No mini-map view frame during this task type.
constexpr int32_t k_noViewFrameTask = k_taskSpotDifferences;
// A throw target lies at most this far from the window's centre.
constexpr double k_throwReach = 10000.0;
// The hint frame's grey, alpha in the top byte.
constexpr uint32_t k_frameColour = 0xFF323232u;

constexpr int32_t k_sparkleRunMs = 1000;
constexpr int32_t k_sparkleEmitMs = 100100;
constexpr int32_t k_swirlRunMs = 1000;
constexpr int32_t k_swirlEmitMs = 6000;

FPointI rectCentre(const FRectI& r)
{
    return {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
}

bool containsPoint(const FRectI& r, FPointI p)
{
    return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

} // namespace

MapHintEffects::MapHintEffects(MapView& view) : m_view(view)
{
    // The delay ends in the sparkle's start.
    auto* completion = makeObjectDelegate(this, &MapHintEffects::restartSparkle);
    m_view.m_sparkleDelayTimer.setCompletion(completion);
    engineFree(completion);
}

MapHintEffects::~MapHintEffects()
{
    m_view.m_sparkleDelayTimer.setCompletion(nullptr);
}

MapHintHost* MapHintEffects::host()
{
    return dynamic_cast<MapHintHost*>(m_view.m_screen);
}

void MapHintEffects::bindScreenOverlays()
{
    MapHintHost* screen = host();
    if (screen == nullptr) return;
    m_view.m_groupA->setImage(screen->getSparklePicture(0));
    m_view.m_groupB->setImage(screen->getSparklePicture(1));
    m_view.m_screenAssets = screen->getAssetTable();
    // Present, never seen and never clicked.
    const auto hide = [](FWidget* widget) {
        if (widget == nullptr) return;
        widget->setHitTestDisabled(true);
        widget->setWidgetAlpha(0);
    };
    if (FContainer* layer = screen->getOverlayLayer()) {
        const auto& children = layer->children();
        for (std::size_t i = 0; i < children.size() && i < 3; ++i)
            hide(children[i]);
    }
    hide(screen->getMarkerWidget());
}

void MapHintEffects::createOverlaySprites()
{
    m_view.m_idleTimer = k_idleMs;
    MapHintHost* screen = host();
    FContainer* layer = screen != nullptr ? screen->getOverlayLayer() : nullptr;
    if (layer == nullptr) return;
    const FRefT<FImage> picture = screen->getFramePicture();
    for (FRefT<FImageWidget>& frame : m_view.m_hintFrames) {
        if (frame.get() == nullptr) frame = makeRef(engineNew<FImageWidget>(k_memObject, layer, true));
        frame->setHitTestDisabled(true);
        frame->setImage(picture, true);
        frame->setWidgetColour(k_frameColour);
        frame->setWidgetAlpha(0);
        frame->setVisible(false);
    }
}

void MapHintEffects::placeHintOnSprite(SearchableSprite* sprite)
{
    if (sprite == nullptr) return;
    FRectI hint = sprite->hintRect();
    if (hint.right == hint.left && hint.bottom == hint.top) {
        const FContainer& content = *m_view.m_content;
        const MapHintGeometry::ViewMetrics metrics{m_view.width(), m_view.height(), content.width(),
                                                   content.height(), m_view.m_currentZoom};
        // A view without size has no room for an offset (and rand() % 0
        // would divide by zero).
        const int32_t rx = metrics.viewWidth > 0 ? GameRandom::rand() % metrics.viewWidth : 0;
        const int32_t ry = metrics.viewHeight > 0 ? GameRandom::rand() % metrics.viewHeight : 0;
        hint = MapHintGeometry::hintRect(sprite->mapRect(), metrics, rx, ry);
        sprite->setHintRect(hint);
    }
    setHintRect(hint.left, hint.top, hint.right, hint.bottom);
}

void MapHintEffects::setHintRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    m_view.m_hintRect = {left, top, right, bottom};
    if (!m_view.m_autoScrolling) m_view.autoScrollTo(false, left, top);
    MapHintHost* screen = host();
    if (screen == nullptr || screen->getOverlayLayer() == nullptr) return;
    FWidget* miniMap = screen->getMiniMap();
    if (miniMap == nullptr || m_view.m_hintFrames[0].get() == nullptr) return;
    const FContainer& content = *m_view.m_content;
    const auto bands = MapHintGeometry::miniMapBands(m_view.m_hintRect, miniMap->rect(),
                                                     {content.width(), content.height()});
    for (std::size_t i = 0; i < bands.size(); ++i) {
        FImageWidget& frame = *m_view.m_hintFrames[i];
        frame.setWidgetRect(bands[i]);
        frame.setVisible(true);
    }
}

void MapHintEffects::updateViewFrame()
{
    if (m_view.m_session != nullptr && m_view.m_session->getCurrentTaskType() == k_noViewFrameTask) return;
    MapHintHost* screen = host();
    FWidget* frame = screen != nullptr ? screen->getViewFrame() : nullptr;
    FWidget* miniMap = screen != nullptr ? screen->getMiniMap() : nullptr;
    if (frame == nullptr || miniMap == nullptr) return;
    const FContainer& content = *m_view.m_content;
    const MapHintGeometry::ViewMetrics metrics{m_view.width(), m_view.height(), content.width(),
                                               content.height(), m_view.m_currentZoom};
    const FRectI r = MapHintGeometry::viewFrameRect(miniMap->rect(), metrics, m_view.scale(),
                                                    {content.rect().left, content.rect().top});
    frame->setWidgetSize(r.right - r.left, r.bottom - r.top);
    frame->setWidgetPosition(r.left, r.top);
}

void MapHintEffects::queueCursorClip(CursorClip clip, int32_t times)
{
    MapHintHost* screen = host();
    const MapViewAssets* assets = m_view.m_screenAssets;
    if (screen == nullptr || assets == nullptr) return;
    const FRefT<FVideo>* video = &assets->defaultClip;
    switch (clip) {
    case CursorClip::k_cold:
        video = &assets->coldClip;
        break;
    case CursorClip::k_warm:
        video = &assets->warmClip;
        break;
    case CursorClip::k_hot:
        video = &assets->hotClip;
        break;
    case CursorClip::k_default:
        break;
    }
    for (int32_t pass = 0; pass < times; ++pass)
        screen->queueCursorClip(m_view.m_playerIndex, *video, true, true);
}

void MapHintEffects::onPointerMoved(FPointI p)
{
    MapHintHost* screen = host();
    if (m_view.m_inputBlocked || m_view.m_screenAssets == nullptr || screen == nullptr) return;
    if (!screen->isHintCursorMode()) {
        if (m_view.m_proximityLevel != -1) {
            queueCursorClip(CursorClip::k_default, 1);
            m_view.m_proximityLevel = -1;
        }
        return;
    }
    const int32_t previousLevel = m_view.m_proximityLevel;
    const int32_t previousState = m_view.m_proximityState;
    MapHintGeometry::Proximity proximity = MapHintGeometry::proximityOff();
    SearchableSprite* pending = m_view.m_pendingSprite;
    // Without a pending sprite there is nothing to measure against.
    if (screen->isHintRadarOn() && pending != nullptr) {
        const FRectI& content = m_view.m_content->rect();
        const double z = m_view.m_currentZoom;
        FPointI q{p.x - content.left, p.y - content.top};
        const FPointI scenePoint{static_cast<int32_t>(q.x / z), static_cast<int32_t>(q.y / z)};
        const ActivePowerUp* slot = m_view.m_session != nullptr ? m_view.m_session->powerUpSlot(0) : nullptr;
        if (slot != nullptr && slot->kind() == k_mirrorPowerUp)
            q = {m_view.width() - p.x - content.left, m_view.height() - p.y - content.top};
        q = {static_cast<int32_t>(q.x / z), static_cast<int32_t>(q.y / z)};
        const FRectI item = pending->mapRect();
        const FPointI centre = rectCentre(item);
        const double distance = std::hypot(double(q.x - centre.x), double(q.y - centre.y));
        proximity = MapHintGeometry::proximityOf(distance, m_view.m_hintRect.right - m_view.m_hintRect.left,
                                                 containsPoint(item, scenePoint));
    }
    m_view.m_proximityLevel = proximity.level;
    m_view.m_proximityState = proximity.state;
    if (proximity.level != previousLevel) queueCursorClip(proximity.clip, 2);
    if (proximity.state != previousState) screen->playTierEffect(proximity.state);
}

void MapHintEffects::onPointerReleased()
{
    MapHintHost* screen = host();
    if (screen == nullptr || !screen->isHintCursorMode()) return;
    const int32_t state = m_view.m_proximityState;
    m_view.m_proximityState = k_stateOff;
    screen->playTierEffect(state);
}

void MapHintEffects::startHintCursorClip()
{
    MapHintHost* screen = host();
    if (m_view.m_hintClipActive || screen == nullptr || !screen->isHintCursorMode()) return;
    m_view.m_hintClipActive = true;
    queueCursorClip(CursorClip::k_default, 2);
    m_view.m_savedProximityState = m_view.m_proximityState;
    screen->playTierEffect(k_stateOff);
}

void MapHintEffects::stopHintCursorClip()
{
    MapHintHost* screen = host();
    if (!m_view.m_hintClipActive || screen == nullptr || !screen->isHintCursorMode()) return;
    m_view.m_hintClipActive = false;
    screen->playTierEffect(m_view.m_savedProximityState);
}

void MapHintEffects::spawnSpriteEmitter(SearchableSprite* sprite, int32_t delayMs)
{
    MapHintHost* screen = host();
    if (sprite == nullptr || screen == nullptr) return;
    const FRectI r = sprite->mapRect();
    const int32_t w = r.right - r.left;
    const int32_t h = r.bottom - r.top;
    // The replaced emitter's particle would otherwise go on sparkling at the
    // old item for the rest of its emission time, holding a pool slot.
    if (m_view.m_sparkleEmitter.get() != nullptr) m_view.m_sparkleEmitter->stop();
    m_view.m_sparkleEmitter = makeRef(engineNew<ParticleEmitter>(
        k_memObject, k_sparkleRunMs, m_view.m_poolB.get(), m_view.m_groupB.get(),
        screen->getSparklePicture(1), r.left - w / 6, r.top - h / 6, ParticleEmitter::k_point, true, 0));
    ParticleEmitter& sparkle = *m_view.m_sparkleEmitter;
    sparkle.emitDuration = k_sparkleEmitMs;
    sparkle.spreadWidth = w;
    sparkle.spreadHeight = h;
    sparkle.velocitySpreadX = 3000;
    sparkle.velocitySpreadY = 3000;
    sparkle.lifetimeRange = 1500;
    sparkle.lifetimeMin = 500;
    sparkle.spin = 7;
    sparkle.sizeBase = 1;
    sparkle.sizeGrowth = 8;
    // The particle the emitter took at its construction would puff out its
    // first sprites at the item long before the delay ends: it waits without
    // emitting (the pool takes it back; the start takes a fresh one).
    if (ParticleRecord* waiting = sparkle.particle()) waiting->emitting = false;
    m_view.m_sparkleDelayTimer.start(delayMs);
}

void MapHintEffects::stopSpriteEmitter()
{
    ParticleEmitter* sparkle = m_view.m_sparkleEmitter.get();
    if (sparkle != nullptr && sparkle->isEnabled()) sparkle->stop();
    m_view.m_sparkleDelayTimer.setActive(false);
}

void MapHintEffects::restartSparkle()
{
    if (ParticleEmitter* sparkle = m_view.m_sparkleEmitter.get()) sparkle->restart();
}

bool MapHintEffects::isThrowTarget(SearchableSprite& sprite, FPointI windowCentre,
                                   bool needsActiveEntry) const
{
    if (sprite.isFound() || sprite.item() == nullptr ||
        sprite.item()->state() != SearchableObject::k_stateListed)
        return false;
    if (needsActiveEntry && (sprite.panelEntry() == nullptr || !sprite.panelEntry()->isActive()))
        return false;
    const FRectI r = sprite.mapRect();
    return std::hypot(double(r.left - windowCentre.x), double(r.top - windowCentre.y)) <= k_throwReach;
}

void MapHintEffects::startThrowEffect()
{
    MapHintHost* screen = host();
    if (screen == nullptr) return;
    const FRectI& content = m_view.m_content->rect();
    const int32_t vw = m_view.width();
    const int32_t vh = m_view.height();
    const FPointI windowCentre{vw / 2 - content.left, vh / 2 - content.top};
    const bool needsActiveEntry = screen->needsActiveEntry();
    SearchableSprite* target = nullptr;
    for (SearchableSprite* sprite : screen->getSpriteList())
        if (sprite != nullptr && isThrowTarget(*sprite, windowCentre, needsActiveEntry)) target = sprite;

    screen->showHintOnSprite(target, m_view.m_playerIndex);
    if (FContainer* layer = m_view.m_groupB->layer()) layer->bringToFront();
    if (m_view.m_effectRunning || target == nullptr) return;

    m_view.m_effectRunning = true;
    const FPointI centre = rectCentre(target->mapRect());
    m_view.autoScrollTo(true, centre.x - vw / 2, centre.y - vh / 2);
    m_view.m_idleTimer = 0;
    m_view.m_idleEmitters.clear();
    while (m_view.m_idleEmitters.size() < static_cast<std::size_t>(k_swirlEmitters)) {
        const bool evenBefore = m_view.m_idleEmitters.size() % 2 == 0;
        FRefT<ParticleEmitter> handle = makeRef(
            engineNew<ParticleEmitter>(k_memObject, k_swirlRunMs, m_view.m_poolA.get(), m_view.m_groupA.get(),
                                       screen->getSwirlPicture(evenBefore ? 1 : 0), centre.x, centre.y,
                                       ParticleEmitter::k_circle, true, 0));
        m_view.m_idleEmitters.push_back(handle);
        ParticleEmitter& swirl = *handle;
        swirl.emitDuration = k_swirlEmitMs;
        swirl.rate = 20;
        swirl.additiveBlend = false;
        swirl.spreadWidth = 22;
        swirl.spreadHeight = 22;
        swirl.velocitySpreadX = 1;
        swirl.velocitySpreadY = 1;
        swirl.lifetimeRange = 300;
        swirl.lifetimeMin = 200;
        swirl.accelerationX = 0;
        swirl.accelerationY = 6000;
        swirl.spin = 0;
        const int32_t size = m_view.m_idleEmitters.size() % 2 == 1 ? 20 : 50;
        swirl.sizeBase = size;
        swirl.sizeGrowth = size;
        swirl.setCircle(k_swirlRadius, 0.0f);
        swirl.restart();
    }
}

void MapHintEffects::updateEffects(int32_t elapsedMs)
{
    if (m_view.m_effectRunning) {
        for (const FRefT<ParticleEmitter>& swirl : m_view.m_idleEmitters)
            swirl->update(elapsedMs);
        m_view.m_idleTimer += elapsedMs;
        if (m_view.m_idleTimer >= k_idleMs) {
            m_view.m_effectRunning = false;
            for (const FRefT<ParticleEmitter>& swirl : m_view.m_idleEmitters)
                swirl->stop();
        }
    }
    if (ParticleEmitter* sparkle = m_view.m_sparkleEmitter.get()) {
        if (sparkle->isEnabled()) sparkle->update(elapsedMs);
        // The sparkles of a stopped or replaced emitter fade out rather than
        // freeze where they are.
        m_view.m_poolB->update(elapsedMs, *m_view.m_groupB);
        m_view.m_groupB->update(elapsedMs);
        m_view.m_groupB->applyRecords();
        if (FContainer* layer = m_view.m_groupB->layer()) layer->bringToFront();
    }
    m_view.m_sparkleDelayTimer.update(elapsedMs);
}
