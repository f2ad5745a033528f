#include "game/gameplay/CommonUIScreen.h"

#include "asset/FAssetStream.h"
#include "asset/FRawData.h"
#include "core/FApplication.h"
#include "core/FKeyCode.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FXmlSerializer.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameParams.h"
#include "game/core/GameSession.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/CatchZone.h"
#include "game/gameplay/ComboBoostPowerUpView.h"
#include "game/gameplay/FlipPowerUpView.h"
#include "game/gameplay/PowerUpView.h"
#include "game/gameplay/StunPowerUpView.h"
#include "game/gameplay/ThrowPowerUpView.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapView.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/VideoSprite.h"
#include "game/widgets/WidgetGeometry.h"
#include "game/worlds/WorldSceneFactory.h"
#include "graphics/FGraph.h"
#include "image/FImage.h"
#include "ui/FButton.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

#include <algorithm>

namespace {

constexpr int32_t k_commonTraceLevel = 0;
constexpr uint32_t k_commonFlashColour = 0xFFFFFFFFu;

FGraph* commonGraph()
{
    return findService<FGraph>(k_slotGraphics);
}

void commonShowSystemCursor(bool show)
{
    if (FGraph* graph = commonGraph()) graph->setSystemCursorVisible(show);
}

} // namespace

CommonUIScreen::CommonUIScreen()
{
    ZibboUserInterface* module = gameModule();
    if (module != nullptr) m_session = module->getGameSession();
    buildPlayerSprites();
    FTween::Completion* quake = nullptr; // the map quake's steps come with the cursor effects
    m_quakeTimer.setCompletion(quake);
    m_worldScene = makeWorldSceneHandle();
    createWorldScene(m_worldScene, m_session.get() != nullptr ? m_session->currentWorldIndex() : 0);
    buildEffectLayers();
    if (module != nullptr) module->setPauseRequested(false);
}

CommonUIScreen::~CommonUIScreen()
{
    deletePowerUpViews();
    m_lastFoundSprite = nullptr;
    if (ZibboUserInterface* module = gameModule()) module->resumeAudioAndCursor(false);
    m_dimmerFade.setCompletion(nullptr);
    for (FRefT<VideoSprite>& marker : m_clickMarkers)
        if (marker.get() != nullptr) marker->setFinishCallback(nullptr);
}

void CommonUIScreen::buildPlayerSprites()
{
    for (int32_t player = 0; player < k_playerCount; ++player) {
        FRefT<VideoSprite>& marker = m_clickMarkers[player];
        marker = makeRef(engineNew<VideoSprite>(k_memObject, this));
        marker->setVideo(FRefT<FVideo>(m_clickMarkerClip), true);
        marker->setVisible(false);
        VideoSprite::Callback* ended = makeMemberDelegate(this, &CommonUIScreen::onClickMarkerFinished);
        marker->setFinishCallback(ended);
        freeAndNull(ended);

        FRefT<VideoSprite>& effect = m_foundEffects[player];
        effect = makeRef(engineNew<VideoSprite>(k_memObject, this));
        effect->setFrameRate(k_foundEffectFps);
        effect->setFrameTime(k_foundEffectFrameMs);
        effect->setVisible(false);

        // Laid over the screen in white and hidden, ready for the found
        // effect's end: a flash at construction would blank the level's
        // first frames.
        m_foundFlashes[player] = makeRef(engineNew<FlashSprite>(k_memObject, this));
        m_foundFlashes[player]->prepare(k_commonFlashColour);
        m_flyTargets[player] = {-1, -1};
    }
}

void CommonUIScreen::buildEffectLayers()
{
    m_pauseBackdrop = makeRef(engineNew<FImageWidget>(k_memObject, this, true));
    m_pauseBackdrop->setImage(FRefT<FImage>(m_pauseBackdropImage), false);
    m_pauseBackdrop->setWidgetSize(width(), screenHeight());
    m_pauseBackdrop->setWidgetPosition(0, 0);
    m_pauseBackdrop->setWidgetAlpha(k_backdropAlpha);
    sendToBack(*m_pauseBackdrop);
    m_pauseBackdrop->setVisible(false);
    FTween::Completion* dimmed = makeMemberDelegate(this, &CommonUIScreen::onDimmerFadeFinished);
    m_dimmerFade.setCompletion(dimmed);
    freeAndNull(dimmed);
    readWorldAnims();
    fillHintImageLists();
    m_particleGroup = makeRef(engineNew<ParticleGroup>(k_memObject, k_particleSprites, this));
    m_particlePool = makeRef(engineNew<ParticlePool>(k_memObject, k_particles));
    ZibboUserInterface* module = gameModule();
    if (module != nullptr && module->params() != nullptr)
        m_penaltyAutoEnd = static_cast<int32_t>(module->params()->dizzyBirdMax());
    if (FContainer* layer = m_particleGroup->layer()) layer->bringToFront();
    m_penaltyFlags = {false, false};
    const int32_t w = width();
    const int32_t h = screenHeight();
    m_exitPoints = {{w + 100, -100}, {-100, h / 2}, {w + 100, h + 100}};
}

