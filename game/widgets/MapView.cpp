#include "game/widgets/MapView.h"
#include "game/core/PowerUpKind.h"
#include "game/core/TaskType.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapScrollListener.h"
#include "game/widgets/MapTileSprite.h"
#include "game/widgets/MapViewHost.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/PlayFieldServices.h"
#include "game/widgets/SearchableSprite.h"
#include "game/worlds/NamedRefMap.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"

#include <cmath>
#include <cstdlib>

namespace {

// The quest type of the levels played without hint rectangles and without
// the far zoom.
constexpr int32_t k_freeQuestType = 2;
// The power-up that anchors an effect to a scene spot.
constexpr int32_t k_anchoredPowerUp = k_powerUpQuake;
constexpr int32_t k_frozenAnimationsTask = k_taskAwards;
constexpr int32_t k_missSoundTask = k_taskSpotDifferences;
// Pad direction buttons never press the scene.
constexpr int32_t k_lastPadDirection = 3;
// A narrow view on the right half of a 640-wide screen gets whole-screen
// points.
constexpr int32_t k_halfScreenWidth = 320;
constexpr int32_t k_groupASize = 64;
constexpr int32_t k_poolASize = 8;
constexpr int32_t k_groupBSize = 32;
constexpr int32_t k_poolBSize = 16;

int32_t truncToInt(double value)
{
    return static_cast<int32_t>(std::trunc(value));
}

FPointI topLeft(const FWidget& widget)
{
    return {widget.rect().left, widget.rect().top};
}

} // namespace

MapView::MapView(FContainer* parent, bool addToParent) : FContainer(parent, addToParent)
{
    m_screen = parent != nullptr ? parent->getScreen() : nullptr;
    if (PlayFieldServices* play = services()) m_session = play->gameSession();
    m_content = makeRef(engineNew<FContainer>(k_memObject, this, true));
    m_content->setWidgetRect({0, 0, k_sceneWidth, k_sceneHeight});
    m_zoomLevels = {0.75f, 1.0f};
    m_groupA = makeRef(engineNew<ParticleGroup>(k_memObject, k_groupASize, m_content.get()));
    m_poolA = makeRef(engineNew<ParticlePool>(k_memObject, k_poolASize));
    m_groupB = makeRef(engineNew<ParticleGroup>(k_memObject, k_groupBSize, m_content.get()));
    m_poolB = makeRef(engineNew<ParticlePool>(k_memObject, k_poolBSize));

    // The children's difficulty and the free levels show the scene at full
    // size; otherwise it starts zoomed out.
    bool fullSize = false;
    if (m_session != nullptr) {
        ProfileManager* profiles = m_session->profiles();
        PlayerProfile* profile = profiles != nullptr ? profiles->getCurrentProfile() : nullptr;
        fullSize = (profile != nullptr && !profile->difficulty()) ||
                   m_session->currentQuestType() == k_freeQuestType;
    }
    setZoom(fullSize ? m_zoomLevels[1] : m_zoomLevels[0]);
}

MapView::~MapView() = default;

MapViewHost* MapView::host()
{
    return dynamic_cast<MapViewHost*>(m_screen);
}

PlayFieldServices* MapView::services() const
{
    return PlayFieldServices::instance();
}

void MapView::resetPointerToDefault()
{
    if (PlayFieldServices* play = services()) play->setDefaultCursor(m_playerIndex);
}

void MapView::setZoom(float factor)
{
    m_currentZoom = factor;
    m_content->setUniformScale(factor);
    const FRectI r = m_content->rect();
    m_content->setWidgetRect({r.left, r.top, r.left + truncToInt(double(k_sceneWidth) * factor),
                              r.top + truncToInt(double(k_sceneHeight) * factor)});
    clamp();
}

void MapView::moveContentTo(int32_t x, int32_t y)
{
    m_content->setWidgetPosition(x, y);
}

