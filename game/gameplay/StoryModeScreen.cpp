#include "game/gameplay/StoryModeScreen.h"

#include "asset/FAssetStream.h"
#include "asset/FRawData.h"
#include "core/FApplication.h"
#include "core/FKeyCode.h"
#include "core/FMemory.h"
#include "core/FServiceSlots.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/ControllerManager.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/PowerUpKind.h"
#include "game/core/Quest.h"
#include "game/core/ScreenKind.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/SearchableObject.h"
#include "game/core/TaskData.h"
#include "game/core/TaskType.h"
#include "game/gameplay/CoverPowerUpView.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/InterruptDial.h"
#include "game/gameplay/PowerUpView.h"
#include "game/gameplay/StoryScript.h"
#include "game/gameplay/StoryTeller.h"
#include "game/widgets/AwardsViewport.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/FactoryContainerWidget.h"
#include "game/widgets/FadeSwapWidget.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/ForwardingMapView.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/MapView.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/QueuedVideoSprite.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/VideoSprite.h"
#include "game/worlds/WorldScene.h"
#include "graphics/FGraph.h"
#include "image/FImage.h"
#include "ui/FFont.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

#include <sstream>
#include <string>

namespace {

// The story's quest types and the tasks the screen treats apart.
constexpr int32_t k_storyDifferenceQuest = 2;
constexpr int32_t k_storyInterruptQuest = 3;
constexpr int32_t k_storyTutorialQuest = 6;
constexpr int32_t k_storySecondSetQuest = 1;
constexpr uint32_t k_storyOpaqueWhite = 0xFFFFFFFFu;
constexpr uint32_t k_storyOpaqueBlack = 0xFF000000u;
// The frames from which an overlay clip's sound joins it.
constexpr int32_t k_storyInterruptClipFrame = 20;
constexpr int32_t k_storySuccessClipFrame = 10;
constexpr int32_t k_storyFailureClipFrame = 11;
// The controller flags activation sets, by pointer.
constexpr int32_t k_storyCursorFlagPointers[] = {0, 1, 3, 4};

FGraph* storyGraph()
{
    return findService<FGraph>(k_slotGraphics);
}

template <class Widget> Widget* storyWidget(const FRef& handle)
{
    return dynamic_cast<Widget*>(static_cast<FWidget*>(handle.get()));
}

bool storyContains(FWidget* widget, const FPointI& point)
{
    return widget != nullptr && widget->containsAbsolutePoint(point);
}

} // namespace

StoryModeScreen::StoryModeScreen()
{
    if (m_legalButton.get() != nullptr) m_legalButton->setVisible(false);
    if (FWidget* pause = m_pauseContainer.get()) {
        pause->setVisible(false);
        pause->bringToFront();
    }
    if (FWidget* options = m_optionsPanel.get()) {
        options->setVisible(false);
        options->bringToFront();
    }
    auto* finishTimer = makeMemberDelegate(this, &StoryModeScreen::startFinishTimer);
    m_endFade.setCompletion(finishTimer);
    engineFree(finishTimer);
    auto* finish = makeMemberDelegate(this, &StoryModeScreen::finishQuest);
    m_finishTimer.setCompletion(finish);
    engineFree(finish);
    auto* photo = makeMemberDelegate(this, &StoryModeScreen::onPhotoFound);
    m_photoTimer.setCompletion(photo);
    engineFree(photo);
    if (m_restartButton.get() != nullptr) m_restartButton->setVisible(false);
    if (m_awardsViewport.get() != nullptr) m_awardsViewport->setVisible(false);
    fillItemImages();
    // The layout made the strip and the bar while this screen was still its
    // layout base, which is no host of theirs yet.
    if (HudPanel* panel = hudPanel()) panel->setHost(this);
    if (FactoryContainerWidget* bar = timerBar()) bar->setTimerBarHost(this);
    m_teller = engineNew<StoryTeller>(k_memObject, *this);
    m_script = &m_teller->script();
}

StoryModeScreen::~StoryModeScreen()
{
    m_endFade.setCompletion(nullptr);
    m_finishTimer.setCompletion(nullptr);
    m_photoTimer.setCompletion(nullptr);
    if (GameSession* play = session()) play->setPenaltyEnabled(true);
    // The session's generator outlives the screen: it must not step a
    // deleted record.
    if (GameSession* play = session(); play != nullptr && m_listener != nullptr) {
        SearchListGenerator* generator = play->getSearchListGenerator().get();
        if (generator != nullptr && generator == m_listener->generator)
            generator->setInterruptTarget(nullptr);
    }
    engineDelete(m_listener);
    m_listener = nullptr;
    m_script = nullptr;
    engineDelete(m_teller);
    m_teller = nullptr;
    if (MapView* second = m_secondMapView.get()) second->removeMapChildren();
    m_taskSprites.clear();
}

MapView* StoryModeScreen::mapView() const
{
    return storyWidget<MapView>(m_mapView);
}

CharacterVideoSprite* StoryModeScreen::characterSprite() const
{
    return storyWidget<CharacterVideoSprite>(m_characterSprite);
}

VideoSprite* StoryModeScreen::largeCharacter() const
{
    return storyWidget<VideoSprite>(m_largeCharacter);
}

GameSession* StoryModeScreen::levelSession()
{
    return session();
}

const WorldScene* StoryModeScreen::levelWorldScene()
{
    return worldScene().as<WorldScene>();
}

int32_t StoryModeScreen::currentTaskType() const
{
    GameSession* play = session();
    return play != nullptr ? play->getCurrentTaskType() : -1;
}

int32_t StoryModeScreen::questType() const
{
    GameSession* play = session();
    return play != nullptr ? play->currentQuestType() : -1;
}

