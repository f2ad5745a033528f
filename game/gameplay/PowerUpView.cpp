#include "game/gameplay/PowerUpView.h"

#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameSession.h"
#include "game/gameplay/CommonUIScreen.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapView.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

#include <utility>

namespace {

constexpr int32_t k_powerUpViewTraceLevel = 0;

} // namespace

PowerUpView::PowerUpView(FContainer* parent, int32_t kind) : FContainer(parent, true), m_kind(kind)
{
    auto* changed = makeMemberDelegate(this, &PowerUpView::onPowerUpStateChanged);
    m_stateListener = StateListeners<ActivePowerUp>::makeListener(changed);
    freeAndNull(changed);
    m_launchDelay.setSpeed(1.0f);
    m_launchFlight.setSpeed(1.0f);
}

PowerUpView::~PowerUpView()
{
    if (HudPanelEntry* entry = m_panelEntry.get(); entry != nullptr && entry->powerUpView() == this)
        entry->setPowerUpView(nullptr);
    m_icon = {};
    m_launchFlight.setCompletion(nullptr);
    m_launchFlight.setTarget(nullptr);
    m_launchDelay.setCompletion(nullptr);
    if (VideoSprite* sprite = m_launchSprite.get()) sprite->setFinishCallback(nullptr);
    m_launchSprite = {};
    m_mapView = {};
    m_panelEntry = {};
    // The record may outlive the view: every handle on the cell, the one in
    // the record's listener set too, then reads null and calls nothing.
    FRef::destroyTarget(std::move(m_stateListener));
}

FRefT<VideoSprite> PowerUpView::makeSprite(const FRef& clip)
{
    if (m_hostScreen == nullptr) return {};
    FRefT<VideoSprite> sprite = makeRef(engineNew<VideoSprite>(k_memObject, m_hostScreen));
    if (clip.get() != nullptr) sprite->setVideo(FRefT<FVideo>(clip), true);
    sprite->setVisible(false);
    return sprite;
}

void PowerUpView::bindMapView(const FRefT<MapView>& mapView)
{
    m_mapView = mapView;
    if (m_hostScreen == nullptr) return;
    m_launchSprite = makeScreenSprite(FRef(), this, &PowerUpView::onLaunchClipFinished);
    m_launchSprite->setFrameRate(k_launchFps);
    m_launchSprite->setFrameTime(k_launchFrameMs);
    auto* delayed = makeMemberDelegate(this, &PowerUpView::onLaunchDelayFinished);
    m_launchDelay.setCompletion(delayed);
    freeAndNull(delayed);
    m_launchFlight.setTarget(m_launchSprite.get());
}

void PowerUpView::setIcon(const FRef& image)
{
    if (m_icon.get() == nullptr) m_icon = makeRef(engineNew<FImageWidget>(k_memObject, this, true));
    m_icon->setImage(FRefT<FImage>(image), true);
    m_icon->setWidgetPosition(0, 0);
    setWidgetSize(m_icon->width(), m_icon->height());
    // A badge made while its record already fired stays hidden.
    m_icon->setVisible(m_state != ActivePowerUp::k_stateUsed);
}

void PowerUpView::setLaunchClip(const FRef& clip)
{
    if (VideoSprite* sprite = m_launchSprite.get()) {
        sprite->setVideo(FRefT<FVideo>(clip), true);
        sprite->setVisible(false);
    }
}

void PowerUpView::alignWithPanel()
{
    HudPanelEntry* entry = m_panelEntry.get();
    if (entry == nullptr) {
        if (k_powerUpViewTraceLevel == 1)
            FLogStream("Default", false) << "WARNING: LINKED_PANEL IS NULL IN PowerUpView::alignWithPanel()";
        return;
    }
    // The single-precision factor is multiplied in double precision: a view
    // 40 wide gives 35.999..., truncated to 35, so its badge sits at 265 on
    // an entry whose right edge is 300 (a float product would round to 36).
    const auto overlap = static_cast<int32_t>(static_cast<double>(k_badgeOverlap) * width());
    setWidgetPosition(entry->rect().right - overlap, entry->rect().top);
}

bool PowerUpView::isLaunching() const
{
    return m_launchDelay.isActive() || m_launchFlight.isActive() || plays(m_launchSprite.get());
}

bool PowerUpView::plays(const VideoSprite* sprite)
{
    return sprite != nullptr && sprite->isPlaying() && !sprite->isPaused();
}