void CommonUIScreen::readWorldAnims()
{
    auto* table = m_animationTable.as<FRawData>();
    if (table == nullptr) return;
    FRefT<FInStream> stream = FAssetStream::make(*table);
    FXmlSerializer serializer(stream);
    loadWorldAnims(serializer, m_session.get() != nullptr ? m_session->currentWorldIndex() : 0,
                   m_animRecords);
}

void CommonUIScreen::fillHintImageLists()
{
    const FRef* even[] = {&m_hintBling1Image, &m_hintBling2Image, &m_hintBling3Image, &m_hintBling4Image,
                          &m_hintBling5Image, &m_hintBling6Image, &m_hintBling7Image, &m_hintBling8Image,
                          &m_hintBling9Image, &m_hintBling10Image};
    const FRef* odd[] = {&m_hintPanel1Image, &m_hintPanel2Image, &m_hintPanel3Image, &m_hintPanel4Image,
                         &m_hintPanel5Image, &m_hintPanel6Image, &m_hintPanel7Image, &m_hintPanel8Image,
                         &m_hintPanel9Image, &m_hintPanel10Image};
    for (const FRef* image : even)
        m_hintImagesA.push_back(*image);
    for (const FRef* image : odd)
        m_hintImagesB.push_back(*image);
}

void CommonUIScreen::onActivate()
{
    PauseHostScreen::onActivate();
    if (FLabel* label = m_taskLabel.get()) {
        label->setColor(k_taskLabelColour);
        label->setAlpha(0);
        label->rebuildGlyphRuns();
        label->setHitTestDisabled(true);
        label->setVisible(false);
        label->setWidgetPosition(label->rect().left, label->rect().bottom);
        m_taskLabelFade.target = label;
    }
    if (ZibboUserInterface* module = gameModule()) {
        if (module->hasInactiveOverlay())
            module->pauseAudioAndCursor(false);
        else
            module->resumeAudioAndCursor(true);
    }
    // Enabled for the options overlay, but not shown: the buttons are the
    // screen's own children and would float over the level until the overlay
    // opens (which hides them again outside the main menu).
    for (FButton* button : {m_resetButton.get(), m_displayModeButton.get()}) {
        if (button != nullptr) button->setEnabled(true);
    }
}

void CommonUIScreen::onAppActivated()
{
    if (ZibboUserInterface* module = gameModule(); module != nullptr && isLevelRunning())
        module->resumeAudioAndCursor(false);
    m_appActive = true;
}

void CommonUIScreen::onAppDeactivated()
{
    if (ZibboUserInterface* module = gameModule()) module->pauseAudioAndCursor(false);
    m_appActive = false;
}

void CommonUIScreen::onWindowMinimized()
{
    if (ZibboUserInterface* module = gameModule()) module->pauseAudioAndCursor(false);
}

void CommonUIScreen::onWindowRestored()
{
    if (ZibboUserInterface* module = gameModule(); module != nullptr && isLevelRunning())
        module->resumeAudioAndCursor(false);
}

void CommonUIScreen::update(int32_t ms)
{
    PauseHostScreen::update(ms);
    m_taskLabelFade.update(ms);
    ZibboUserInterface* module = gameModule();
    if (module != nullptr && module->isGamePaused()) {
        if (!isPauseBlocked() && !module->isPauseRequested()) requestPause();
        return;
    }
    if (!m_forcedClickStep) {
        for (FTimerTween& timer : m_penaltyTimers)
            timer.update(ms);
    }
    updatePowerUpViews(ms);
    runCatchTest();
    if (m_particlePool.get() != nullptr && m_particleGroup.get() != nullptr) {
        m_particlePool->update(ms, *m_particleGroup);
        m_particleGroup->update(ms);
        m_particleGroup->applyRecords();
    }
    for (int32_t player = 0; player < k_playerCount; ++player)
        updatePlayerSprites(player, ms);
    if (m_quakeTimer.isActive()) m_quakeTimer.update(ms);
    if (m_dimmerFade.isActive()) m_dimmerFade.update(ms);
}