void StoryModeScreen::fillItemImages()
{
    auto image = [](const FRef& handle) { return FRefT<FImage>(handle); };
    m_itemImages.zibboBling = image(m_zibboBlingImage);
    m_itemImages.zibboPanel = image(m_zibboPanelImage);
    m_itemImages.lastWorldPanel = image(m_zibboSkyPanelImage);
    m_itemImages.starmantleBling = image(m_starmantleBlingImage);
    m_itemImages.starmantlePanel = image(m_starmantlePanelImage);
    m_itemImages.vessaBling = image(m_vessaBlingImage);
    m_itemImages.vessaPanel = image(m_vessaPanelImage);
    m_itemImages.tuffBling = image(m_scrollPanelImage);
    m_itemImages.tuffPanel = image(m_tuffPanel);
    m_itemImages.drabbBling = image(m_photoBlingImage);
    m_itemImages.drabbPanel = image(m_photoPanelImage);
    for (std::size_t i = 0; i < LevelItemImages::k_hintImageCount; ++i) {
        if (i < hintImagesA().size()) m_itemImages.hintImagesA[i] = image(hintImagesA()[i]);
        if (i < hintImagesB().size()) m_itemImages.hintImagesB[i] = image(hintImagesB()[i]);
    }
}

void StoryModeScreen::onActivate()
{
    CommonUIScreen::onActivate();
    // The level starts on the UI thread: construction may have run on the
    // loader's worker, and the set-up works on the game module and the
    // session, which only the UI thread touches.
    if (!m_levelSetUp) {
        m_levelSetUp = true;
        setUpLevel();
        completeSetUp();
    }
    if (ZibboUserInterface* module = ZibboUserInterface::getInstance()) {
        ControllerManager& controllers = module->controllerManager();
        controllers.setCurrentScreen(this);
        // The manager's row holds pointers 0 to 3: the flag of 4 has no
        // place in it and is left out rather than written past the row.
        for (int32_t pointer : k_storyCursorFlagPointers) {
            if (pointer < ControllerManager::k_pointerCount) controllers.setCursorFlag(pointer, 1);
        }
    }
    if (FGraph* graph = storyGraph()) graph->setSystemCursorVisible(true);
}

void StoryModeScreen::setUpLevel()
{
    GameSession* play = session();
    if (play == nullptr) return;
    play->startLevel(this);
    MapView* map = mapView();
    const WorldScene* scene = levelWorldScene();
    const int32_t quest = questType();
    if (play->mode() == 0) {
        if (HudPanel* panel = hudPanel()) panel->setUp();
        if (map != nullptr) {
            map->bindScreenOverlays();
            if (quest != k_storyDifferenceQuest && scene != nullptr && scene->getBackgroundTiles() != nullptr)
                map->buildBackgroundTiles(play->currentWorldIndex(), *scene->getBackgroundTiles());
        }
        FactoryContainerWidget* bar = timerBar();
        if (bar != nullptr && play->getLevelTimer() != nullptr) bar->initTimerBar(*play->getLevelTimer());
        buildPenaltySprites();
        if (auto* sprite = storyWidget<SearchableSprite>(m_searchableSprite)) sprite->prepare();
        if (auto* cursor = storyWidget<QueuedVideoSprite>(m_cursorSprite)) cursor->setup();
        if (m_hitThrough.get() != nullptr) m_hitThrough->setHitTestDisabled(true);
        if (quest == k_storyDifferenceQuest) {
            if (m_searchableSprite.get() != nullptr) m_searchableSprite->setVisible(false);
            if (m_questTwoHidden.get() != nullptr) m_questTwoHidden->setVisible(false);
            if (m_fadeSwap.get() != nullptr) m_fadeSwap->setVisible(false);
        }
        engineDelete(m_listener);
        m_listener = engineNew<SearchListListener>(k_memObject);
        m_listener->screen = this;
        m_listener->generator = play->getSearchListGenerator().get();
        if (m_listener->generator != nullptr) m_listener->generator->setInterruptTarget(m_listener);
        const int32_t task = currentTaskType();
        if (map != nullptr && (task < k_firstLateTaskType || task == k_taskAwards))
            map->createOverlaySprites();
        if (m_script != nullptr)
            // The tutorial steps come only with the tutorial the world map's
            // question (or a first visit of the second world) asked for.
            m_script->buildWorldTaskScript(quest == k_storyTutorialQuest ? 0 : play->currentWorldIndex(),
                                           play->isSpecialQuest(), true);
        buildDimmer();
        if (m_storyArtImage.get() != nullptr) m_storyArtImage->setVisible(false);
        if (m_storyArtOverlay.get() != nullptr) m_storyArtOverlay->setVisible(false);
        buildMessageLabel();
    }
    const int32_t world = play->currentWorldIndex();
    if (world >= 0 && world < 12 && m_worldPicture.get() != nullptr) {
        const FRef* worldImages[] = {&m_worldImage01, &m_worldImage02, &m_worldImage03, &m_worldImage04,
                                     &m_worldImage05, &m_worldImage06, &m_worldImage07, &m_worldImage08,
                                     &m_worldImage09, &m_worldImage10, &m_worldImage11, &m_worldImage12};
        storyWidget<FImageWidget>(m_worldPicture)->setImage(FRefT<FImage>(*worldImages[world]), true);
    }
    if (quest != k_storyDifferenceQuest) m_levelItems.createMapAnimations(animRecords());
    for (FRef* hidden : {&m_setUpHidden1, &m_setUpHidden2, &m_setUpHidden3})
        if (auto* widget = storyWidget<FWidget>(*hidden)) widget->setVisible(false);
    m_clickCover = makeRef(engineNew<FImageWidget>(k_memObject, this, true));
    m_clickCover->setImage(FRefT<FImage>(m_mapOverlayImage), false);
    m_clickCover->setWidgetColour(k_storyOpaqueBlack);
    m_clickCover->setWidgetRect({0, 0, width(), height()});
    m_clickCover->setWidgetAlpha(0);
    m_clickCover->setAlphaThreshold(0);
    m_clickCover->setVisible(false);
    if (m_secondMapBackdrop.get() != nullptr) m_secondMapBackdrop->setVisible(false);
    buildParticleLayers();
    if (auto* swap = storyWidget<FadeSwapWidget>(m_fadeSwap))
        swap->setSprites(FRefT<FContainer>(m_swapSpritesA), FRefT<FContainer>(m_swapSpritesB));
    if (quest != k_storyTutorialQuest && quest != k_storyDifferenceQuest)
        m_levelItems.createHintSearchableSprites();
    m_flash = makeRef(engineNew<FlashSprite>(k_memObject, this));
    m_flash->start(k_storyOpaqueWhite);
    placeLargeCharacter();
    if (m_teller != nullptr) m_teller->bindParts();
    m_endImage = makeRef(engineNew<FImageWidget>(k_memObject, this, true));
    m_endImage->setImage(FRefT<FImage>(m_mapOverlayImage), false);
    m_endImage->setWidgetRect({0, 0, width(), height()});
    m_endImage->setHitTestDisabled(true);
    m_endImage->setVisible(false);
    m_endImage->setWidgetAlpha(0);
    m_endFade.target = m_endImage.get();
    if (m_script != nullptr) m_script->hidePanel();
    if (m_storyPanel.get() != nullptr) m_storyPanel->setVisible(false);
    if (currentTaskType() != k_taskDimmedPause && m_dimmerHost.get() != nullptr) m_dimmerHost->bringToFront();
    if (ZibboUserInterface* module = ZibboUserInterface::getInstance()) module->stopAllSounds();
    m_levelReady = true;
    onSearchListReady();
}

