#include "game/gameplay/CommonUIScreen.h"

#include "asset/FAssetStream.h"
#include "asset/FRawData.h"
#include "asset/FScreenRegistry.h"
#include "core/FApplication.h"
#include "core/FKeyCode.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FXmlSerializer.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameCursors.h"
#include "game/core/GameParams.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/PowerUpKind.h"
#include "game/core/SearchableObject.h"
#include "game/gameplay/CatchZone.h"
#include "game/gameplay/ComboBoostPowerUpView.h"
#include "game/gameplay/CoverPowerUpView.h"
#include "game/gameplay/FlipPowerUpView.h"
#include "game/gameplay/FoundItemPop.h"
#include "game/gameplay/PowerUpView.h"
#include "game/gameplay/QuakePowerUpView.h"
#include "game/gameplay/ShowerPowerUpView.h"
#include "game/gameplay/SplatPowerUpView.h"
#include "game/gameplay/StunPowerUpView.h"
#include "game/gameplay/ThrowPowerUpView.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapView.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/SparkleSettings.h"
#include "game/widgets/VideoSprite.h"
#include "game/widgets/WidgetGeometry.h"
#include "game/worlds/WorldSceneFactory.h"
#include "graphics/FGraph.h"
#include "image/FImage.h"
#include "ui/FButton.h"
#include "ui/FFont.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "ui/FLayoutBinding.h"
#include "video/FVideo.h"

#include <algorithm>
#include <iterator>

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
    FTween::Completion* quake = makeMemberDelegate(this, &CommonUIScreen::stepMapQuake);
    m_quakeTimer.setCompletion(quake);
    freeAndNull(quake);
    FTween::Completion* penaltyEnd = makeMemberDelegate(this, &CommonUIScreen::onPenaltyTimerFinished);
    for (FTimerTween& timer : m_penaltyTimers)
        timer.setCompletion(penaltyEnd);
    freeAndNull(penaltyEnd);
    m_worldScene = makeWorldSceneHandle();
    createWorldScene(m_worldScene, m_session.get() != nullptr ? m_session->currentWorldIndex() : 0);
    buildEffectLayers();
    if (module != nullptr) module->setPauseRequested(false);
}