void CommonUIScreen::updatePowerUpViews(int32_t ms)
{
    // A view may remove itself or another view while it updates, so no
    // position in the queue is trusted across an update: each round takes the
    // first view that has not run this frame. Every view runs once a frame,
    // none is passed over when the one before it goes.
    std::vector<const PowerUpView*> updated;
    for (;;) {
        if (m_viewsChanged) {
            m_viewsChanged = false;
            break;
        }
        const auto next =
            std::find_if(m_powerUpViews.begin(), m_powerUpViews.end(), [&](const PowerUpView* view) {
                return std::find(updated.begin(), updated.end(), view) == updated.end();
            });
        if (next == m_powerUpViews.end()) break;
        PowerUpView* view = *next;
        updated.push_back(view);
        view->update(ms);
    }
}

void CommonUIScreen::runCatchTest()
{
    const FPointI point = m_pointerPoints[0];
    if (m_catchList.empty() || point.y < 1 || point.y >= screenHeight()) return;
    for (std::size_t i = 0; i < m_catchList.size(); ++i) {
        const VideoSprite* sprite = m_catchList[i].get();
        if (sprite == nullptr || !isInCatchZone(sprite->rect(), point)) continue;
        const ActivePowerUp* record = m_session.get() != nullptr ? m_session->powerUpSlot(0) : nullptr;
        PowerUpView* view = record != nullptr ? getPowerUpViewByUniqueId(record->uniqueId()) : nullptr;
        if (view != nullptr) view->catchSprite(static_cast<int32_t>(i));
    }
}

bool CommonUIScreen::plays(const VideoSprite* sprite)
{
    return sprite != nullptr && sprite->isPlaying() && !sprite->isPaused();
}

void CommonUIScreen::updatePlayerSprites(int32_t player, int32_t ms)
{
    if (plays(m_penaltyCursors[player].get())) m_penaltyCursors[player]->update(ms);
    if (m_penaltyEmitters[player].get() != nullptr) m_penaltyEmitters[player]->update(ms);
    std::deque<FRefT<VideoSprite>>& pieces = m_penaltyPieces[player];
    std::deque<FMoveTween>& flights = m_pieceFlights[player];
    for (std::size_t n = 0; n < pieces.size(); ++n) {
        if (plays(pieces[n].get())) pieces[n]->update(ms);
        if (n < flights.size() && flights[n].isActive()) flights[n].update(ms);
    }
    for (VideoSprite* sprite :
         {m_clickMarkers[player].get(), m_foundMarkers[player].get(), m_foundEffects[player].get()}) {
        if (plays(sprite)) sprite->update(ms);
    }
    if (m_foundFlashes[player].get() != nullptr) m_foundFlashes[player]->update(ms);
    if (ParticleEmitter* fly = m_flyEmitters[player].get(); fly != nullptr && fly->isEnabled())
        fly->update(ms);
    if (FWidget* icon = m_messageIcons[player].as<FWidget>(); icon != nullptr && icon->isVisible())
        icon->bringToFront();
}

void CommonUIScreen::onClickMarkerFinished(VideoSprite& sprite)
{
    sprite.setVisible(false);
}

void CommonUIScreen::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (pointer == 0 || !m_pauseOpen) OptionsHostScreen::onPointerMove(pointer, point);
    if (pointer < 0 || pointer >= k_playerCount) return;
    m_pointerPoints[pointer] = point;
    if (isHintCursorOn()) {
        if (FRefT<MapView> map = getMapView(0); map.get() != nullptr) {
            const FRectI& r = map->rect();
            const bool inside =
                point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
            m_pointerInMap = inside;
            if (inside)
                map->stopHintCursorClip();
            else
                map->startHintCursorClip();
        }
    }
    HudEntryPanel* panel = getPlayerPanel(0);
    for (int32_t slot = 0; slot < k_playerCount && panel != nullptr; ++slot) {
        const ActivePowerUp* record = m_session.get() != nullptr ? m_session->powerUpSlot(slot) : nullptr;
        if (record == nullptr || record->kind() != k_powerUpSplat || point.y > panel->panelPosition().y)
            continue;
        if (PowerUpView* view = getPowerUpViewByUniqueId(record->uniqueId())) view->wipe();
    }
    if (VideoSprite* cursor = m_penaltyCursors[pointer].get(); cursor != nullptr && cursor->isVisible())
        cursor->setWidgetPosition(point.x - cursor->width() / 2, point.y - cursor->height() / 2);
}