void StoryModeScreen::buildPenaltySprites()
{
    MapView* map = mapView();
    if (map != nullptr) {
        FRefT<VideoSprite> marker = makeRef(engineNew<VideoSprite>(k_memObject, map, true));
        marker->setVideo(FRefT<FVideo>(m_foundMarkerClip), true);
        marker->setFrameRate(k_markerFps);
        marker->setFrameTime(k_markerFrameMs);
        marker->setVisible(false);
        marker->setWidgetPosition(marker->rect().left, marker->rect().top - map->height() / 8);
        m_foundMarkers[0] = marker;
    }
    FRefT<VideoSprite> cursor = makeRef(engineNew<VideoSprite>(k_memObject, this, true));
    cursor->setVideo(FRefT<FVideo>(m_penaltyCursorClip), true);
    cursor->setFrameRate(k_markerFps);
    cursor->setFrameTime(k_markerFrameMs);
    cursor->setLoops(-1);
    cursor->setVisible(false);
    m_penaltyCursors[0] = cursor;
    for (int32_t i = 0; i < k_penaltyPieces; ++i) {
        FRefT<VideoSprite> piece = makeRef(engineNew<VideoSprite>(k_memObject, this, true));
        piece->setVideo(FRefT<FVideo>(m_penaltyPieceClip), true);
        piece->setFrameRate(k_markerFps);
        piece->setFrameTime(k_markerFrameMs);
        piece->setAngle(75.0f + 120.0f * static_cast<float>(i));
        piece->setLoops(-1);
        piece->setVisible(false);
        m_penaltyPieces[0].push_back(piece);
        m_pieceFlights[0].emplace_back();
        m_pieceFlights[0].back().setTarget(piece.get());
    }
    // The middle piece draws in its own mode.
    m_penaltyPieces[0][1]->setBlendMode(2);
}

void StoryModeScreen::buildDimmer()
{
    FContainer* host = storyWidget<FContainer>(m_dimmerHost);
    if (host == nullptr) return;
    FRefT<FImageWidget> dimmer = makeRef(engineNew<FImageWidget>(k_memObject, host, true));
    dimmer->setImage(FRefT<FImage>(m_pauseBackdropImage), true);
    dimmer->setWidgetRect({dimmer->rect().left, dimmer->rect().top, dimmer->rect().left + width(),
                           dimmer->rect().top + height()});
    dimmer->setVisible(false);
    dimmer->setWidgetColour((dimmer->colour() & 0x00FFFFFFu) | (static_cast<uint32_t>(k_dimmerAlpha) << 24));
    m_dimmer = FRefT<FWidget>(FRef(dimmer));
}

void StoryModeScreen::buildMessageLabel()
{
    FRefT<FLabel> label = makeRef(engineNew<FLabel>(k_memObject, this, true));
    if (m_hudPanel.get() != nullptr) label->setWidgetRect(m_hudPanel->rect());
    label->setFont(FRefT<FFont>(FRef(m_effectFont)));
    label->setHorizontalAlignment(2);
    label->setVerticalAlignment(2);
    const int32_t w = label->width();
    const int32_t h = label->height();
    label->setOrigin(w / 2 - static_cast<int32_t>(w * 0.005), h / 2 - static_cast<int32_t>(h * 0.05));
    label->setColor(k_storyOpaqueBlack);
    label->setVisible(false);
    m_messageLabels[0] = label;
}

void StoryModeScreen::buildParticleLayers()
{
    m_timerParticleGroup = makeRef(engineNew<ParticleGroup>(k_memObject, k_timerParticleSprites, this));
    m_timerParticleGroup->setImage(FRefT<FImage>(m_timerParticle));
    m_timerParticlePool = makeRef(engineNew<ParticlePool>(k_memObject, k_timerParticles));
    m_tierGroup = makeRef(engineNew<ParticleGroup>(k_memObject, k_tierSprites, this));
    m_tierGroup->setImage(FRefT<FImage>(m_tierSparkle));
    m_tierPool = makeRef(engineNew<ParticlePool>(k_memObject, k_tierParticles));
}

void StoryModeScreen::placeLargeCharacter()
{
    VideoSprite* speaker = largeCharacter();
    if (speaker == nullptr) return;
    speaker->setVideo(FRefT<FVideo>(m_speakerAClip2), true);
    speaker->setLoops(-1);
    speaker->setFrameRate(k_speakerFps);
    speaker->setFrameTime(k_speakerFrameMs);
    const FPointI centre{width() / 2, static_cast<int32_t>(height() / 3.3)};
    speaker->setWidgetPosition(centre.x - speaker->width() / 2, centre.y - speaker->height() / 2);
    speaker->moveWidgetBy(0, static_cast<int32_t>(speaker->height() * 0.05));
    if (FWidget* portrait = m_portrait.get()) {
        portrait->setWidgetPosition(centre.x - portrait->width() / 2, centre.y - portrait->height() / 2);
        portrait->moveWidgetBy(0, -static_cast<int32_t>(speaker->height() * 0.04));
    }
}

