#pragma once

#include "ScreenLayout29.h"
#include "core/FRef.h"
#include "game/gameplay/LevelItemImages.h"
#include "game/gameplay/LevelItems.h"
#include "game/gameplay/LevelItemsHost.h"
#include "game/widgets/MapViewHost.h"
#include "game/widgets/SearchableSpriteHost.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <deque>

class CharacterVideoSprite;
class FImageWidget;
class FlashSprite;
class SearchListGenerator;
struct ParticleRecord;
class ParticleGroup;
class ParticlePool;
class StoryHud;
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
                        public MapViewHost,
                        public SearchableSpriteHost,
                        public LevelItemsHost
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
    void setStoryHud(StoryHud* hud) { m_hud = hud; }
    void setStoryScript(StoryScript* script) { m_script = script; }

    // Accessors (the player index is ignored: one map, one strip).
    FRefT<MapView> getMapView(int32_t player) override;
    HudEntryPanel* getPlayerPanel(int32_t player) override;
    int32_t getPanelEntryCount(int32_t player) const;
    bool needsActiveEntry() const override;
    FRefT<FWidget> getCursorSprite(int32_t player) const;
    bool isHintCursorOn() const override { return m_hintCursor; }
    std::deque<FRefT<SearchableSprite>>* getTaskSprites() { return &m_taskSprites; }
    bool isInterruptRunning() const { return m_interruptRunning; }
    void setInterruptRunning(bool running) { m_interruptRunning = running; }
    bool allowsPanelFlight() const { return m_panelFlight; }
    FPointI getMapViewSize() const;
    FRef getStepImage(int32_t index) const;
    void hidePowerUpMessage(int32_t player) override;
    void refreshOverlaySprites();
    LevelItems& levelItems() { return m_levelItems; }
    MapView* mapView() const;
    MapView* secondMapView() const { return m_secondMapView.get(); }

    // The story features' operations the frame and the input call; the
    // story tasks, the dialog and the interrupt give them their meaning.
    virtual void startTask() { m_taskStartRequest = false; }
    virtual void dismissClickCover() {}
    virtual void onVoiceDone();
    virtual void checkInterruptTimeout() {}
    // The fade-swap of a find-Starmantle task and the interrupt's bonus item.
    virtual void startSwapAnimation() {}
    virtual void spawnInterruptItem() {}
    // The story's lines and steps (the story teller does the work).
    StoryTeller* storyTeller() const { return m_teller; }
    void speakWithSpeaker(const FRef& sample);
    void hideSpeaker();
    void replayReminderVoice();
    void cancelReminderVoice();
    void playVoiceLine(const FRef& sound) override;
    void playRandomComment();
    FRef pickInterruptLine();

    // The tier effect's particle (null when none runs). The frame and the
    // move write to it only while the pool still lends it out.
    void setTierParticle(ParticleRecord* particle);
    ParticleRecord* liveTierParticle();

    // The game core's calls (GameplayScreen). The story tasks, the cursor
    // effects and the interrupt sequence give the task and penalty calls
    // their meaning; until then the screen takes them without effect.
    void playWrongHitPenalty(std::int32_t) override {}
    bool isPictureSearchMode() const override { return false; }
    void onTaskBegun() override {}
    void onTaskAdvanced() override {}
    void showAnimatedOverlay(StoryTaskStepper&) override {}
    void stagedSequenceBegin() override {}
    void stagedSequenceShow() override {}
    void stagedSequenceRun() override {}
    void stagedSequenceEnd() override {}
    // The world's search data from the shared layout part (a copy of its
    // bytes), or an empty handle for a world number outside 0 to 11.
    FRefT<std::istream> openSearchData(std::int32_t worldNumber) override;

    // Members the story features read and write.
    struct SearchListListener
    {
        StoryModeScreen* screen = nullptr;
        SearchListGenerator* generator = nullptr;
        int32_t state = -1;
    };
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
    void lostPhotoFound() override {}
    void playFoundReaction() override {}
    void startDelayedReaction() override {}
    FRef foundSound() override;
    FRef hintFindSound(int32_t index) override;
    FRefT<FImage> getBlingImage() override;
    FRefT<FImage> getHintImage() override;
    void reportSpriteFound(int32_t player, SearchableSprite& sprite) override;
    void setHintCursorMode(bool on) override { m_hintCursor = on; }
    void placePlayerCursor(int32_t, FPointI) override {}
    bool isPlayActive() const override;
    FRef missSound() override;
    void setFlyTarget(int32_t player, FPointI point) override;
    void moveEffectAnchor(FPointI) override {}

private:
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
    StoryHud* m_hud = nullptr;
    StoryScript* m_script = nullptr;
    StoryTeller* m_teller = nullptr;
    bool m_levelSetUp = false;
    ParticleRecord* m_tierParticle = nullptr;
};