void CommonUIScreen::onKeyDown(uint32_t key)
{
    if (key == FKeyCode::k_enter)
        PromptScreen::onKeyDown(key);
    else if (key == FKeyCode::k_escape)
        requestPause();
}

void CommonUIScreen::requestPause()
{
    if (!isLevelRunning() || isPauseBlocked() || m_panelOpen || m_openingSlide || m_closingSlide ||
        m_optionsRequested)
        return;
    FContainer* container = m_pauseContainer.get();
    if (container == nullptr) return;
    if (!container->isVisible()) playScreenSound(m_menuOpenSound);
    if (m_pauseBackdrop.get() != nullptr) m_pauseBackdrop->setVisible(false);
    if (m_optionsPanel.get() != nullptr) m_optionsPanel->setVisible(false);
    container->setVisible(true);
    container->bringToFront();
    for (int32_t player = 0; player < k_playerCount; ++player) {
        if (plays(m_penaltyCursors[player].get())) commonShowSystemCursor(true);
    }
    if (ZibboUserInterface* module = gameModule()) module->setPauseRequested(true);
}

void CommonUIScreen::showPauseBackdrop()
{
    if (m_pauseBackdrop.get() == nullptr) return;
    m_pauseBackdrop->bringToFront();
    m_pauseBackdrop->setVisible(true);
}

void CommonUIScreen::onResume()
{
    for (bool stunned : m_penaltyFlags) {
        if (stunned) commonShowSystemCursor(false);
    }
}

void CommonUIScreen::openOptionsOverlay()
{
    openMenuPanel();
    if (m_pauseContainer.get() != nullptr) m_pauseContainer->setVisible(false);
    for (FButton* button : {m_okButton.get(), m_cancelButton.get()}) {
        if (button == nullptr) continue;
        button->setVisible(true);
        button->bringToFront();
    }
}

PowerUpView* CommonUIScreen::createPowerUpView(int32_t kind, HudEntryPanel* panel)
{
    auto* parent = dynamic_cast<FContainer*>(panel);
    switch (kind) {
    case k_powerUpThrow:
        return engineNew<ThrowPowerUpView>(k_memObject, parent);
    case k_powerUpComboBoost:
        return engineNew<ComboBoostPowerUpView>(k_memObject, parent);
    case k_powerUpStun:
        return engineNew<StunPowerUpView>(k_memObject, parent);
    case k_powerUpFlip:
        return engineNew<FlipPowerUpView>(k_memObject, parent);
    default:
        return nullptr;
    }
}

FRefT<HudPanelEntry> CommonUIScreen::findPanelEntryOf(HudEntryPanel* panel, const SearchableObject* item)
{
    // The handle, not only the entry: a view keeps its entry while it lives.
    const int32_t count = panel != nullptr && item != nullptr ? panel->entryCount() : 0;
    for (int32_t i = 0; i < count; ++i) {
        FRefT<HudPanelEntry> entry = panel->entryAt(i);
        if (entry.get() == nullptr) continue;
        const auto& items = entry->items();
        if (std::find(items.begin(), items.end(), item) != items.end()) return entry;
    }
    return {};
}

void CommonUIScreen::addIndividualPowerUpView(ActivePowerUp& record)
{
    const int32_t player = record.slot();
    HudEntryPanel* panel = getPlayerPanel(player);
    const int32_t kind = record.kind();
    PowerUpView* view = isPowerUpKind(kind) ? createPowerUpView(kind, panel) : nullptr;
    if (view != nullptr) m_powerUpViews.push_back(view);
    const FRefT<HudPanelEntry> entry = findPanelEntryOf(panel, record.linkedItem());
    if (entry.get() == nullptr && k_commonTraceLevel == 1)
        FLogStream("Default", false) << "   +++ PANEL IS NULL in CommonUIScreen::addIndividualPowerUpView";
    if (view == nullptr) return;
    view->setHostScreen(this);
    view->bindMapView(getMapView(player));
    view->setPanelEntry(entry);
    view->alignWithPanel();
    view->setUniqueId(record.uniqueId());
    record.listeners().add(view->stateListener());
    record.listeners().notify(record);
    view->setup();
    if (entry.get() != nullptr) entry->setPowerUpView(view);
}

void CommonUIScreen::rebuildPowerUpViews()
{
    clearOwnedItemQueue();
    if (m_session.get() == nullptr) return;
    std::vector<ActivePowerUp*> records;
    m_session->copyActivePowerUps(records);
    for (ActivePowerUp* record : records) {
        if (record != nullptr) addIndividualPowerUpView(*record);
    }
}