void StoryModeScreen::completeSetUp()
{
    GameSession* play = session();
    Quest* quest = play != nullptr ? play->currentQuest() : nullptr;
    if (CharacterVideoSprite* character = characterSprite())
        character->setAlternateSet(questType() == k_storySecondSetQuest);
    if (quest != nullptr && quest->hasInterruption() && questType() == k_storyInterruptQuest &&
        m_interruptMusic.get() != nullptr)
        m_interruptMusic.as<FAsset>()->loadNow();
    if (questType() == k_storyDifferenceQuest) {
        m_forcedClickStep = false;
        m_panelFlight = false;
        const WorldScene* scene = levelWorldScene();
        m_levelItems.setTaskTable(scene != nullptr ? scene->getDifferences() : nullptr);
        if (FWidget* backdrop = m_secondMapBackdrop.get()) {
            backdrop->setVisible(true);
            if (m_secondMapCover.get() != nullptr) m_secondMapCover->bringToFront();
        }
        setUpDifferenceViews();
        if (MapView* second = m_secondMapView.get(); second != nullptr && m_secondMapArea.get() != nullptr) {
            const FRectI area = m_secondMapArea->rect();
            second->setWidgetRect(area);
        }
        m_levelItems.setTaskTable(scene != nullptr ? scene->getDifferences() : nullptr);
    }
}

void StoryModeScreen::setUpDifferenceViews()
{
    MapView* map = mapView();
    if (map == nullptr) return;
    map->setAutoScrollListener(nullptr);
    if (m_mapArea.get() != nullptr) map->setWidgetRect(m_mapArea->rect());
    auto* second = engineNew<ForwardingMapView>(k_memObject, this, true);
    m_secondMapView = makeRef<MapView>(second);
    second->setMainView(map);
    second->bindScreenOverlays();
    second->resetView(false, {0, 0});
    m_baseImage = makeRef(engineNew<FImageWidget>(k_memObject, map->content(), true));
    m_baseImage->setWidgetPosition(0, 0);
    const WorldScene* scene = levelWorldScene();
    m_baseImage->setImage(scene != nullptr ? FRefT<FImage>(scene->getBaseImage()) : FRefT<FImage>(), true);
    second->addMapChild(m_baseImage.get());
}

void StoryModeScreen::update(int32_t elapsedMs)
{
    CommonUIScreen::update(elapsedMs);
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    if (module != nullptr && module->isGamePaused()) return;
    FWidget* awards = m_awardsViewport.get();
    if (awards == nullptr || !awards->isVisible()) {
        if (auto* cursor = storyWidget<QueuedVideoSprite>(m_cursorSprite)) cursor->update(elapsedMs);
        if (CharacterVideoSprite* character = characterSprite()) character->update(elapsedMs);
        if (m_script != nullptr) m_script->update(elapsedMs);
        for (FTimerTween* timer : {&m_closeTimer, &m_photoTimer, &m_reactionTimer, &m_shownTimer})
            timer->update(elapsedMs);
        const bool recordRunning = m_script != nullptr && m_script->isRecordRunning();
        if (m_taskStepRequest) {
            m_taskStepRequest = false;
            if (recordRunning)
                m_closeRequest = true;
            else if (currentTaskType() >= k_firstLateTaskType)
                endTask();
        }
        if (recordRunning && m_closeRequest) {
            m_closeRequest = false;
            if (!m_closeTimer.isActive()) {
                if (module != nullptr) module->stopDialogue();
                if (CharacterVideoSprite* character = characterSprite()) character->playPose(0, true);
                if (m_script->recordHasSpeaker()) {
                    if (VideoSprite* speaker = largeCharacter()) {
                        speaker->setPlaying(false);
                        speaker->seekAndShow(0);
                    }
                }
                m_closeTimer.start(k_closeTimerMs);
            }
        }
        if (m_event19) {
            m_event19 = false;
            raiseStoryEvent(k_eventRequested19);
        }
        // The start wait ends once the map view has run an update after it was set.
        const bool waitedForMap = m_startWait;
        bool mapUpdated = false;
        if (MapView* map = mapView()) {
            map->update(elapsedMs);
            mapUpdated = true;
        }
        if (m_teller != nullptr) m_teller->update(elapsedMs);
        auto* swap = storyWidget<FadeSwapWidget>(m_fadeSwap);
        if (swap != nullptr) swap->updateTweens(elapsedMs);
        if (GameSession* play = session()) play->update(elapsedMs);
        if (HudPanel* panel = hudPanel()) panel->update(elapsedMs);
        if (FactoryContainerWidget* bar = timerBar()) bar->update(elapsedMs);
        if (auto* sprite = storyWidget<SearchableSprite>(m_searchableSprite)) sprite->update(elapsedMs);
        m_reminderTimer.update(elapsedMs);
        updateOverlayClipSound(elapsedMs);
        if (m_interruptRunning) updateInterruptDial(elapsedMs);
        updateWorriedPose();
        for (const FRefT<SearchableSprite>& sprite : m_taskSprites)
            sprite->update(elapsedMs);
        for (const FRef& sprite : *getHintSprites())
            if (auto* hint = sprite.as<SearchableSprite>()) hint->update(elapsedMs);
        if (MapView* second = m_secondMapView.get()) second->update(elapsedMs);
        for (auto [pool, group] : {std::pair{m_timerParticlePool.get(), m_timerParticleGroup.get()},
                                   std::pair{m_tierPool.get(), m_tierGroup.get()}}) {
            if (pool == nullptr || group == nullptr) continue;
            pool->update(elapsedMs, *group);
            group->update(elapsedMs);
            group->applyRecords();
        }
        m_foundFlow.update(elapsedMs);
        m_tasks.update(elapsedMs);
        if (swap != nullptr && swap->isRunning()) swap->bringToFront();
        if (m_flash.get() != nullptr) m_flash->update(elapsedMs);
        if (ParticleRecord* particle = liveTierParticle(); particle != nullptr && isHintCursorOn())
            particle->elapsed = 0;
        updateMapFlip();
        const bool recordShowing = m_script != nullptr && m_script->isRecordRunning();
        if (m_taskStartRequest && !recordShowing && !m_startWait) startTask();
        if (m_startWait && waitedForMap && mapUpdated) {
            m_startWait = false;
            m_reminderTimer.setActive(false);
        }
    } else {
        m_finishTimer.update(elapsedMs);
        m_endFade.update(elapsedMs);
        if (auto* viewport = storyWidget<AwardsViewport>(m_awardsViewport)) viewport->update(elapsedMs);
    }
    if (VideoSprite* speaker = largeCharacter()) speaker->update(elapsedMs);
}