void MapView::clamp()
{
    const int32_t vw = width();
    const int32_t vh = height();
    const FRectI& r = m_content->rect();
    int32_t left = r.left;
    int32_t top = r.top;
    // Until the screen has set a hint rectangle there is nothing to hold the
    // window on; the all-zero rectangle would push the scene out of view.
    const bool hintRectSet = m_hintRect.right != m_hintRect.left || m_hintRect.bottom != m_hintRect.top;
    MapViewHost* screen = host();
    if (!m_shaking && hintRectSet && screen != nullptr && screen->needsActiveEntry()) {
        if (left > -m_hintRect.left) left = -m_hintRect.left;
        if (r.left + m_hintRect.right < vw) left = vw - m_hintRect.right;
        if (top > -m_hintRect.top) top = -m_hintRect.top;
        if (r.top + m_hintRect.bottom < vh) top = vh - m_hintRect.bottom;
    } else {
        const int32_t cw = r.right - r.left;
        const int32_t ch = r.bottom - r.top;
        if (left > 0) left = 0;
        if (left + cw < vw) left = vw - cw;
        if (top > 0) top = 0;
        if (top + ch < vh) top = vh - ch;
    }
    if (left != r.left || top != r.top) moveContentTo(left, top);
    for (const FRefT<MapTileSprite>& tile : m_tiles)
        tile->notifyMapMoved();
    for (const AnimationLink& link : m_animations)
        link.animation->updateCompanionLoad();
}

void MapView::scrollTo(int32_t x, int32_t y)
{
    const FPointI before = topLeft(*m_content);
    moveContentTo(x, y);
    clamp();
    if (m_session == nullptr) return;
    const ActivePowerUp* other = m_session->powerUpSlot(m_playerIndex == 0 ? 1 : 0);
    MapViewHost* screen = host();
    if (other != nullptr && other->kind() == k_anchoredPowerUp && screen != nullptr) {
        const FPointI after = topLeft(*m_content);
        screen->moveEffectAnchor({after.x - before.x, after.y - before.y});
    }
}

void MapView::scrollBy(int32_t dx, int32_t dy)
{
    const FPointI at = topLeft(*m_content);
    scrollTo(at.x + dx, at.y + dy);
}

void MapView::autoScrollTo(bool force, int32_t x, int32_t y)
{
    if (m_autoScrolling && !force) return;
    m_dragState = k_dragIdle;
    resetPointerToDefault();
    m_autoScrollTarget = {-x, -y};
    m_autoScrolling = true;
    m_autoScrollTime = 0;
}

void MapView::endAutoScroll()
{
    m_autoScrolling = false;
    if (m_autoScrollListener != nullptr) m_autoScrollListener->onAutoScrollEnded(*this);
}

void MapView::stepAutoScroll(int32_t elapsedMs)
{
    m_autoScrollTime += elapsedMs;
    if (m_autoScrollTime <= k_autoScrollStepMs) return;
    m_autoScrollTime = elapsedMs > 0 ? m_autoScrollTime % elapsedMs : 0;
    const FPointI at = topLeft(*m_content);
    const int32_t dx = m_autoScrollTarget.x - at.x;
    const int32_t dy = m_autoScrollTarget.y - at.y;
    if (std::abs(dx) <= k_autoScrollSnap && std::abs(dy) <= k_autoScrollSnap) {
        m_autoScrolling = false;
        scrollTo(m_autoScrollTarget.x, m_autoScrollTarget.y);
        endAutoScroll();
        return;
    }
    const double k = k_autoScrollFactor;
    scrollBy(truncToInt(k * dx), truncToInt(k * dy));
    if (topLeft(*m_content) == at) endAutoScroll();
}

FPointI MapView::focusOnSprite(SearchableSprite* sprite)
{
    if (sprite == nullptr) return {-1, -1};
    const FRectI r = sprite->mapRect();
    const int32_t w = r.right - r.left;
    const int32_t h = r.bottom - r.top;
    const FPointF s = scale();
    const int32_t ax = truncToInt(width() - (3 * w / 2) / double(s.x));
    const int32_t ay = truncToInt((height() - h) / double(s.y));
    FPointI point{r.left, r.top};
    if (ax != 0 && ay != 0) {
        const int32_t ry = GameRandom::rand() % std::abs(ay);
        const int32_t rx = GameRandom::rand() % std::abs(ax);
        point = {r.left - rx, r.top - ry};
    }
    if (!m_autoScrolling) autoScrollTo(false, point.x, point.y);
    return point;
}