void PowerUpView::update(int32_t elapsedMs)
{
    if (HudPanelEntry* entry = m_panelEntry.get();
        entry != nullptr && m_state == ActivePowerUp::k_stateCreated) {
        const FPointI position{entry->rect().left, entry->rect().top};
        if (position.x != m_lastEntryPosition.x || position.y != m_lastEntryPosition.y) {
            m_lastEntryPosition = position;
            alignWithPanel();
        }
    }
    if (plays(m_launchSprite.get())) m_launchSprite->update(elapsedMs);
    if (m_launchDelay.isActive()) m_launchDelay.update(elapsedMs);
    if (m_launchFlight.isActive()) m_launchFlight.update(elapsedMs);
    if (m_state == ActivePowerUp::k_stateEnded && m_hostScreen != nullptr) {
        // The screen deletes this view here.
        m_hostScreen->removePowerUpView(m_uniqueId);
        return;
    }
}

void PowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    const bool firstNotice = !m_notified;
    m_notified = true;
    m_state = record.state();
    m_player = record.slot();
    if (m_state == ActivePowerUp::k_stateEnded) {
        // An ended power-up's launch must not reach its effect at the next
        // update, before the screen deletes the view.
        m_launchDelay.setActive(false);
        m_launchFlight.setActive(false);
        if (VideoSprite* sprite = m_launchSprite.get()) {
            sprite->setPlaying(false);
            sprite->setVisible(false);
        }
    }
    if (m_state != ActivePowerUp::k_stateUsed) return;
    // A record that fired before this view was linked (the screen rebuilt its
    // views while the effect ran) has had its launch: no second one, and
    // there is no badge to hide yet.
    if (firstNotice) return;
    if (m_icon.get() != nullptr) m_icon->setVisible(false);
    m_launched = true;
    startLaunch();
}

void PowerUpView::startLaunch()
{
    VideoSprite* sprite = m_launchSprite.get();
    if (sprite == nullptr) {
        // Nothing to fly: the effect starts at once (or the launch check ends
        // the power-up), so that it never stays fired for good.
        onLaunchFinished();
        return;
    }
    // Also with one entry or none in the panel the clip flies from the
    // panel's centre: skipping it would leave the effect unstarted and the
    // power-up fired for good. An empty panel is caught by the launch check.
    FPointI from{m_hostScreen->width() / 2, m_hostScreen->height() / 2};
    if (FContainer* panel = parent()) {
        const FPointI origin = panel->getAbsolutePosition();
        from = {origin.x + panel->width() / 2, origin.y + panel->height() / 2};
    }
    sprite->centerWidgetOnPoint(from);
    sprite->setVisible(true);
    sprite->bringToFront();
    m_launchDelay.start(k_launchDelayMs);
}

void PowerUpView::onLaunchDelayFinished()
{
    VideoSprite* sprite = m_launchSprite.get();
    if (sprite == nullptr) return;
    sprite->play(false);
    if (m_hostScreen != nullptr) playViewSound(m_hostScreen->m_launchSound);
    const FRectI map = mapRect();
    const FPointI centre{(map.left + map.right) / 2, (map.top + map.bottom) / 2};
    m_launchFlight.setEasing(0);
    m_launchFlight.start({centre.x - sprite->width() / 2, centre.y - sprite->height() / 2}, k_launchFlightMs);
}

void PowerUpView::onLaunchClipFinished(VideoSprite&)
{
    if (m_state == ActivePowerUp::k_stateUsed) onLaunchFinished();
}

FRectI PowerUpView::mapRect()
{
    if (MapView* map = m_mapView.get()) {
        const FPointI origin = map->getAbsolutePosition();
        return {origin.x, origin.y, origin.x + map->width(), origin.y + map->height()};
    }
    if (m_hostScreen != nullptr) return {0, 0, m_hostScreen->width(), m_hostScreen->height()};
    return {0, 0, 0, 0};
}

bool PowerUpView::passLaunchCheck()
{
    if (VideoSprite* sprite = m_launchSprite.get()) sprite->setVisible(false);
    HudEntryPanel* panel = m_hostScreen != nullptr ? m_hostScreen->getPlayerPanel(0) : nullptr;
    if (panel == nullptr || panel->entryCount() == 0) {
        useSessionPowerUp(0);
        return false;
    }
    return true;
}

void PowerUpView::useSessionPowerUp(int32_t player)
{
    GameSession* session = m_hostScreen != nullptr ? m_hostScreen->session() : nullptr;
    if (session == nullptr || player < 0 || player >= GameSession::k_slotCount) return;
    if (ActivePowerUp* record = session->powerUpSlot(player)) session->cancelPowerUp(record, player);
}

void PowerUpView::playViewSound(const FRef& sound) const
{
    if (ZibboUserInterface* module = ZibboUserInterface::getInstance())
        module->playSound(sound, k_soundLevel);
}

void PowerUpView::catchSprite(int32_t) {}
