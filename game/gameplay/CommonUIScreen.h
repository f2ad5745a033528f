#pragma once

#include "ScreenLayout06.h"
#include "core/FRef.h"
#include "game/core/GameplayScreen.h"
#include "game/gameplay/AnimRecord.h"
#include "game/widgets/FadeSwapHost.h"
#include "game/widgets/HintBadgeHost.h"
#include "game/widgets/HudEntryHost.h"
#include "game/widgets/MapHintHost.h"
#include "game/widgets/MapViewHost.h"
#include "game/widgets/PlayFieldHost.h"
#include "game/widgets/QueuedVideoHost.h"
#include "game/widgets/SearchableSpriteHost.h"
#include "ui/FMoveTween.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

class ActivePowerUp;
class FImageWidget;
class FlashSprite;
class FoundItemPop;
class GameSession;
class HudEntryPanel;
class HudPanelEntry;
class MapView;
class ParticleEmitter;
class ParticleGroup;
class ParticlePool;
class PowerUpView;
class SearchableObject;
class SearchableSprite;
class VideoSprite;

// The base of every gameplay screen: it holds the play session and the scene
// of the session's current world with the world's animation records, the
// per-player cursor sprites, the power-up views of the session's active
// power-ups, the full-screen dimmer, the power-up messages beside the HUD
// panel and the pause request (Escape, or the game falling into the
// background). The story mode screen derives from it and gives the hooks
// their meaning; no screen of this class alone is made. Players 0 and 1 are
// also pointers 0 and 1. It is the play field host the game widgets ask for
// the map view and the HUD panel. UI thread only.
class CommonUIScreen : public ScreenLayout06,
                       public GameplayScreen,
                       public virtual PlayFieldHost,
                       public MapViewHost,
                       public SearchableSpriteHost,
                       public MapHintHost,
                       public HintBadgeHost,
                       public FadeSwapHost,
                       public virtual HudEntryHost,
                       public QueuedVideoHost
{
public:
    static constexpr int32_t k_playerCount = 2;
    static constexpr int32_t k_soundLevel = 63;
    static constexpr int32_t k_foundEffectFps = 12;
    static constexpr int32_t k_foundEffectFrameMs = 83;
    static constexpr int32_t k_particleSprites = 64;
    static constexpr int32_t k_particles = 8;
    static constexpr uint8_t k_backdropAlpha = 200;
    static constexpr int32_t k_dimAlpha = 120;
    static constexpr int32_t k_dimFadeMs = 600;
    static constexpr uint32_t k_taskLabelColour = 0xFFE08E00u; // (224, 142, 0, 255)
    static constexpr int32_t k_penaltyMs = 5000;
    static constexpr int32_t k_pieceFlightMs = 700;
    static constexpr int32_t k_flyRunMs = 500;
    static constexpr int32_t k_penaltyParticleMs = 8000;
    static constexpr int32_t k_quakeSteps = 10;
    static constexpr int32_t k_quakeStepMs = 100;
    static constexpr int32_t k_quakeRestMs = 500;
    static constexpr int32_t k_quakeShake = 10;

    CommonUIScreen();
    ~CommonUIScreen() override;

    // Screen operations.
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onKeyDown(uint32_t key) override;
    void onAppActivated() override;
    void onAppDeactivated() override;
    void onWindowMinimized() override;
    void onWindowRestored() override;
    void update(int32_t ms) override;
    void onActivate() override;
    void onResume() override;

    // Hooks the story mode screen gives their meaning; here the defaults.
    virtual bool hasPlayerMapViews() const { return false; }
    virtual void onSearchListReady();
    FRefT<MapView> getMapView(int32_t) override { return {}; }
    HudEntryPanel* getPlayerPanel(int32_t) override { return nullptr; }
    virtual FRef getMessageIcon(int32_t) { return {}; }
    virtual bool isHintCursorOn() const { return false; }
    virtual std::deque<FRef>* getHintSprites() { return &m_hintSprites; }
    virtual bool isPauseBlocked() const { return false; }
    virtual void playStoryCue();
    virtual void playVoiceLine(const FRef& sound);
    // A HUD panel's hold and selection marker while a power-up message shows.
    virtual void holdPanel(int32_t, bool) {}
    // The photo of the current photo task (0 the first); none here.
    virtual FRef getStepImage(int32_t) const { return {}; }

    // Player cursor effects: the click marker, the found effect and its
    // commit, the found report through the pop, the fly particles, the
    // wrong-hit penalty, shake, throw and the map quake.
    void placePlayerCursor(int32_t player, FPointI point) override;
    void onClickMarkerFinished(VideoSprite& sprite);
    void playFoundEffect(int32_t player, int32_t kind, SearchableSprite& sprite) override;
    void onFoundMarkerFinished(VideoSprite& sprite);
    void onFoundEffectFinished(VideoSprite& sprite);
    void reportSpriteFound(int32_t player, SearchableSprite& sprite) override;
    void launchFlyParticles(int32_t player);
    void playWrongHitPenalty(std::int32_t player) override;
    void startPenaltyParticles(int32_t player);
    virtual void endWrongHitPenalty(int32_t player);
    void hidePenaltyPieces();
    void onPenaltyTimerFinished();
    virtual void playShakeEffect(int32_t player);
    virtual void playThrowEffect(int32_t player);
    virtual void throwAtPlayer(int32_t player);
    void setMapQuake(int32_t player, bool on);
    void stepMapQuake();
    // The penalty cursor plays: the player is stunned.
    bool isStunned(int32_t player) const;
    // What the power-up views ask of the screen that plays the level; here
    // the defaults.
    virtual int32_t getPanelEntryCount(int32_t) const { return 0; }
    virtual void toggleFlip(int32_t) {}
    virtual void addComboStep() {}
    // The particle effects of the Quake, the Cover and the Shower; the story
    // mode screen plays them.
    virtual void startImpactBurst(int32_t, int32_t) {}
    virtual void startCoverStream(int32_t) {}
    virtual void startCaughtBurst(int32_t, int32_t) {}

    // GameplayScreen: the defaults of this base.
    bool raiseStoryEvent(std::int32_t) override { return false; }
    bool isPauseOverlayOpen() const override { return m_pauseOpen; }
    void clearOwnedItemQueue() override;
    void endTask() override {}

    // The pause request.
    void requestPause() override;
    void showPauseBackdrop() override;
    // Opens the options overlay straight from the level.
    void openOptionsOverlay();

    // Power-up views.
    void addIndividualPowerUpView(ActivePowerUp& record);
    void rebuildPowerUpViews();
    void removePowerUpView(int32_t uniqueId);
    PowerUpView* getPowerUpViewByUniqueId(int32_t uniqueId) const;
    const std::deque<PowerUpView*>& powerUpViews() const { return m_powerUpViews; }
    // Set by a screen that changes the view queue while the views update: the
    // frame's view loop then stops.
    void setViewsChanged(bool changed) { m_viewsChanged = changed; }

    // Dimmer and power-up messages.
    void setDimmed(bool on, int32_t player);
    void showPowerUpMessage(int32_t kind, int32_t player);
    virtual void hidePowerUpMessage(int32_t player);

    // What the game widgets ask of the screen that owns them. This base
    // answers from its own layout (folder 6) and the bound layout parts;
    // the story features the story mode screen builds are absent here.
    // MapViewHost.
    void setHintCursorMode(bool) override {}
    bool isPlayActive() const override { return m_pauseClosed; }
    FRef missSound() override { return m_cueSound; }
    void setFlyTarget(int32_t player, FPointI point) override;
    void moveEffectAnchor(FPointI) override {}
    // SearchableSpriteHost.
    bool isInterruptActive() const override { return false; }
    void setInterruptActive(bool) override {}
    bool isInterruptTaskActive() const override { return false; }
    void playStagedFoundSequence(SearchableSprite&) override {}
    void lostPhotoFound() override {}
    void playFoundReaction() override {}
    void startDelayedReaction() override {}
    FRef foundSound() override { return m_foundSound; }
    FRef hintFindSound(int32_t) override { return m_foundSound; }
    FRefT<FImage> getBlingImage() override;
    FRefT<FImage> getHintImage() override;
    // MapHintHost: this base has no hint overlays or hot-and-cold cursor.
    const MapViewAssets* getAssetTable() override { return nullptr; }
    FContainer* getOverlayLayer() override { return nullptr; }
    FWidget* getMarkerWidget() override { return nullptr; }
    FWidget* getMiniMap() override { return nullptr; }
    FWidget* getViewFrame() override { return nullptr; }
    FRefT<FImage> getFramePicture() override { return {}; }
    FRefT<FImage> getSparklePicture(int32_t) override { return {}; }
    FRefT<FImage> getSwirlPicture(int32_t) override { return {}; }
    bool isHintCursorMode() const override { return isHintCursorOn(); }
    bool isHintRadarOn() const override { return false; }
    void queueCursorClip(int32_t, const FRefT<FVideo>&, bool, bool) override {}
    void playTierEffect(int32_t) override {}
    void showHintOnSprite(SearchableSprite*, int32_t) override {}
    std::vector<SearchableSprite*> getSpriteList() override { return {}; }
    // HintBadgeHost.
    GameSession* getGameSession() override { return m_session.get(); }
    FRefT<FFont> getCounterFont() override { return FRefT<FFont>(FRef(m_effectFont)); }
    FRefT<FImage> getBadgeSparkleImage() override { return {}; }
    // FadeSwapHost: picture 0's sound, then picture 1's.
    FRef swapSound(int32_t picture) override;
    void playSound(const FRef& sound, int32_t volume) override;
    void onFadeSwapHalfway() override { onSwapMidpoint(); }
    void onFadeSwapFinished() override { onSwapDone(); }
    virtual void onSwapMidpoint() {}
    virtual void onSwapDone() {}
    // HudEntryHost: the entries' media by asset or text id, from whichever
    // bound layout holds them (empty when none does).
    FRefT<FImage> hudImage(int32_t assetId) override;
    FRefT<FString> hudText(int32_t textId) override;
    FRefT<FFont> hudFont(int32_t assetId) override;
    FRef hudSound(int32_t assetId) override;
    FRefT<FVideo> hudClip(int32_t assetId) override;
    int32_t foundLineCount() override;
    FRef foundLine(int32_t index) override;
    void sendTimerParticles(FPointI, int32_t) override {}
    void setHintTarget(SearchableSprite*, int32_t) override {}
    bool isInterruptRunning() const override { return false; }
    QueuedVideoSprite* getCursorSprite() override { return nullptr; }
    bool isAlternateMode() const override;
    // QueuedVideoHost: this base has no table of the cursor sprite's clips
    // and ignores a held press; the pending sprite is the map view's.
    const QueuedVideoHost::AssetTable* getQueuedVideoAssetTable() override { return nullptr; }
    void onCharacterHeld(bool) override {}
    QueuedVideoHost::PendingSprite getPendingSprite() override;
    int32_t panelEntryCount(int32_t player) override { return getPanelEntryCount(player); }
    FRef panelEntryAt(int32_t player, int32_t index) override;
    bool storyHudHandleEntryEvent(const FRef& entry) override;
    // Finds need no active panel entry on this base.
    bool needsActiveEntry() const override { return false; }

    GameSession* session() const { return m_session.get(); }
    const FRef& worldScene() const { return m_worldScene; }
    const std::vector<AnimRecord>& animRecords() const { return m_animRecords; }
    const std::deque<FRef>& hintImagesA() const { return m_hintImagesA; }
    const std::deque<FRef>& hintImagesB() const { return m_hintImagesB; }
    FImageWidget* pauseBackdrop() const { return m_pauseBackdrop.get(); }
    VideoSprite* clickMarker(int32_t player) const;
    VideoSprite* foundEffect(int32_t player) const;
    FlashSprite* foundFlash(int32_t player) const;
    FoundItemPop* foundItemPop(int32_t player) const;
    // The sprite of the player's find whose effect still shows, or null (also
    // once the sprite is gone).
    SearchableSprite* lastFoundSprite(int32_t player) const;
    int32_t lastFoundPlayer() const { return m_lastFoundPlayer; }
    const FTimerTween& penaltyTimer(int32_t player) const
    {
        return m_penaltyTimers.at(static_cast<std::size_t>(player));
    }
    const FTimerTween& quakeTimer() const { return m_quakeTimer; }
    int32_t quakeStep() const { return m_quakeStep; }
    FPointI quakeOrigin() const { return m_quakeOrigin; }
    const std::deque<FPointI>& exitPoints() const { return m_exitPoints; }
    int32_t penaltyAutoEnd() const { return m_penaltyAutoEnd; }
    // The tuning value "DizzyBirdMax" as read at construction; non-zero arms
    // the penalty's 5000 ms end.
    void setPenaltyAutoEnd(int32_t value) { m_penaltyAutoEnd = value; }
    FPointI pointerPoint(int32_t pointer) const;

    // Read and written by the story mode screen.
    bool m_startWait = false;
    bool m_forcedClickStep = false;
    bool m_pointerInMap = true;
    std::array<bool, k_playerCount> m_penaltyFlags{};
    std::array<FRefT<VideoSprite>, k_playerCount> m_foundMarkers;
    std::array<FRefT<VideoSprite>, k_playerCount> m_penaltyCursors;
    std::array<std::deque<FRefT<VideoSprite>>, k_playerCount> m_penaltyPieces;
    std::array<std::deque<FMoveTween>, k_playerCount> m_pieceFlights;
    std::array<FRefT<ParticleEmitter>, k_playerCount> m_penaltyEmitters;
    std::array<FRefT<ParticleEmitter>, k_playerCount> m_flyEmitters;
    std::array<FPointI, k_playerCount> m_flyTargets{{{-1, -1}, {-1, -1}}};
    std::array<FRef, k_playerCount> m_messageIcons;
    std::array<FRefT<FLabel>, k_playerCount> m_messageLabels;
    // The falling sprites of a running Shower.
    std::deque<FRefT<VideoSprite>> m_catchList;
    // The full-screen dim widget the level set-up makes.
    FRefT<FWidget> m_dimmer;
    int32_t m_lastFoundPlayer = -1;

protected:
    // The view of a power-up kind with the panel as parent, or null for a
    // kind that has no view here (None, or outside 0 to 7).
    virtual PowerUpView* createPowerUpView(int32_t kind, HudEntryPanel* panel);
    // The frame's power-up view loop: every view of the queue is updated
    // once, also when views are removed meanwhile.
    void updatePowerUpViews(int32_t ms);

private:
    void buildPlayerSprites();
    void buildEffectLayers();
    void readWorldAnims();
    void fillHintImageLists();
    void onDimmerFadeFinished();
    void runCatchTest();
    void updatePlayerSprites(int32_t player, int32_t ms);
    void deletePowerUpViews();
    // The panel's entry that lists the item; empty when none does.
    static FRefT<HudPanelEntry> findPanelEntryOf(HudEntryPanel* panel, const SearchableObject* item);
    static bool plays(const VideoSprite* sprite);
    // Marks the player's find whose effect shows found, once.
    void commitLastFind(int32_t player);
    int32_t playerOfSprite(const VideoSprite& sprite,
                           const std::array<FRefT<VideoSprite>, k_playerCount>& sprites) const;
    void placeFoundEffect(VideoSprite& effect, int32_t kind, int32_t character);
    ParticleEmitter* makeCursorEmitter(FRefT<ParticleEmitter>& holder, int32_t runMs, int32_t type,
                                       FPointI start);
    // Whether the level runs: the pause overlay is closed.
    bool isLevelRunning() const { return m_pauseClosed; }

    FRefT<GameSession> m_session;
    std::vector<AnimRecord> m_animRecords;
    FRef m_worldScene;
    std::array<FRefT<VideoSprite>, k_playerCount> m_clickMarkers;
    std::array<FRefT<VideoSprite>, k_playerCount> m_foundEffects;
    std::array<FRefT<FlashSprite>, k_playerCount> m_foundFlashes;
    FRefT<ParticlePool> m_particlePool;
    FRefT<ParticleGroup> m_particleGroup;
    std::array<FRefT<FoundItemPop>, k_playerCount> m_foundItemPops;
    // Each player's find whose effect still shows: the sprite, held weakly
    // because a task may release it meanwhile, and the item the effect's end
    // marks found. Kept per player, so that one player's find never commits
    // the other's.
    std::array<FRefT<SearchableSprite>, k_playerCount> m_lastFoundSprites;
    std::array<SearchableObject*, k_playerCount> m_lastFoundItems{};
    std::deque<FRef> m_hintSprites;
    std::array<FPointI, k_playerCount> m_pointerPoints{};
    bool m_viewsChanged = false;
    std::deque<PowerUpView*> m_powerUpViews;
    FTimerTween m_quakeTimer;
    int32_t m_quakeStep = 0;
    FPointI m_quakeOrigin{0, 0};
    std::deque<FPointI> m_exitPoints;
    std::array<FTimerTween, k_playerCount> m_penaltyTimers;
    std::deque<FRef> m_hintImagesA;
    std::deque<FRef> m_hintImagesB;
    FRefT<FImageWidget> m_pauseBackdrop;
    WidgetFadeTween m_dimmerFade;
    FadeTween m_taskLabelFade;
    int32_t m_penaltyAutoEnd = 0;
};