void CommonUIScreen::clearOwnedItemQueue()
{
    deletePowerUpViews();
}

void CommonUIScreen::deletePowerUpViews()
{
    while (!m_powerUpViews.empty()) {
        PowerUpView* view = m_powerUpViews.front();
        m_powerUpViews.pop_front();
        engineDelete(view);
    }
}

void CommonUIScreen::removePowerUpView(int32_t uniqueId)
{
    const auto found = std::find_if(m_powerUpViews.begin(), m_powerUpViews.end(),
                                    [&](const PowerUpView* view) { return view->uniqueId() == uniqueId; });
    if (found == m_powerUpViews.end()) return;
    PowerUpView* view = *found;
    m_powerUpViews.erase(found);
    engineDelete(view);
}

PowerUpView* CommonUIScreen::getPowerUpViewByUniqueId(int32_t uniqueId) const
{
    for (PowerUpView* view : m_powerUpViews) {
        if (view->uniqueId() == uniqueId) return view;
    }
    if (k_commonTraceLevel == 1)
        FLogStream("Default", false)
            << " +++ WARNING: COULDN'T RETURN POWERUP VIEW IN CommonUIScreen::getPowerUpViewByUniqueId +++";
    return nullptr;
}

void CommonUIScreen::setDimmed(bool on, int32_t player)
{
    int32_t target = 0;
    if (on) {
        if (player == 0 || player == 1) {
            if (FRefT<MapView> map = getMapView(player); map.get() != nullptr) map->cancelDrag();
        }
        if (FWidget* dimmer = m_dimmer.get()) {
            dimmer->setVisible(true);
            dimmer->setWidgetHeight(screenHeight());
        }
        target = k_dimAlpha;
    }
    m_dimmerFade.target = m_dimmer.get();
    if (m_dimmerFade.target != nullptr) m_dimmerFade.start(target, k_dimFadeMs);
}

void CommonUIScreen::onDimmerFadeFinished()
{
    if (FWidget* dimmer = m_dimmer.get(); dimmer != nullptr && fadedAlpha(*dimmer) == 0)
        dimmer->setVisible(false);
}

void CommonUIScreen::showPowerUpMessage(int32_t kind, int32_t player)
{
    if (player < 0 || player >= k_playerCount) return;
    holdPanel(player, true);
    m_messageIcons[player] = getMessageIcon(player);
    if (FWidget* icon = m_messageIcons[player].as<FWidget>()) {
        icon->bringToFront();
        icon->setVisible(true);
    }
    FLabel* label = m_messageLabels[player].get();
    if (label == nullptr) return;
    const FRef* message = kind == k_powerUpComboBoost ? &m_comboBoostMessage
                          : kind == k_powerUpCover    ? &m_coverMessage
                                                      : nullptr;
    if (message != nullptr && message->as<FString>() != nullptr) label->setText(*message->as<FString>());
    label->setVisible(true);
    label->bringToFront();
}

void CommonUIScreen::hidePowerUpMessage(int32_t player)
{
    if (player < 0 || player >= k_playerCount) return;
    if (FWidget* icon = m_messageIcons[player].as<FWidget>()) icon->setVisible(false);
    if (FLabel* label = m_messageLabels[player].get()) label->setVisible(false);
    holdPanel(player, false);
}

void CommonUIScreen::onSearchListReady()
{
    if (m_session.get() == nullptr) return;
    if (ActivePowerUp* record = m_session->powerUpSlot(0)) m_session->cancelPowerUp(record, 0);
}

void CommonUIScreen::playStoryCue()
{
    playScreenSound(m_cueSound);
}

void CommonUIScreen::playVoiceLine(const FRef& sound)
{
    if (ZibboUserInterface* module = gameModule()) module->playDialogue(sound);
}

VideoSprite* CommonUIScreen::clickMarker(int32_t player) const
{
    return m_clickMarkers.at(static_cast<std::size_t>(player)).get();
}

VideoSprite* CommonUIScreen::foundEffect(int32_t player) const
{
    return m_foundEffects.at(static_cast<std::size_t>(player)).get();
}

FlashSprite* CommonUIScreen::foundFlash(int32_t player) const
{
    return m_foundFlashes.at(static_cast<std::size_t>(player)).get();
}

FPointI CommonUIScreen::pointerPoint(int32_t pointer) const
{
    return m_pointerPoints.at(static_cast<std::size_t>(pointer));
}
