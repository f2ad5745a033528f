#pragma once

#include "ScreenLayout29.h"
#include "core/FRef.h"
#include "game/core/StoryTaskStepper.h"
#include "game/gameplay/FoundItemFlow.h"
#include "game/gameplay/HudEntryRefresh.h"
#include "game/gameplay/HudEntryRefreshHost.h"
#include "game/gameplay/HudPanelHost.h"
#include "game/gameplay/InterruptSequence.h"
#include "game/gameplay/LevelItemImages.h"
#include "game/gameplay/LevelItems.h"
#include "game/gameplay/LevelItemsHost.h"
#include "game/gameplay/StoryTasks.h"
#include "game/widgets/TimerBarHost.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <deque>

class CharacterVideoSprite;
class FactoryContainerWidget;
class FImageWidget;
class FlashSprite;
class HudPanel;
class SearchListGenerator;
struct ParticleRecord;
class ParticleGroup;
class ParticlePool;
class StoryScript;
class StoryTeller;
class VideoSprite;

// The screen on which a level is played (screen kind 15): the world's scene
// in the map view with the task's hidden items, the HUD strip with the level
// timer bar, the small character and, over them, the story's panels, the
// speaker and the overlays. Construction only binds the layouts (it may run
// on the loader's worker); the level itself is set up on the UI thread when
// the screen first becomes current, because setting it up starts the level
// in the play session and stops, plays and registers sounds and callbacks of
// the game module. It is left through the loading screen: to the world map
// when the quest is finished, to itself when the level is restarted. UI
// thread only from activation on.
class StoryModeScreen : public ScreenLayout29,
                        public HudPanelHost,
                        public TimerBarHost,
                        public LevelItemsHost,
                        public HudEntryRefreshHost
{
public:
    // Pointer buttons: a press or release of 4 or 17 is dropped; a release
    // of 18 skips the story checks of the strip and the pause button.
    static constexpr int32_t k_ignoredButtonA = 4;
    static constexpr int32_t k_ignoredButtonB = 17;
    static constexpr int32_t k_panelSkipButton = 18;
    static constexpr int32_t k_overlayClipSoundLevel = 25;
    static constexpr int32_t k_closeTimerMs = 300;
    static constexpr int32_t k_finishTimerMs = 50;
    static constexpr int32_t k_endFadeMs = 500;
    static constexpr double k_worriedRatio = 0.85;
    static constexpr float k_flipStepDegrees = 9.0f;
    static constexpr int32_t k_resultStarCount = 3;
    static constexpr int32_t k_markerFps = 24;
    static constexpr int32_t k_markerFrameMs = 41;
    static constexpr int32_t k_speakerFps = 12;
    static constexpr int32_t k_speakerFrameMs = 83;
    static constexpr int32_t k_penaltyPieces = 3;
    static constexpr int32_t k_timerParticleSprites = 256;
    static constexpr int32_t k_timerParticles = 32;
    static constexpr int32_t k_tierSprites = 32;
    static constexpr int32_t k_tierParticles = 4;
    static constexpr int32_t k_dimmerAlpha = 120;
    static constexpr int32_t k_photoSoundMs = 500;
    static constexpr int32_t k_storyCloseEvent = 1;
    // The options layer's slider tick and the sparkle of the strip's sweep.
    static constexpr int32_t k_scrollTickSound = 6163;
    static constexpr int32_t k_sweepSparkleImage = 5687;
    // Map flip states.
    enum FlipState : int32_t {
        k_flipUpright = 0,
        k_flipTurning = 1,
        k_flipUpsideDown = 2,
        k_flipTurningBack = 3
    };

    StoryModeScreen();
    ~StoryModeScreen() override;

    // Screen operations.
    void onActivate() override;
    void update(int32_t elapsedMs) override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void onKeyDown(uint32_t key) override;
    void onChar(uint32_t key) override;
    void onKeyUp(uint32_t key) override;
    void onPauseButton(FLayoutButton& button) override;
    void onRestartButton(FLayoutButton& button) override;

    // The level set-up; the first activation runs it once.
    void setUpLevel();
    bool isLevelSetUp() const { return m_levelSetUp; }
    // Replays the level: back through the loading screen to this kind.
    void leaveLevel();
    // The end fade's completion: the finish timer runs 50 ms.
    void startFinishTimer();
    // The finish timer's completion: records a result of three stars or
    // more and leaves for the world map.
    void finishQuest();

    // The features not built into this class answer through these; a
    // screen without them skips their steps.
    void setStoryScript(StoryScript* script) { m_script = script; }

    // Accessors (the player index is ignored: one map, one strip).
    FRefT<MapView> getMapView(int32_t player) override;
    HudEntryPanel* getPlayerPanel(int32_t player) override;
    int32_t getPanelEntryCount(int32_t player) const override;
    bool needsActiveEntry() const override;
    FRefT<FWidget> getCursorSprite(int32_t player) const;
    bool isHintCursorOn() const override { return m_hintCursor; }
    std::deque<FRefT<SearchableSprite>>* getTaskSprites() { return &m_taskSprites; }
    bool isInterruptRunning() const override { return m_interruptRunning; }
    void setInterruptRunning(bool running) { m_interruptRunning = running; }
    bool allowsPanelFlight() const { return m_panelFlight; }
    FPointI getMapViewSize() const;
    FRef getStepImage(int32_t index) const override;
    void hidePowerUpMessage(int32_t player) override;
    // The common end of a penalty, then story event 5.
    void endWrongHitPenalty(int32_t player) override;
    void refreshOverlaySprites();
    LevelItems& levelItems() { return m_levelItems; }
    MapView* mapView() const;
    MapView* secondMapView() const { return m_secondMapView.get(); }
    // The layout's HUD strip and level timer bar (null where the layout's
    // records made other widgets).
    HudPanel* hudPanel() const;
    FactoryContainerWidget* timerBar() const;

    // HudPanelHost: the strip's questions. The hint target, the entry
    // refreshes and the bonus item's end are the story's hint operations
    // below.
    QueuedVideoSprite* getCursorSprite() override;
    bool isPanelPassThrough() const override { return m_panelPassThrough; }
    // The power-up views draw no widget of their own.
    FWidget* firstPowerUpView() override { return nullptr; }
    FRef scrollTickSound() override { return hudSound(k_scrollTickSound); }
    FRefT<FImage> sweepSparkleImage() override { return hudImage(k_sweepSparkleImage); }
    // TimerBarHost: the bar's parts are this layout's widgets; its media come
    // from the bound layouts by id. The warning's comment line comes with the
    // story's voice lines.
    FWidget* timerBarWidget(uint32_t widgetId) override;
    FRefT<FImage> timerBarImage(int32_t assetId) override { return hudImage(assetId); }
    FRef timerBarSound(int32_t assetId) override { return hudSound(assetId); }

    // The story features' operations the frame and the input call; the
    // story tasks, the dialog and the interrupt give them their meaning.
    virtual void startTask();
    virtual void dismissClickCover();
    virtual void onVoiceDone();
    virtual void checkInterruptTimeout();

    // The interrupt sequence (the search-list generator's step record drives
    // it). endInterrupt ends a running interrupt: found, or timed out.
    void spawnInterruptItem();
    void endInterrupt(bool timedOut);
    void onTaskStepDone();
    virtual bool isInterruptSequenceActive() const;
    // The strip's bonus entry completed (the interrupt item was found).
    void onBonusItemDone() override { endInterrupt(false); }
    bool isInterruptBegun() const { return m_interruptBegun; }
    bool isInterruptSuccess() const { return m_interruptSuccess; }

    // The hint target and the HUD-entry refreshes (the player is ignored).
    void setHintTarget(SearchableSprite* sprite, int32_t player) override;
    SearchableSprite* getHintTarget() { return m_entryRefresh.hintTarget(); }
    void refreshEntriesWithHint(int32_t player) override;
    void refreshEntriesNoSelection(int32_t player) override;
    void refreshEntriesOnSelection(int32_t player) override;
    const HudEntryRefresh& entryRefresh() const { return m_entryRefresh; }

    // The photo timer's end: one lost-photo sound for the finds it gathered.
    void onPhotoFound();
    // The fade-swap widget's second picture begins, and its end.
    void onSwapMidpoint();
    void onSwapDone();
    // The player cancelled the front prompt: the story closes for the level.
    void onCancel() override;
    FRef getMessageIcon(int32_t player) override;
    bool isPauseBlocked() const override;
    int32_t getLayoutAreaHeight() const;

    // The story tasks.
    void onSearchListReady() override;
    void endTask() override;
    void startSwapAnimation();
    void setLevelTimerPaused(bool paused);
    // The found-item flow.
    void sendTimerParticles(int32_t x, int32_t y, int32_t voiceKind);
    void sendTimerParticles(FPointI from, int32_t character) override
    {
        sendTimerParticles(from.x, from.y, character);
    }
    void playTierEffect(int32_t tier);
    // The common throw, then a crack of a Cover in the player's slot.
    void playThrowEffect(int32_t player) override;
    // The story's cue, only while the level timer's state is 1.
    void playStoryCue() override;
    void setHintCursor(bool on);
    void setPanelPassThrough(bool on);
    void toggleFlip(int32_t player) override;
    void addComboStep() override;
    void startImpactBurst(int32_t x, int32_t y) override;
    void startCoverStream(int32_t player) override;
    void startCaughtBurst(int32_t x, int32_t y) override;
    void playSpecialFoundAnimation(SearchableSprite& sprite);
    void onSpecialFoundAnimationDone();
    virtual void startSwapSparkles();
    virtual void grantRandomNegativePowerUp();
    void onGameReady();
    StoryTasks& storyTasks() { return m_tasks; }
    FoundItemFlow& foundItemFlow() { return m_foundFlow; }
    // The story's lines and steps (the story teller does the work).
    StoryTeller* storyTeller() const { return m_teller; }
    void speakWithSpeaker(const FRef& sample);
    void hideSpeaker();
    void replayReminderVoice();
    void cancelReminderVoice() override;
    void playVoiceLine(const FRef& sound) override;
    void playRandomComment() override;
    FRef pickInterruptLine();
    // The running story step is done (the task it waited on ended).
    void completeStoryStep();

    // The tier effect's particle (null when none runs). The frame and the
    // move write to it only while the pool still lends it out.
    void setTierParticle(ParticleRecord* particle);
    ParticleRecord* liveTierParticle();

    // QueuedVideoHost: the cursor sprite's clips and sounds of this layout,
    // and a press on it held past 300 ms (which ends the tier particle).
    const QueuedVideoHost::AssetTable* getQueuedVideoAssetTable() override;
    void onCharacterHeld(bool held) override;
    bool isCharacterHeld() const { return m_characterHeld; }

    // The game core's calls (GameplayScreen). The story tasks, the cursor
    // effects and the interrupt sequence give the task and penalty calls
    // their meaning; until then the screen takes them without effect.
    bool isPictureSearchMode() const override { return false; }
    // The generator has the search list of a task ready.
    void onTaskBegun() override { onSearchListReady(); }
    void onTaskAdvanced() override {}
    void showAnimatedOverlay(StoryTaskStepper&) override { m_interruptSequence.showOverlay(); }
    void stagedSequenceBegin() override { m_interruptSequence.begin(); }
    void stagedSequenceShow() override { m_interruptSequence.show(); }
    void stagedSequenceRun() override { m_interruptSequence.run(); }
    void stagedSequenceEnd() override { m_interruptSequence.finish(); }
    // The world's search data from the shared layout part (a copy of its
    // bytes), or an empty handle for a world number outside 0 to 11.
    FRefT<std::istream> openSearchData(std::int32_t worldNumber) override;

    // Members the story features read and write.
    // The generator's step record of the interrupt sequence: -1 or 0 none,
    // 1 overlay, 3 interrupt running, 2 outcome.
    using SearchListListener = StoryTaskStepper;
    SearchListListener* m_listener = nullptr;
    int32_t m_flipState = k_flipUpright;
    bool m_levelReady = false;
    bool m_panelPassThrough = false;
    bool m_hintCursor = false;
    bool m_interruptRunning = false;
    bool m_interruptSuccess = false;
    bool m_clipSoundPlayed = false;
    bool m_interruptBegun = false;
    bool m_taskStartRequest = false;
    int32_t m_interruptElapsed = 0;
    FTimerTween m_closeTimer;
    FTimerTween m_photoTimer;
    FTimerTween m_reminderTimer;
    FTimerTween m_reactionTimer;
    FRefT<ParticleGroup> m_timerParticleGroup;
    FRefT<ParticlePool> m_timerParticlePool;
    FRefT<ParticleGroup> m_tierGroup;
    FRefT<ParticlePool> m_tierPool;
    FRefT<FImageWidget> m_clickCover;
    FRefT<MapView> m_secondMapView;
    FRefT<FImageWidget> m_baseImage;
    bool m_worried = false;
    bool m_closeAllowed = false;
    bool m_event19 = false;
    bool m_taskStepRequest = false;
    FRefT<FlashSprite> m_flash;
    WidgetFadeTween m_endFade;
    FRefT<FImageWidget> m_endImage;
    FTimerTween m_finishTimer;
    bool m_panelFlight = true;
    bool m_reminderCancel = false;
    FTimerTween m_shownTimer;
    std::deque<FRef> m_stepImages;
    bool m_closeRequest = false;
    bool m_type15Handled = false;
    // The Vessa lines a find of hers draws from; the dialog fills it.
    std::deque<FRef> m_vessaLinePool;
    // Set for the longer sparkle over the scroll.
    bool m_longHint = false;

protected:
    // LevelItemsHost.
    GameSession* levelSession() override;
    const WorldScene* levelWorldScene() override;
    MapView* levelMapView() override { return mapView(); }
    const LevelItemImages& levelItemImages() override { return m_itemImages; }
    std::deque<FRefT<SearchableSprite>>& levelTaskSprites() override { return m_taskSprites; }
    std::deque<FRef>& levelHintSprites() override { return *getHintSprites(); }
    void startPanelSweep() override;

    // The found-item flow's entry points (the map view and the sprites call
    // them): each commits the find at once.
    bool raiseStoryEvent(int32_t event) override;
    bool isInterruptActive() const override { return m_interruptRunning; }
    void setInterruptActive(bool active) override { m_interruptRunning = active; }
    bool isInterruptTaskActive() const override;
    void playStagedFoundSequence(SearchableSprite& sprite) override;
    void playFoundEffect(int32_t player, int32_t taskType, SearchableSprite& sprite) override;
    void lostPhotoFound() override;
    void reportSpriteFound(int32_t player, SearchableSprite& sprite) override;
    void setHintCursorMode(bool on) override { setHintCursor(on); }

    // HudEntryRefreshHost.
    HudPanel* refreshPanel() override;
    bool refreshPanelFlight() const override { return m_panelFlight; }
    bool refreshInterruptRunning() const override { return m_interruptRunning; }
    int32_t refreshTaskType() const override { return currentTaskType(); }
    int32_t refreshQuestType() const override { return questType(); }
    bool holdsSprite(const SearchableSprite* sprite) override;
    void placeHintOnSprite(SearchableSprite& sprite) override;

private:
    friend class InterruptSequence;
    friend class StoryTasks;
    friend class FoundItemFlow;

    // The HUD panel's input lock and its return to rest; the end image's fade.
    void setPanelInputLock(bool locked);
    void returnPanelToRest();
    void showEndImage();
    // The steps of the constructor that follow the level set-up.
    void completeSetUp();
    void fillItemImages();
    void buildPenaltySprites();
    void buildDimmer();
    void buildMessageLabel();
    void buildParticleLayers();
    void placeLargeCharacter();
    void setUpDifferenceViews();
    void commitFind(int32_t player, SearchableSprite& sprite);
    void updateOverlayClipSound(int32_t elapsedMs);
    bool isMapDragging() const;
    void updateInterruptDial(int32_t elapsedMs);
    void updateWorriedPose();
    void updateMapFlip();
    int32_t currentTaskType() const;
    int32_t questType() const;
    CharacterVideoSprite* characterSprite() const;
    VideoSprite* largeCharacter() const;
    bool inPauseButton(const FPointI& point) const;
    bool inHudPanel(const FPointI& point) const;

    LevelItems m_levelItems{*this};
    LevelItemImages m_itemImages;
    std::deque<FRefT<SearchableSprite>> m_taskSprites;
    StoryScript* m_script = nullptr;
    StoryTeller* m_teller = nullptr;
    bool m_levelSetUp = false;
    ParticleRecord* m_tierParticle = nullptr;
    QueuedVideoHost::AssetTable m_cursorSpriteAssets;
    bool m_characterHeld = false;
    HudEntryRefresh m_entryRefresh{*this};
    InterruptSequence m_interruptSequence{*this};
    StoryTasks m_tasks{*this};
    FoundItemFlow m_foundFlow{*this};
};