void MapView::resetView(bool force, FPointI point)
{
    if (m_positioned && !force) return;
    m_dragState = k_dragIdle;
    resetPointerToDefault();
    scrollTo(-point.x, -point.y);
    m_positioned = true;
}

FPointI MapView::spriteScreenPoint(SearchableSprite* sprite) const
{
    if (sprite == nullptr) return {-1, -1};
    const FRectI r = sprite->mapRect();
    return {truncToInt(r.left * double(m_currentZoom)), truncToInt(r.top * double(m_currentZoom))};
}

void MapView::shake(int32_t dx, int32_t dy)
{
    const FPointI before = topLeft(*m_content);
    m_shaking = true;
    moveContentTo(before.x + dx, before.y + dy);
    clamp();
    m_shaking = false;
    const FPointI after = topLeft(*m_content);
    m_recordedShake = {after.x - before.x, after.y - before.y};
}

void MapView::unshake()
{
    const FPointI at = topLeft(*m_content);
    m_shaking = true;
    moveContentTo(at.x - m_recordedShake.x, at.y - m_recordedShake.y);
    clamp();
    m_shaking = false;
}

void MapView::cancelDrag()
{
    if (m_dragState != k_dragPressed) return;
    m_pressTimer = 0;
    m_dragState = k_dragIdle;
    resetPointerToDefault();
}

void MapView::noteItemFound()
{
    m_foundInClick = true;
    m_idleTimer = k_idleEmitterMs;
}

void MapView::reportSpriteFound(SearchableSprite& sprite)
{
    if (MapViewHost* screen = host()) screen->reportSpriteFound(m_playerIndex, sprite);
}

void MapView::setFlyTarget(const HudPanelEntry& entry, int32_t player)
{
    MapViewHost* screen = host();
    HudEntryPanel* panel = screen != nullptr ? screen->getPlayerPanel(player) : nullptr;
    if (panel == nullptr) return;
    const FPointI origin = panel->panelPosition();
    const FRectI& r = entry.rect();
    screen->setFlyTarget(
        player, {origin.x + r.left + (r.right - r.left) / 2, origin.y + r.top + (r.bottom - r.top) / 2});
}

void MapView::clearPendingSprite()
{
    m_pendingSprite = nullptr;
    if (MapViewHost* screen = host()) screen->setHintCursorMode(false);
}

std::string MapView::tileName(int32_t worldIndex, int32_t number)
{
    std::string name = "World";
    if (worldIndex < 9) name += "0";
    name += std::to_string(worldIndex + 1) + "BG";
    if (number <= 9) name += "0";
    return name + std::to_string(number);
}

void MapView::buildBackgroundTiles(int32_t worldIndex, const NamedRefMap& table)
{
    const auto lookUp = [&table](const std::string& name) {
        const FRef* found = table.find(name);
        FRefT<FImage> image = found != nullptr ? FRefT<FImage>(*found) : FRefT<FImage>();
        if (image.get() != nullptr && !image->hasPixels()) image = FRefT<FImage>();
        return image;
    };
    const std::string firstName = tileName(worldIndex, 1);
    const FRefT<FImage> first = lookUp(firstName);
    const FImagePoint size = first.get() != nullptr ? first->getRootImageSize() : FImagePoint{};
    // The first tile sets the grid; without a usable one there is no grid.
    if (size.x <= 0 || size.y <= 0)
        ZIBBO_FAIL(msgFileCorrupted, "The background of world " << worldIndex + 1
                                                                << " has no usable first tile " << firstName
                                                                << " (" << size.x << " x " << size.y << ")");
    const int32_t columns = k_sceneWidth / size.x;
    const int32_t rows = k_sceneHeight / size.y;
    for (int32_t number = 1; number <= columns * rows; ++number) {
        const std::string name = tileName(worldIndex, number);
        const FRefT<FImage> image = number == 1 ? first : lookUp(name);
        if (image.get() == nullptr) {
            ZIBBO_LOG(k_logRelease, false)
                << "Background tile " << name << " is missing; its place stays empty";
            continue;
        }
        FRefT<MapTileSprite> tile = makeRef(engineNew<MapTileSprite>(k_memObject, m_content.get(), true));
        tile->setImage(image, true);
        const int32_t index = number - 1;
        tile->setWidgetPosition(index % columns * size.x, index / columns * size.y);
        m_tiles.push_back(tile);
    }
}

