#pragma once

#include "ScreenLayout06.h"
#include "core/FRef.h"
#include "game/core/GameplayScreen.h"
#include "game/gameplay/AnimRecord.h"
#include "game/widgets/PlayFieldHost.h"
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
class GameSession;
class HudEntryPanel;
class MapView;
class ParticleEmitter;
class ParticleGroup;
class ParticlePool;
class PowerUpView;
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
class CommonUIScreen : public ScreenLayout06, public GameplayScreen, public virtual PlayFieldHost
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
    // The play field shakes for the player (a speaker comes up).
    virtual void playShakeEffect(int32_t) {}
    // A HUD panel's hold and selection marker while a power-up message shows.
    virtual void holdPanel(int32_t, bool) {}

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

    GameSession* session() const { return m_session.get(); }
    const FRef& worldScene() const { return m_worldScene; }
    const std::vector<AnimRecord>& animRecords() const { return m_animRecords; }
    const std::deque<FRef>& hintImagesA() const { return m_hintImagesA; }
    const std::deque<FRef>& hintImagesB() const { return m_hintImagesB; }
    FImageWidget* pauseBackdrop() const { return m_pauseBackdrop.get(); }
    VideoSprite* clickMarker(int32_t player) const;
    VideoSprite* foundEffect(int32_t player) const;
    FlashSprite* foundFlash(int32_t player) const;
    const std::deque<FPointI>& exitPoints() const { return m_exitPoints; }
    int32_t penaltyAutoEnd() const { return m_penaltyAutoEnd; }
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
    SearchableSprite* m_lastFoundSprite = nullptr;
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
    void onClickMarkerFinished(VideoSprite& sprite);
    void onDimmerFadeFinished();
    void runCatchTest();
    void updatePlayerSprites(int32_t player, int32_t ms);
    void deletePowerUpViews();
    static bool plays(const VideoSprite* sprite);
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