CommonUIScreen::~CommonUIScreen()
{
    deletePowerUpViews();
    if (ZibboUserInterface* module = gameModule()) module->resumeAudioAndCursor(false);
    m_dimmerFade.setCompletion(nullptr);
    for (FRefT<VideoSprite>& marker : m_clickMarkers)
        if (marker.get() != nullptr) marker->setFinishCallback(nullptr);
    for (FRefT<VideoSprite>& effect : m_foundEffects)
        if (effect.get() != nullptr) effect->setFinishCallback(nullptr);
    for (FRefT<VideoSprite>& marker : m_foundMarkers)
        if (marker.get() != nullptr) marker->setFinishCallback(nullptr);
    m_quakeTimer.setCompletion(nullptr);
    for (FTimerTween& timer : m_penaltyTimers)
        timer.setCompletion(nullptr);
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
        VideoSprite::Callback* effectEnded = makeMemberDelegate(this, &CommonUIScreen::onFoundEffectFinished);
        effect->setFinishCallback(effectEnded);
        freeAndNull(effectEnded);

        m_foundItemPops[player] = makeRef(engineNew<FoundItemPop>(k_memObject, this));

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
    if (FoundItemPop* pop = m_foundItemPops[player].get()) {
        pop->update(ms);
        if (pop->isBright()) launchFlyParticles(player);
    }
    if (ParticleEmitter* fly = m_flyEmitters[player].get(); fly != nullptr && fly->isEnabled())
        fly->update(ms);
    if (FWidget* icon = m_messageIcons[player].as<FWidget>(); icon != nullptr && icon->isVisible())
        icon->bringToFront();
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
    case k_powerUpCover:
        return engineNew<CoverPowerUpView>(k_memObject, parent);
    case k_powerUpQuake:
        return engineNew<QuakePowerUpView>(k_memObject, parent);
    case k_powerUpShower:
        return engineNew<ShowerPowerUpView>(k_memObject, parent);
    case k_powerUpSplat:
        return engineNew<SplatPowerUpView>(k_memObject, parent);
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

QueuedVideoHost::PendingSprite CommonUIScreen::getPendingSprite()
{
    QueuedVideoHost::PendingSprite pending;
    FRefT<MapView> map = getMapView(0);
    const SearchableSprite* sprite = map.get() != nullptr ? map->pendingSprite() : nullptr;
    if (sprite == nullptr) return pending;
    pending.exists = true;
    pending.hasItem = sprite->item() != nullptr;
    pending.found = sprite->isFound();
    pending.panelEntry = findPanelEntryOf(getPlayerPanel(0), sprite->item());
    return pending;
}

FRef CommonUIScreen::panelEntryAt(int32_t player, int32_t index)
{
    HudEntryPanel* panel = getPlayerPanel(player);
    return panel != nullptr ? FRef(panel->entryAt(index)) : FRef();
}

bool CommonUIScreen::storyHudHandleEntryEvent(const FRef& entry)
{
    auto* panelEntry = dynamic_cast<HudPanelEntry*>(static_cast<FWidget*>(entry.get()));
    return panelEntry != nullptr && ::storyHudHandleEntryEvent(*panelEntry);
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

void CommonUIScreen::setFlyTarget(int32_t player, FPointI point)
{
    if (player >= 0 && player < k_playerCount) m_flyTargets[static_cast<std::size_t>(player)] = point;
}

FRefT<FImage> CommonUIScreen::getBlingImage()
{
    return FRefT<FImage>(FRef(m_searchableImage));
}

FRefT<FImage> CommonUIScreen::getHintImage()
{
    return FRefT<FImage>(FRef(m_hintBlingImage));
}

FRef CommonUIScreen::swapSound(int32_t picture)
{
    if (picture == 0) return m_swapOutSound;
    if (picture == 1) return m_swapInSound;
    return {};
}

void CommonUIScreen::playSound(const FRef& sound, int32_t volume)
{
    if (ZibboUserInterface* module = gameModule()) module->playSound(sound, volume);
}

FRefT<FImage> CommonUIScreen::hudImage(int32_t assetId)
{
    return FRefT<FImage>(hudSound(assetId));
}

FRefT<FString> CommonUIScreen::hudText(int32_t textId)
{
    return FRefT<FString>(FLayoutBinding::registry().findInThird(textId));
}

FRefT<FFont> CommonUIScreen::hudFont(int32_t assetId)
{
    return FRefT<FFont>(hudSound(assetId));
}

FRef CommonUIScreen::hudSound(int32_t assetId)
{
    // The entries read assets of this layout and of the shared parts bound
    // with it; the registry holds every bound folder's assets by id.
    return FLayoutBinding::registry().findInSecond(assetId);
}

FRefT<FVideo> CommonUIScreen::hudClip(int32_t assetId)
{
    return FRefT<FVideo>(hudSound(assetId));
}

int32_t CommonUIScreen::foundLineCount()
{
    return static_cast<int32_t>(m_starmantleFoundVoices.size());
}

FRef CommonUIScreen::foundLine(int32_t index)
{
    if (index < 0 || index >= foundLineCount()) return {};
    auto line = m_starmantleFoundVoices.entries().begin();
    std::advance(line, index);
    return line->second;
}

bool CommonUIScreen::isAlternateMode() const
{
    return m_session.get() != nullptr && m_session->mode() != 0;
}

FoundItemPop* CommonUIScreen::foundItemPop(int32_t player) const
{
    return m_foundItemPops.at(static_cast<std::size_t>(player)).get();
}

SearchableSprite* CommonUIScreen::lastFoundSprite(int32_t player) const
{
    return m_lastFoundSprites.at(static_cast<std::size_t>(player)).get();
}

bool CommonUIScreen::isStunned(int32_t player) const
{
    if (player < 0 || player >= k_playerCount) return false;
    return plays(m_penaltyCursors[static_cast<std::size_t>(player)].get());
}

int32_t CommonUIScreen::playerOfSprite(const VideoSprite& sprite,
                                       const std::array<FRefT<VideoSprite>, k_playerCount>& sprites) const
{
    for (int32_t player = 0; player < k_playerCount; ++player) {
        if (sprites[static_cast<std::size_t>(player)].get() == &sprite) return player;
    }
    return -1;
}

void CommonUIScreen::placePlayerCursor(int32_t player, FPointI point)
{
    if (!isLevelRunning() || player < 0 || player >= k_playerCount) return;
    VideoSprite* marker = m_clickMarkers[static_cast<std::size_t>(player)].get();
    if (marker == nullptr) return;
    marker->setWidgetPosition(point.x - marker->width() / 2, point.y - marker->height() / 2);
    marker->setVisible(true);
    marker->bringToFront();
    marker->play(false);
}

void CommonUIScreen::onClickMarkerFinished(VideoSprite& sprite)
{
    if (playerOfSprite(sprite, m_clickMarkers) >= 0) sprite.setVisible(false);
}

void CommonUIScreen::commitLastFind(int32_t player)
{
    const auto p = static_cast<std::size_t>(player);
    SearchableObject* item = m_lastFoundItems[p];
    // Once only: a second commit would count the find twice in its list.
    m_lastFoundItems[p] = nullptr;
    m_lastFoundSprites[p].release();
    if (item != nullptr) item->markFound(player);
}

void CommonUIScreen::playFoundEffect(int32_t player, int32_t kind, SearchableSprite& sprite)
{
    if (player < 0 || player >= k_playerCount) return;
    const auto p = static_cast<std::size_t>(player);
    VideoSprite* marker = m_foundMarkers[p].get();
    VideoSprite* effect = m_foundEffects[p].get();
    if ((marker != nullptr && marker->isVisible()) || plays(effect)) commitLastFind(player);
    m_lastFoundSprites[p] = sprite.weakHandle();
    m_lastFoundItems[p] = sprite.item();
    m_lastFoundPlayer = player;
    if (marker != nullptr) {
        marker->setVisible(true);
        marker->bringToFront();
        VideoSprite::Callback* ended = makeMemberDelegate(this, &CommonUIScreen::onFoundMarkerFinished);
        marker->setFinishCallback(ended);
        freeAndNull(ended);
        marker->play(false);
    }
    if (effect == nullptr) return;
    const int32_t character = sprite.item() != nullptr ? sprite.item()->character() : 0;
    const FRef* clip = nullptr;
    switch (kind) {
    case 0:
    case 3:
        clip = &m_zibboFoundClip;
        break;
    case 1:
        clip = &m_starmantleFoundClip;
        break;
    case 2:
        clip = &m_vessaFoundClip;
        break;
    case 4:
        clip = &m_photoFoundClip;
        break;
    case 5:
    case 6: {
        const FRef* byCharacter[] = {nullptr, &m_zibboFoundClip, &m_vessaFoundClip, &m_starmantleFoundClip,
                                     &m_drabbFoundClip};
        if (character >= 1 && character <= 4) clip = byCharacter[character];
        break;
    }
    default:
        break;
    }
    if (kind == 0) m_startWait = false;
    effect->setVideo(clip != nullptr ? FRefT<FVideo>(*clip) : FRefT<FVideo>(), true);
    effect->setLoops(kind == 0 || character == 1 ? 1 : 0);
    placeFoundEffect(*effect, kind, character);
    effect->setVisible(true);
    effect->bringToFront();
    effect->play(false);
    if (kind == 5 && m_session.get() != nullptr) {
        if (LevelTimer* timer = m_session->getLevelTimer()) timer->resumed = false;
    }
    // Without a clip there is no clip end to wait for: the find would never
    // be marked and a held level time never run again.
    if (clip == nullptr || clip->get() == nullptr) onFoundEffectFinished(*effect);
}

void CommonUIScreen::placeFoundEffect(VideoSprite& effect, int32_t kind, int32_t character)
{
    const FWidget* anchor = nullptr;
    if (kind == 0 || character == 1)
        anchor = m_foundAnchorA.get();
    else if (character == 2)
        anchor = m_foundAnchorB.get();
    else if (character == 3)
        anchor = m_foundAnchorC.get();
    else {
        FRefT<MapView> map = getMapView(0);
        if (map.get() != nullptr) effect.setWidgetSize(map->width(), map->height());
        effect.setWidgetPosition(0, 0);
        return;
    }
    if (anchor != nullptr) effect.setWidgetPosition(anchor->rect().left, anchor->rect().top);
}

void CommonUIScreen::onFoundMarkerFinished(VideoSprite& sprite)
{
    sprite.setVisible(false);
}

void CommonUIScreen::onFoundEffectFinished(VideoSprite& sprite)
{
    const int32_t player = playerOfSprite(sprite, m_foundEffects);
    if (player < 0) return;
    const auto p = static_cast<std::size_t>(player);
    sprite.setLoops(0);
    sprite.setVisible(false);
    if (VideoSprite* marker = m_foundMarkers[p].get()) marker->setVisible(false);
    if (FlashSprite* flash = m_foundFlashes[p].get()) flash->start();
    commitLastFind(player);
    if (m_session.get() != nullptr && m_session->getCurrentTaskType() == 5) {
        if (LevelTimer* timer = m_session->getLevelTimer()) timer->resumed = true;
    }
}

void CommonUIScreen::reportSpriteFound(int32_t player, SearchableSprite& sprite)
{
    if (player < 0 || player >= k_playerCount) return;
    FoundItemPop* pop = m_foundItemPops[static_cast<std::size_t>(player)].get();
    if (pop == nullptr) return;
    if (pop->isRunning()) {
        pop->finishNow();
        pop->rewindBurst();
    }
    pop->setItemPicture(sprite.getKindEffect());
    pop->start(sprite.item(), player, 0);
}

ParticleEmitter* CommonUIScreen::makeCursorEmitter(FRefT<ParticleEmitter>& holder, int32_t runMs,
                                                   int32_t type, FPointI start)
{
    if (holder.get() != nullptr) holder->stop();
    // The old emitter gives its particle back before the new one takes one.
    holder.release();
    if (m_particlePool.get() == nullptr || m_particleGroup.get() == nullptr) return nullptr;
    holder =
        makeRef(engineNew<ParticleEmitter>(k_memObject, runMs, m_particlePool.get(), m_particleGroup.get(),
                                           FRefT<FImage>(m_timerSparkle), start.x, start.y, type, false, 0));
    return holder.get();
}

void CommonUIScreen::launchFlyParticles(int32_t player)
{
    if (player < 0 || player >= k_playerCount) return;
    const auto p = static_cast<std::size_t>(player);
    const FPointI target = m_flyTargets[p];
    if (target.x == -1 || target.y == -1) return;
    if (m_particleGroup.get() != nullptr) {
        if (FContainer* layer = m_particleGroup->layer()) layer->bringToFront();
    }
    FPointI start{0, 0};
    if (FRefT<MapView> map = getMapView(player); map.get() != nullptr)
        start = {map->rect().left + map->width() / 2, map->rect().top + map->height() / 2};
    m_flyTargets[p] = {-1, -1};
    ParticleEmitter* emitter =
        makeCursorEmitter(m_flyEmitters[p], k_flyRunMs, ParticleEmitter::k_line, start);
    if (emitter == nullptr) return;
    // Blend mode 1.
    applySparkle(*emitter, {k_flyRunMs, 200, true, 1, 1, 500000, 500000, 1, 1000, 1000, 200, 1, 7, 20});
    emitter->endX = target.x;
    emitter->endY = target.y;
    emitter->restart();
}

void CommonUIScreen::playWrongHitPenalty(std::int32_t player)
{
    if (!isLevelRunning() || player < 0 || player >= k_playerCount) return;
    const auto p = static_cast<std::size_t>(player);
    VideoSprite* cursor = m_penaltyCursors[p].get();
    if (cursor == nullptr || isStunned(player)) return;
    if (FRefT<MapView> map = getMapView(player); map.get() != nullptr) {
        map->startHintCursorClip();
        map->setInputBlocked(true);
    }
    playScreenSound(m_penaltySound);
    startPenaltyParticles(player);
    const FPointI point = m_pointerPoints[p];
    cursor->setWidgetPosition(point.x - cursor->width() / 2, point.y - cursor->height() / 2);
    cursor->setVisible(true);
    cursor->play(false);
    cursor->bringToFront();
    if (m_penaltyAutoEnd != 0) m_penaltyTimers[p].start(k_penaltyMs);
    m_penaltyFlags[p] = true;
}

void CommonUIScreen::startPenaltyParticles(int32_t player)
{
    if (player < 0 || player >= k_playerCount) return;
    const auto p = static_cast<std::size_t>(player);
    ParticleEmitter* emitter =
        makeCursorEmitter(m_penaltyEmitters[p], k_penaltyParticleMs, ParticleEmitter::k_point, {0, 0});
    if (emitter == nullptr) return;
    // Blend mode 1; the emission lasts the emitter's run and 100 ms more.
    applySparkle(*emitter,
                 {k_penaltyParticleMs + 100, 500, true, 25, 25, 2000, 1000, 500, 300, 1500, 100, 0, 8, 10});
    emitter->follow(m_penaltyCursors[p].get(), 0, 0, false);
}

void CommonUIScreen::endWrongHitPenalty(int32_t player)
{
    if (!isStunned(player)) return;
    const auto p = static_cast<std::size_t>(player);
    if (ZibboUserInterface* module = gameModule(); module != nullptr && module->cursors() != nullptr)
        module->cursors()->setDefaultCursor(player);
    commonShowSystemCursor(true);
    if (FRefT<MapView> map = getMapView(player); map.get() != nullptr) {
        map->setInputBlocked(false);
        map->stopHintCursorClip();
    }
    m_penaltyFlags[p] = false;
    VideoSprite* cursor = m_penaltyCursors[p].get();
    cursor->setPlaying(false);
    cursor->setVisible(false);
    if (m_penaltyEmitters[p].get() != nullptr) m_penaltyEmitters[p]->stop();
    std::deque<FRefT<VideoSprite>>& pieces = m_penaltyPieces[p];
    std::deque<FMoveTween>& flights = m_pieceFlights[p];
    if (!flights.empty()) {
        FTween::Completion* landed = makeMemberDelegate(this, &CommonUIScreen::hidePenaltyPieces);
        flights.back().setCompletion(landed);
        freeAndNull(landed);
    }
    const std::size_t paired = std::min({pieces.size(), flights.size(), m_exitPoints.size()});
    for (std::size_t n = 0; n < paired; ++n) {
        VideoSprite* piece = pieces[n].get();
        if (piece == nullptr) continue;
        piece->setWidgetPosition(cursor->rect().left, cursor->rect().top);
        piece->setVisible(true);
        piece->bringToFront();
        piece->play(false);
        flights[n].setTarget(piece);
        flights[n].start({m_exitPoints[n].x - piece->width() / 2, m_exitPoints[n].y - piece->height() / 2},
                         k_pieceFlightMs);
    }
}

void CommonUIScreen::hidePenaltyPieces()
{
    for (std::deque<FRefT<VideoSprite>>& pieces : m_penaltyPieces) {
        if (pieces.empty() || !plays(pieces.front().get())) continue;
        for (FRefT<VideoSprite>& piece : pieces) {
            if (piece.get() == nullptr) continue;
            piece->setPlaying(false);
            piece->setVisible(false);
        }
    }
}

void CommonUIScreen::onPenaltyTimerFinished()
{
    for (int32_t player = 0; player < k_playerCount; ++player) {
        if (!m_penaltyTimers[static_cast<std::size_t>(player)].isActive() && isStunned(player))
            playShakeEffect(player);
    }
}

void CommonUIScreen::playShakeEffect(int32_t player)
{
    if (k_commonTraceLevel == 1) FLogStream("Default", false) << "SHAKE!!";
    if (player < 0 || player >= k_playerCount) return;
    ActivePowerUp* record = m_session.get() != nullptr ? m_session->powerUpSlot(player) : nullptr;
    if (record != nullptr && record->kind() == k_powerUpStun) {
        // The Stun's own end ends the penalty.
        m_session->cancelPowerUp(record, player);
        return;
    }
    if (isStunned(player)) endWrongHitPenalty(player);
}

void CommonUIScreen::playThrowEffect(int32_t player)
{
    if (k_commonTraceLevel == 1) FLogStream("Default", false) << "THROW!!";
    if (player < 0 || player >= k_playerCount || m_session.get() == nullptr) return;
    const ActivePowerUp* record = m_session->powerUpSlot(player);
    if (record == nullptr) return;
    if (record->kind() == k_powerUpThrow) {
        if (FRefT<MapView> map = getMapView(player); map.get() != nullptr) map->startThrowEffect();
        return;
    }
    if (record->kind() != k_powerUpQuake && record->kind() != k_powerUpSplat) return;
    PowerUpView* view = getPowerUpViewByUniqueId(record->uniqueId());
    if (view == nullptr) return;
    if (record->kind() == k_powerUpQuake)
        view->dropStep();
    else
        view->splatStep();
}

void CommonUIScreen::throwAtPlayer(int32_t player)
{
    playThrowEffect(player);
    if (player < 0 || player >= k_playerCount || m_session.get() == nullptr) return;
    const ActivePowerUp* record = m_session->powerUpSlot(player);
    if (record != nullptr && record->kind() == k_powerUpCover) showPowerUpMessage(k_powerUpCover, player);
}

void CommonUIScreen::setMapQuake(int32_t player, bool on)
{
    if (FRefT<MapView> map = getMapView(player); map.get() != nullptr && map->content() != nullptr)
        m_quakeOrigin = {map->content()->rect().left, map->content()->rect().top};
    if (on) {
        stepMapQuake();
        m_quakeStep = 0;
    } else {
        m_quakeTimer.setActive(false);
    }
}

void CommonUIScreen::stepMapQuake()
{
    if (m_session.get() == nullptr) return;
    int32_t holder = -1;
    for (int32_t player = 0; player < k_playerCount && holder < 0; ++player) {
        const ActivePowerUp* record = m_session->powerUpSlot(player);
        if (record != nullptr && record->kind() == k_powerUpQuake) holder = player;
    }
    if (holder < 0) return;
    if (FRefT<MapView> map = getMapView(1 - holder); map.get() != nullptr) {
        if (m_quakeStep % 2 == 0)
            map->shake(k_quakeShake, k_quakeShake);
        else
            map->unshake();
    }
    int32_t delay = k_quakeStepMs;
    if (m_quakeStep < k_quakeSteps) {
        ++m_quakeStep;
    } else {
        m_quakeStep = 0;
        delay = k_quakeRestMs;
    }
    m_quakeTimer.start(delay);
}