void MapView::addMapChild(FWidget* widget)
{
    m_mapChildren.push_back(widget);
    m_content->addChild(widget);
}

void MapView::removeMapChildren()
{
    for (FWidget* widget : m_mapChildren)
        m_content->removeChild(widget);
    m_mapChildren.clear();
}

void MapView::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    FContainer::onPointerDown(pointer, button, point);
    if (m_inputBlocked || m_autoScrolling || (button >= 0 && button <= k_lastPadDirection)) return;
    if (m_dragState != k_dragIdle) return;
    m_dragState = k_dragPressed;
    capturePointer(pointer);
    m_pressPoint = point;
    m_lastPoint = point;
}

void MapView::onPointerMove(int32_t pointer, const FPointI& point)
{
    FContainer::onPointerMove(pointer, point);
    if (m_inputBlocked) return;
    m_hints.onPointerMoved(point);
    m_lastPoint = point;
}

void MapView::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if (m_inputBlocked) {
        m_hints.onPointerReleased();
        return;
    }
    FPointI p = point;
    if (width() <= k_halfScreenWidth && p.x > k_halfScreenWidth && m_session != nullptr &&
        m_session->currentQuest() != nullptr)
        p.x -= k_halfScreenWidth;
    if (FScreen* screen = getScreen()) screen->releaseCapture(pointer);
    MapViewHost* screen = host();
    if (m_dragState == k_dragPressed) {
        m_pressTimer = 0;
        if (screen != nullptr) screen->placePlayerCursor(m_playerIndex, point);
        m_dragState = k_dragIdle;
        resetPointerToDefault();
    }
    HudEntryPanel* panel = screen != nullptr ? screen->getPlayerPanel(m_playerIndex) : nullptr;
    const bool hasEntries = panel != nullptr && panel->entryCount() > 0;
    if (hasEntries) FContainer::onPointerUp(pointer, button, p);
    // A release on an empty panel is neither a find nor a wrong click.
    if (m_foundInClick || !hasEntries) {
        if (m_session != nullptr) m_session->resetWrongClicks(m_playerIndex);
        m_foundInClick = false;
    } else if (screen != nullptr && screen->isPlayActive() && m_session != nullptr) {
        m_session->registerWrongHit(m_playerIndex);
        PlayFieldServices* play = services();
        if (m_session->getCurrentTaskType() == k_missSoundTask && play != nullptr)
            play->playSound(screen->missSound(), k_missVolume);
    }
    m_lastPoint = point;
    m_hints.onPointerReleased();
}

void MapView::update(int32_t elapsedMs)
{
    const int32_t taskType = m_session != nullptr ? m_session->getCurrentTaskType() : -1;
    if (taskType != k_frozenAnimationsTask) {
        for (const AnimationLink& link : m_animations)
            link.animation->update(elapsedMs);
    }
    PlayFieldServices* play = services();
    if (play != nullptr && play->isGamePaused()) return;
    m_poolA->update(elapsedMs, *m_groupA);
    m_groupA->update(elapsedMs);
    m_groupA->applyRecords();
    if (m_autoScrolling) stepAutoScroll(elapsedMs);
    m_hints.updateViewFrame();
    if (m_dragState == k_dragPressed && !m_dragCountingOff) {
        m_pressTimer += elapsedMs;
        const double moved =
            std::hypot(double(m_lastPoint.x - m_pressPoint.x), double(m_lastPoint.y - m_pressPoint.y));
        // A held or moved press stays a click; it only counts as a drag.
        if (m_pressTimer > k_dragMs || moved > k_dragDistance) {
            m_pressTimer = 0;
            ++m_dragCount;
        }
    }
    m_hints.updateEffects(elapsedMs);
}

MapViewWindow MapView::window() const
{
    const FPointF s = m_content->scale();
    return {width(), height(), m_content->rect().left, m_content->rect().top, s.x, s.y};
}