ParticleRecord* StoryModeScreen::liveTierParticle()
{
    // The pool may have retired the particle since it was taken: a retired
    // record is never written again.
    if (m_tierParticle != nullptr && !m_tierParticle->active) m_tierParticle = nullptr;
    return m_tierParticle;
}

const QueuedVideoHost::AssetTable* StoryModeScreen::getQueuedVideoAssetTable()
{
    m_cursorSpriteAssets.idleClip = FRefT<FVideo>(m_idleClip);
    m_cursorSpriteAssets.rareIdleClipA = FRefT<FVideo>(m_rareIdleClip1);
    m_cursorSpriteAssets.rareIdleClipB = FRefT<FVideo>(m_rareIdleClip2);
    m_cursorSpriteAssets.specialClip = FRefT<FVideo>(m_specialClip);
    m_cursorSpriteAssets.specialSoundA = m_cadenceSound1;
    m_cursorSpriteAssets.specialSoundB = m_cadenceSound2;
    return &m_cursorSpriteAssets;
}

void StoryModeScreen::onCharacterHeld(bool held)
{
    m_characterHeld = held;
    ParticleRecord* particle = liveTierParticle();
    if (particle == nullptr || m_tierPool.get() == nullptr || m_tierGroup.get() == nullptr) return;
    m_tierPool->release(*m_tierGroup, particle);
    m_tierParticle = nullptr;
}

void StoryModeScreen::updateOverlayClipSound(int32_t elapsedMs)
{
    auto* overlay = storyWidget<VideoSprite>(m_overlayVideo);
    if (overlay == nullptr) return;
    overlay->update(elapsedMs);
    const bool atEnd = overlay->currentFrame() >= overlay->endFrame();
    if (!overlay->isPlaying() || atEnd || m_clipSoundPlayed) return;
    const FVideo* clip = overlay->video().get();
    const int32_t frame = overlay->currentFrame();
    FRef sound;
    if (clip == m_drabbFoundClip.get() && frame >= k_storyInterruptClipFrame)
        sound = m_interruptSound;
    else if (clip == m_photoFoundClip.get() && frame >= k_storySuccessClipFrame)
        sound = m_successSound;
    else if (clip == m_failureClip.get() && frame >= k_storyFailureClipFrame)
        sound = m_interruptSound;
    if (sound.get() == nullptr) return;
    if (ZibboUserInterface* module = ZibboUserInterface::getInstance())
        module->playSound(sound, k_overlayClipSoundLevel);
    m_clipSoundPlayed = true;
}

void StoryModeScreen::updateInterruptDial(int32_t elapsedMs)
{
    GameSession* play = session();
    Quest* quest = play != nullptr ? play->currentQuest() : nullptr;
    if (quest == nullptr) return;
    const int32_t length = quest->interruptTimer(play->isNormalDifficulty());
    m_interruptElapsed += elapsedMs;
    const InterruptDial pose = InterruptDial::poseAt(length, m_interruptElapsed);
    if (m_dialSecondFrame.get() != nullptr) m_dialSecondFrame->setVisible(pose.secondHalf);
    if (auto* first = storyWidget<FImageWidget>(m_dialFirstPointer)) {
        first->setVisible(!pose.secondHalf);
        if (!pose.secondHalf) first->setAngle(pose.firstAngle);
    }
    if (auto* second = storyWidget<FImageWidget>(m_dialSecondPointer); second != nullptr && pose.secondHalf)
        second->setAngle(pose.secondAngle);
    if (pose.timedOut) checkInterruptTimeout();
}

void StoryModeScreen::updateWorriedPose()
{
    GameSession* play = session();
    LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr;
    CharacterVideoSprite* character = characterSprite();
    if (timer == nullptr || character == nullptr || timer->total() <= 0) return;
    const bool late =
        static_cast<double>(timer->elapsed()) / static_cast<double>(timer->total()) > k_worriedRatio;
    if (late && !m_worried) {
        character->playPose(4, true);
        m_worried = true;
    } else if (!late && m_worried) {
        character->playPose(0, true);
        m_worried = false;
    }
}

void StoryModeScreen::updateMapFlip()
{
    MapView* map = mapView();
    if (map == nullptr) return;
    if (m_flipState == k_flipTurning) {
        if (map->rotation() < 180.0f) {
            map->setRotation(map->rotation() + k_flipStepDegrees);
        } else {
            m_flipState = k_flipUpsideDown;
        }
    } else if (m_flipState == k_flipTurningBack) {
        if (map->rotation() > 0.0f) {
            map->setRotation(map->rotation() - k_flipStepDegrees);
        } else {
            m_flipState = k_flipUpright;
            map->setPivot({map->width() / 2, map->height() / 2});
        }
    }
}

bool StoryModeScreen::inPauseButton(const FPointI& point) const
{
    return storyContains(m_pauseButton.get(), point);
}

bool StoryModeScreen::inHudPanel(const FPointI& point) const
{
    return storyContains(m_hudPanel.get(), point);
}

void StoryModeScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (button == k_ignoredButtonA || button == k_ignoredButtonB) return;
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    PauseHostScreen::onPointerDown(pointer, button, point);
    if (module != nullptr && module->isGamePaused()) return;
    // A press on the map, above player 0's HUD panel, cracks a Cover that
    // player 0 holds.
    if (HudEntryPanel* panel = getPlayerPanel(0); panel != nullptr && point.y < panel->panelPosition().y)
        CoverPowerUpView::crackInSlot(*this, 0);
}

void StoryModeScreen::playStoryCue()
{
    GameSession* play = session();
    const LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr;
    if (timer != nullptr && timer->comboLevel() == 1) playScreenSound(m_storyCueSound);
}

void StoryModeScreen::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    const bool dragging = isMapDragging();
    if (button == k_ignoredButtonA || button == k_ignoredButtonB) return;
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    const bool paused = module != nullptr && module->isGamePaused();
    const int32_t task = currentTaskType();
    if (inPauseButton(point) || task != k_taskVoiceThenSearch || paused)
        PauseHostScreen::onPointerUp(pointer, button, point);
    const bool storyOpen = m_pauseClosed && !m_optionsFromPause;
    if (!dragging && storyOpen) {
        if (task == k_taskVoiceThenSearch || m_forcedClickStep) {
            dismissClickCover();
        } else if (task == k_taskSpotDifferences) {
            onVoiceDone();
        } else if (task == k_taskOverlayAnimation) {
            endTask();
        } else if (task == k_taskDialogLine || task == k_taskDialogLineSecond) {
            // A press ends a dialog line, as its voice's end would.
            m_taskStepRequest = true;
        }
    }
    if (button != k_panelSkipButton && storyOpen) {
        if (!inHudPanel(point) && !inPauseButton(point)) {
            if (m_closeAllowed && !dragging) {
                m_closeRequest = true;
                m_closeAllowed = false;
            }
            if (task == k_taskVoiceThenSearch && !m_type15Handled) {
                m_type15Handled = true;
                if (module != nullptr) module->stopDialogue();
                if (CharacterVideoSprite* character = characterSprite()) character->playPose(0, true);
                endTask();
            }
        }
        m_panelPassThrough = false;
        if (m_reminderCancel && inHudPanel(point)) {
            m_reminderCancel = false;
            m_reminderTimer.setActive(false);
        }
    }
}

void StoryModeScreen::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (pointer != 0 && pointer != 1) return;
    CommonUIScreen::onPointerMove(pointer, point);
    if (ParticleRecord* particle = liveTierParticle()) {
        const FPointI cursor = pointerPoint(pointer);
        particle->x = cursor.x << 16;
        particle->y = cursor.y << 16;
    }
}

void StoryModeScreen::onKeyDown(uint32_t key)
{
    if (key == FKeyCode::k_enter) PromptScreen::onKeyDown(key);
    if (key == FKeyCode::k_escape) requestPause();
    if (MapView* map = mapView()) map->onKeyDown(key);
}

void StoryModeScreen::onChar(uint32_t key)
{
    if (MapView* map = mapView()) map->onChar(key);
}

void StoryModeScreen::onKeyUp(uint32_t key)
{
    if (MapView* map = mapView()) map->onKeyUp(key);
}

void StoryModeScreen::onPauseButton(FLayoutButton&)
{
    requestPause();
}

void StoryModeScreen::onRestartButton(FLayoutButton&)
{
    GameSession* play = session();
    // The level starts again without its tutorial.
    if (play != nullptr) play->setSpecialQuest(false);
    if (play != nullptr && play->currentQuestType() == k_storyTutorialQuest) play->selectQuest(0);
    leaveLevel();
}

void StoryModeScreen::leaveLevel()
{
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    if (module == nullptr) return;
    module->stopAllSounds();
    module->setPendingScreen(k_storyModeScreen);
    module->setScreen(k_loadingScreen, false);
}

void StoryModeScreen::startFinishTimer()
{
    m_finishTimer.start(k_finishTimerMs);
}

void StoryModeScreen::finishQuest()
{
    GameSession* play = session();
    // The level timer exists in normal play only: without it no star is held.
    LevelTimer* timer = play != nullptr ? play->getLevelTimer() : nullptr;
    const int32_t stars = timer != nullptr ? timer->countStarsLeft() : 0;
    if (play != nullptr && stars >= k_resultStarCount && play->currentQuest() != nullptr) {
        play->checkSearchProgress();
        play->structure().recordQuestResult(play->currentQuest()->questId(), stars);
    }
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    if (module == nullptr) return;
    module->setPendingScreen(k_worldMapScreen);
    module->setScreen(k_loadingScreen, true);
}

FRefT<MapView> StoryModeScreen::getMapView(int32_t)
{
    return FRefT<MapView>(FRef(m_mapView));
}

HudEntryPanel* StoryModeScreen::getPlayerPanel(int32_t)
{
    return dynamic_cast<HudEntryPanel*>(m_hudPanel.get());
}

int32_t StoryModeScreen::getPanelEntryCount(int32_t) const
{
    const HudPanel* panel = hudPanel();
    return panel != nullptr ? panel->entryCount() : 0;
}

bool StoryModeScreen::needsActiveEntry() const
{
    return questType() != k_storyDifferenceQuest;
}

FRefT<FWidget> StoryModeScreen::getCursorSprite(int32_t) const
{
    return FRefT<FWidget>(FRef(m_cursorSprite));
}

FPointI StoryModeScreen::getMapViewSize() const
{
    const MapView* map = mapView();
    return map != nullptr ? FPointI{map->width(), map->height()} : FPointI{0, 0};
}

FRef StoryModeScreen::getStepImage(int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_stepImages.size()) return makeNullRef();
    return m_stepImages[static_cast<std::size_t>(index)];
}

void StoryModeScreen::hidePowerUpMessage(int32_t player)
{
    // The listener record exists in normal play only; without it the
    // level's interrupt never ran, as with state 0.
    if (m_listener == nullptr || m_listener->step == 0) {
        CommonUIScreen::hidePowerUpMessage(player);
        return;
    }
    if (player < 0 || player >= k_playerCount) return;
    if (FWidget* icon = m_messageIcon.get()) icon->setVisible(false);
    if (FLabel* label = m_messageLabels[static_cast<std::size_t>(player)].get()) label->setVisible(false);
    if (HudPanel* panel = hudPanel()) panel->releaseHold();
}

void StoryModeScreen::refreshOverlaySprites()
{
    const int32_t task = currentTaskType();
    if (MapView* map = mapView(); map != nullptr && (task < k_firstLateTaskType || task == k_taskAwards))
        map->createOverlaySprites();
}

void StoryModeScreen::startPanelSweep()
{
    if (HudPanel* panel = hudPanel()) panel->startSweep();
}

bool StoryModeScreen::isMapDragging() const
{
    // Our map view never drags its scene (it scrolls under program
    // control), so a release never ends a drag.
    return false;
}

void StoryModeScreen::setTierParticle(ParticleRecord* particle)
{
    m_tierParticle = particle;
}

bool StoryModeScreen::raiseStoryEvent(int32_t event)
{
    return m_tasks.raiseStoryEvent(event);
}

void StoryModeScreen::onVoiceDone()
{
    if (m_teller != nullptr) m_teller->dialog().onVoiceDone();
}

void StoryModeScreen::speakWithSpeaker(const FRef& sample)
{
    if (m_teller != nullptr) m_teller->dialog().speakWithSpeaker(sample);
}

void StoryModeScreen::hideSpeaker()
{
    if (m_teller != nullptr) m_teller->dialog().hideSpeaker();
}

void StoryModeScreen::replayReminderVoice()
{
    if (m_teller != nullptr) m_teller->dialog().replayReminderVoice();
}

void StoryModeScreen::cancelReminderVoice()
{
    if (m_teller != nullptr) m_teller->dialog().cancelReminderVoice();
}

void StoryModeScreen::playVoiceLine(const FRef& sound)
{
    if (m_teller != nullptr) m_teller->dialog().playVoiceLine(sound);
}

void StoryModeScreen::playRandomComment()
{
    if (m_teller != nullptr) m_teller->dialog().playRandomComment();
}

FRef StoryModeScreen::pickInterruptLine()
{
    return m_teller != nullptr ? m_teller->dialog().pickInterruptLine() : FRef();
}

void StoryModeScreen::completeStoryStep()
{
    if (m_script == nullptr) return;
    // Our own teller closes the step with its panel, art and chaining; a
    // script given from outside only has its record closed.
    if (m_teller != nullptr && m_script == &m_teller->script())
        m_teller->closeRecord(true);
    else
        m_script->closeRunning();
}

bool StoryModeScreen::isInterruptTaskActive() const
{
    const int32_t task = currentTaskType();
    return task >= k_taskFindStarmantle && task <= k_taskFindTuff;
}

void StoryModeScreen::commitFind(int32_t player, SearchableSprite& sprite)
{
    if (SearchableObject* item = sprite.item()) item->markFound(player);
}

void StoryModeScreen::playStagedFoundSequence(SearchableSprite& sprite)
{
    playSpecialFoundAnimation(sprite);
}

void StoryModeScreen::playFoundEffect(int32_t player, int32_t taskType, SearchableSprite& sprite)
{
    CommonUIScreen::playFoundEffect(player, taskType, sprite);
}

void StoryModeScreen::reportSpriteFound(int32_t player, SearchableSprite& sprite)
{
    m_foundFlow.reportSpriteFound(player, sprite);
}

FRefT<std::istream> StoryModeScreen::openSearchData(std::int32_t worldNumber)
{
    const FRef* data[] = {&m_searchData01, &m_searchData02, &m_searchData03, &m_searchData04,
                          &m_searchData05, &m_searchData06, &m_searchData07, &m_searchData08,
                          &m_searchData09, &m_searchData10, &m_searchData11, &m_searchData12};
    if (worldNumber < 0 || worldNumber >= static_cast<std::int32_t>(std::size(data))) return {};
    auto* raw = data[worldNumber]->as<FRawData>();
    if (raw == nullptr) return {};
    FRefT<FInStream> in = FAssetStream::make(*raw);
    const int64_t size = in.get() != nullptr ? in->remaining() : 0;
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) in->buffer()->sgetn(bytes.data(), static_cast<std::streamsize>(size));
    return FRefT<std::istream>(
        makeSignaledRef<std::istream>(engineNew<std::istringstream>(k_memObject, std::move(bytes))));
}

void StoryModeScreen::dismissClickCover()
{
    m_interruptSequence.dismissClickCover();
}

void StoryModeScreen::checkInterruptTimeout()
{
    m_interruptSequence.checkTimeout();
}

void StoryModeScreen::spawnInterruptItem()
{
    m_interruptSequence.spawnItem();
}

void StoryModeScreen::endInterrupt(bool timedOut)
{
    m_interruptSequence.end(timedOut);
}

void StoryModeScreen::onTaskStepDone()
{
    if (m_listener != nullptr && m_listener->generator != nullptr) storyTaskStep(*m_listener);
}

bool StoryModeScreen::isInterruptSequenceActive() const
{
    const int32_t step = m_listener != nullptr ? m_listener->step : -1;
    return step == 1 || step == 2 || step == 3;
}

HudPanel* StoryModeScreen::refreshPanel()
{
    return hudPanel();
}

bool StoryModeScreen::holdsSprite(const SearchableSprite* sprite)
{
    if (sprite == nullptr) return false;
    if (m_searchableSprite.get() == sprite) return true;
    for (const FRefT<SearchableSprite>& held : m_taskSprites)
        if (held.get() == sprite) return true;
    for (const FRef& held : *getHintSprites())
        if (held.as<SearchableSprite>() == sprite) return true;
    return false;
}

void StoryModeScreen::placeHintOnSprite(SearchableSprite& sprite)
{
    FRefT<MapView> map = getMapView(0);
    if (map.get() != nullptr) map->placeHintOnSprite(&sprite);
}

void StoryModeScreen::setHintTarget(SearchableSprite* sprite, int32_t)
{
    m_entryRefresh.setHintTarget(sprite);
}

void StoryModeScreen::refreshEntriesWithHint(int32_t)
{
    m_entryRefresh.refresh(HudEntryRefresh::k_withHint);
}

void StoryModeScreen::refreshEntriesNoSelection(int32_t)
{
    m_entryRefresh.refresh(HudEntryRefresh::k_noSelection);
}

void StoryModeScreen::refreshEntriesOnSelection(int32_t)
{
    m_entryRefresh.refresh(HudEntryRefresh::k_onSelection);
}

void StoryModeScreen::lostPhotoFound()
{
    // Finds within the timer's 500 ms share the one sound at its end.
    if (!m_photoTimer.isActive()) m_photoTimer.start(k_photoSoundMs);
}

void StoryModeScreen::onPhotoFound()
{
    if (ZibboUserInterface* module = ZibboUserInterface::getInstance())
        module->playSound(m_photoSound, k_soundLevel);
}

void StoryModeScreen::onSwapMidpoint()
{
    startSwapSparkles();
}

void StoryModeScreen::onSwapDone()
{
    if (m_dimmer.get() != nullptr) setDimmed(false, 0);
}

void StoryModeScreen::onCancel()
{
    raiseStoryEvent(k_storyCloseEvent);
    CommonUIScreen::onCancel();
}

FRef StoryModeScreen::getMessageIcon(int32_t)
{
    return m_messageIcon;
}

bool StoryModeScreen::isPauseBlocked() const
{
    const auto* viewport = storyWidget<AwardsViewport>(m_awardsViewport);
    return viewport != nullptr && viewport->isActive();
}

int32_t StoryModeScreen::getLayoutAreaHeight() const
{
    const FWidget* area = m_layoutArea.get();
    return area != nullptr ? area->rect().bottom - area->rect().top : 0;
}

HudPanel* StoryModeScreen::hudPanel() const
{
    return storyWidget<HudPanel>(m_hudPanel);
}

FactoryContainerWidget* StoryModeScreen::timerBar() const
{
    return storyWidget<FactoryContainerWidget>(m_timerBar);
}

QueuedVideoSprite* StoryModeScreen::getCursorSprite()
{
    return storyWidget<QueuedVideoSprite>(m_cursorSprite);
}

FWidget* StoryModeScreen::timerBarWidget(uint32_t widgetId)
{
    // The bar works on this screen's own widgets: another story screen built
    // meanwhile holds widgets of the same ids.
    const std::pair<uint32_t, const FRef*> parts[] = {
        {FactoryContainerWidget::k_firstSegment, &m_timerFirstSegment},
        {FactoryContainerWidget::k_segmentReference, &m_timerSegmentReference},
        {FactoryContainerWidget::k_secondSegment, &m_timerSecondSegment},
        {FactoryContainerWidget::k_endCap, &m_timerEndCap},
        {FactoryContainerWidget::k_refillPreview, &m_timerRefillPreview},
        {FactoryContainerWidget::k_markerLayer, &m_timerMarkers}};
    for (const auto& [id, part] : parts) {
        if (id == widgetId) return storyWidget<FWidget>(*part);
    }
    return nullptr;
}

void StoryModeScreen::onSearchListReady()
{
    m_tasks.onSearchListReady();
}

void StoryModeScreen::startTask()
{
    m_tasks.startTask();
}

void StoryModeScreen::endTask()
{
    m_tasks.endTask();
}

void StoryModeScreen::startSwapAnimation()
{
    m_tasks.startSwapAnimation();
}

void StoryModeScreen::setLevelTimerPaused(bool paused)
{
    m_tasks.setLevelTimerPaused(paused);
}

void StoryModeScreen::sendTimerParticles(int32_t x, int32_t y, int32_t voiceKind)
{
    m_foundFlow.sendTimerParticles(x, y, voiceKind);
}

void StoryModeScreen::playTierEffect(int32_t tier)
{
    m_foundFlow.playTierEffect(tier);
}

void StoryModeScreen::setHintCursor(bool on)
{
    m_foundFlow.setHintCursor(on);
}

void StoryModeScreen::setPanelPassThrough(bool on)
{
    m_foundFlow.setPanelPassThrough(on);
}

void StoryModeScreen::endWrongHitPenalty(int32_t player)
{
    m_foundFlow.endWrongHitPenalty(player);
}

void StoryModeScreen::toggleFlip(int32_t)
{
    m_foundFlow.toggleFlip();
}

void StoryModeScreen::addComboStep()
{
    m_foundFlow.addComboStep();
}

void StoryModeScreen::playThrowEffect(int32_t player)
{
    CommonUIScreen::playThrowEffect(player);
    CoverPowerUpView::crackInSlot(*this, player);
}

void StoryModeScreen::startImpactBurst(int32_t x, int32_t y)
{
    m_foundFlow.startImpactBurst(x, y);
}

void StoryModeScreen::startCoverStream(int32_t)
{
    m_foundFlow.startCoverStream();
}

void StoryModeScreen::startCaughtBurst(int32_t x, int32_t y)
{
    m_foundFlow.startCaughtBurst(x, y);
}

void StoryModeScreen::playSpecialFoundAnimation(SearchableSprite& sprite)
{
    m_foundFlow.playSpecialFoundAnimation(sprite);
}

void StoryModeScreen::onSpecialFoundAnimationDone()
{
    m_foundFlow.onSpecialFoundAnimationDone();
}

void StoryModeScreen::startSwapSparkles()
{
    m_foundFlow.startSwapSparkles();
}

void StoryModeScreen::grantRandomNegativePowerUp()
{
    m_foundFlow.grantRandomNegativePowerUp();
}

void StoryModeScreen::onGameReady()
{
    m_foundFlow.onGameReady();
}

void StoryModeScreen::setPanelInputLock(bool locked)
{
    if (auto* panel = dynamic_cast<HudPanel*>(m_hudPanel.get())) panel->setInputLocked(locked);
}

void StoryModeScreen::returnPanelToRest()
{
    if (auto* panel = dynamic_cast<HudPanel*>(m_hudPanel.get())) panel->returnToRestPosition();
}

void StoryModeScreen::showEndImage()
{
    if (FImageWidget* image = m_endImage.get()) {
        image->setVisible(true);
        image->bringToFront();
        m_endFade.target = image;
        m_endFade.start(255, k_endFadeMs);
    }
}
