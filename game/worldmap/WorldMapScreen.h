#pragma once

#include "ScreenLayout14.h"

#include "core/FRef.h"
#include "game/core/GameStructure.h"
#include "game/core/QuestProgress.h"
#include "graphics/FGeometry.h"
#include "ui/FMoveTween.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class FContainer;
class FImageWidget;
class GameSession;
class ParticleEmitter;
class ParticleGroup;
class ParticlePool;
class VideoSprite;
class WorldMapNode;
class WorldMapServices;

// Screen kind 8, the hub of the game: the map of the twelve worlds, rebuilt
// from the profile on every visit. The player drags it (with coasting),
// points at worlds and clicks an open one, which glides the map to it;
// sparkles circle the selected world. The menu button leaves for the main
// menu through the loading screen; a launched quest leaves for its level
// the same way. Everything runs on the UI thread.
class WorldMapScreen : public ScreenLayout14
{
public:
    enum Mode : int32_t {
        k_modePhases = 0,
        k_modeBrowse = 1,
        k_modeQuestChooser = 2,
        k_modeQuestScroll = 3,
        k_modeLaunch = 4,
    };
    enum MapDragState : int32_t {
        k_dragIdle = 0,
        k_dragPressed = 1,
        k_dragDragging = 2,
        k_dragCoasting = 3,
    };

    static constexpr int32_t k_worldCount = GameStructure::k_worldCount;
    static constexpr int32_t k_soundVolume = 63;
    static constexpr int32_t k_launchDelayMs = 500;
    static constexpr int32_t k_openTimerMs = 550;
    static constexpr int32_t k_revealSparkleFps = 36;
    static constexpr int32_t k_sparkleRadius = 150;
    // The second sparkle starts half a turn after the first (the float just
    // below the one nearest to pi, bits 0x40490FDA).
    static constexpr float k_sparkleHalfTurn = 3.1415925f;
    // Glides for a node's reveal leave it this far right of the centre.
    static constexpr int32_t k_leftOfLevel = 80;
    // Phases of the presentation, run in the order 0, 1, 2, 4, 3, 5, 6, 7.
    static constexpr int32_t k_phaseLoading = 0;
    static constexpr int32_t k_phaseAward = 1;
    static constexpr int32_t k_phaseNewMapPiece = 2;
    static constexpr int32_t k_phaseStoryBreak = 3;
    static constexpr int32_t k_phaseGameComplete = 4;
    static constexpr int32_t k_phaseNewWorld = 5;
    static constexpr int32_t k_phaseQuestReminders = 6;
    static constexpr int32_t k_phaseDone = 7;
    static constexpr int32_t k_starFadeMs = 300;
    static constexpr int32_t k_awardPauseMs = 800;
    static constexpr int32_t k_phasePauseMs = 1200;
    static constexpr int32_t k_storyIdleMs = 700;
    static constexpr int32_t k_endingFadeMs = 1000;
    static constexpr int32_t k_specialQuestQuestion = 13;
    // A quest record's best state: five stars.
    static constexpr int32_t k_fiveStars = 6;
    static constexpr int32_t k_allStars = 180;
    // The guide's voice pools: map piece, reminders of types 1 and 2, new
    // world, reminders of type 3.
    enum VoicePool : int32_t {
        k_poolMapPiece = 0,
        k_poolReminder1 = 1,
        k_poolReminder2 = 2,
        k_poolNewWorld = 3,
        k_poolReminder3 = 4,
        k_poolCount = 5,
    };
    // The two guides: A (Vessa) and B (Starmantle).
    enum Speaker : int32_t {
        k_speakerA = 0,
        k_speakerB = 1,
    };

    WorldMapScreen();
    ~WorldMapScreen() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void update(int32_t elapsed) override;
    void onActivate() override;
    void onBackToMenuClicked(FLayoutButton& button) override;
    void onCloseScrollClicked(FLayoutButton& button) override;
    void onPlayClicked(FLayoutButton& button) override;
    void onConfirmMessage(int32_t kind) override;
    void onCancel() override;

    // The phase machine.
    void beginPhase();
    void endPhase();
    void updatePhase(int32_t elapsed);
    void askSpecialQuestQuestion();
    bool isGameCompleteDue();
    void onAwardStarStep();
    void onAwardTimer();
    void onPhaseTimer();

    // The quest chooser and the quest scroll.
    void buildQuestDescriptions();
    void prepareQuestChooser();
    void hideQuestChooser();
    void openQuestChooser();
    void fillQuestChooser();
    void fillQuestStars(const std::vector<FRefT<FWidget>>& stars, int32_t quest);
    void fadeInQuestChooser(int32_t elapsed);
    // Quest button 0, the middle one (quest 1 or 3) or button 2, by 0, 1, 2.
    bool hitsQuestButton(int32_t which, const FPointI& point) const;
    void highlightQuestButton(int32_t quest);
    void clearQuestButtonHighlights();
    void onChooserHover(const FPointI& point);
    void onChooserRelease(const FPointI& point);
    void closeQuestChooser();
    void pickQuest(int32_t quest);
    void prepareQuestScroll();
    void openQuestScroll();
    void updateQuestScroll(int32_t elapsed);
    void showQuestScrollContent();
    void onScrollRollerAArrived();
    void onScrollRollerBArrived();
    std::array<FWidget*, 3> questButtons() const;
    int32_t middleQuest() const { return m_middleQuest; }
    const std::array<std::deque<FRef>, 4>& questDescriptions() const { return m_questDescriptions; }
    bool questScrollShown() const { return m_questScrollShown; }

    // The ending.
    void startEnding();
    void onEndingShown();
    void onEndingClipFinished(VideoSprite& sprite);
    void onEndingHidden();
    void onEndingFadeDone();
    VideoSprite* endingSprite() const;

    // The guides and the story breaks.
    void resetGuide();
    void fillGuideVoicePools();
    void showSpeakerPanel(Speaker speaker);
    void onSpeakerFrameShown(Speaker speaker);
    void onSpeakerAFrameShown();
    void onSpeakerBFrameShown();
    void hideSpeakerPanel(Speaker speaker);
    void playSpeakerIdle(Speaker speaker);
    void speakAs(Speaker speaker, const FRef& line);
    void playStoryBreak();
    void playNextStoryClip();
    void runPhaseTutorial();
    void endPhaseTutorial();
    void onVoiceFinished();
    void updateGuidePanels(int32_t elapsed);
    FRef pickPoolLine(VoicePool pool);
    FRef pickReminderLine(int32_t questType);
    bool isStoryBreakDue() const;
    bool needsSpeakerVideos(Speaker speaker) const;
    // The lines of the story break for the last result (or a fresh entry),
    // in play order with their speakers.
    std::vector<std::pair<int32_t, Speaker>> storyBreakLines() const;
    // A press during a voice line skips it; true when the press ends there.
    bool skipVoiceLine();
    void startLongTrip(int32_t world);
    void updateLongTrip(int32_t elapsed);
    void onTripPanelArrived();
    void onTripCoverShown();
    void onTripArrivalShown();
    void playLongTripSound();

    // Building (each loading phase).
    void buildWorldNodes();
    void createWorldNameLabels();

    // Worlds, pieces and tags.
    void openWorld(int32_t world, bool visible);
    void restoreWorlds();
    int32_t findFirstNewWorld();
    bool openFirstNewWorld();
    void hideQuestTags();
    void restoreQuestTags();
    bool revealResultMapPiece();
    void restoreMapPieces();
    void hideAllMapPieces();
    void splitOpenQuests();
    void updateNodes(int32_t elapsed);
    void clearNodeHighlights();
    void onNodeTweenDone();

    // Glide and scroll limits.
    void startGlide(int32_t x, int32_t y);
    void updateGlide(int32_t elapsed);
    void setMapOffset(int32_t x, int32_t y);
    void clampMapOffset();
    void centerAroundLevel(int32_t world);
    void centerLeftOfLevel(int32_t world);

    // Pointer input.
    void updateDrag(int32_t elapsed);
    void onNodeClicked(int32_t world);
    void selectWorld(int32_t world);

    // Particles.
    void createParticleLayers();
    void startSelectionSparkles(WorldMapNode& node);
    void stopSelectionSparkles();
    void startLaunchSweep();
    void onLaunchSweepDone();
    void updateParticleLayers(int32_t elapsed);
    void onLaunchTimer();

    // The node of a world; a world index outside 0..11 (from the tuning
    // tables, the profile or the session) is a failure report naming what
    // gave it.
    WorldMapNode& node(int32_t world, const char* source);
    bool worldOpen(int32_t world) const;

    int32_t phase() const { return m_phase; }
    // The phases begun since the activation, in order (phase 6 once per
    // reminder).
    const std::vector<int32_t>& phaseLog() const { return m_phaseLog; }
    bool isPerfectEnding() const { return m_perfectEnding; }
    bool isVoicePlaying() const { return m_voicePlaying; }
    bool isLongTrip() const { return m_longTrip; }
    bool guideHasSpoken() const { return m_guideHasSpoken; }
    int32_t awardStarIndex() const { return m_awardStarIndex; }
    const std::vector<FRef>& storyClips() const { return m_storyClips; }
    const std::array<std::vector<FRef>, k_poolCount>& guideVoicePools() const { return m_guideVoicePools; }
    VideoSprite* speakerSprite(Speaker speaker) const;
    FImageWidget* endingPanel() const { return m_endingPanel.get(); }
    void setPhase(int32_t phase) { m_phase = phase; }
    Mode mode() const { return m_mode; }
    void setMode(Mode mode) { m_mode = mode; }
    MapDragState dragState() const { return m_dragState; }
    FPointI dragVelocity() const { return m_dragVelocity; }
    FPointI mapOffset() const;
    bool isGliding() const { return m_glideActive; }
    FPointI glideTarget() const { return m_glideTarget; }
    bool isChooserPending() const { return m_chooserPending; }
    void setChooserPending(bool pending) { m_chooserPending = pending; }
    bool isLeaving() const { return m_leaving; }
    bool isFreshEntry() const { return m_freshEntry; }
    bool sparklesOn() const { return m_sparklesOn; }
    bool nodeTweenDone() const { return m_nodeTweenDone; }
    bool mapPieceRevealed() const { return m_mapPieceRevealed; }
    int32_t chooserOpenings() const { return m_chooserOpenings; }
    const GameStructure::Result& lastResult() const { return m_lastResult; }
    const std::deque<FRefT<WorldMapNode>>& worldNodes() const { return m_worldNodes; }
    WorldMapNode* activeNode() const { return m_activeNode.get(); }
    void setActiveNode(const FRefT<WorldMapNode>& node) { m_activeNode = node; }
    const std::array<FRefT<ParticleEmitter>, 2>& selectionSparkles() const { return m_selectionSparkles; }
    ParticleEmitter* launchSweep() const { return m_launchSweep.get(); }
    const FTimerTween& launchTimer() const { return m_launchTimer; }
    FTimerTween& openTimer() { return m_openTimer; }
    VideoSprite* revealSparkle() const { return m_revealSparkle.get(); }
    FContainer* mapContainerWidget() const;
    GameSession* session() const;
    WorldMapServices* services() const;
    // The layout's pieces of a world (three each), world 0 first.
    const std::vector<FRefT<FWidget>>& layoutPieces(int32_t world) const;
    // The world's ambient sprites in placing order and the index of its anchor.
    std::vector<FRefT<VideoSprite>> ambientSpritesOf(int32_t world) const;
    static int32_t anchorIndexOf(int32_t world);
    // The clip asset of each ambient sprite of a world, in the same order.
    static std::vector<int32_t> ambientClipsOf(int32_t world);
    FRef asset(int32_t id) const;
    const std::vector<QuestProgress>& seenOpenQuests() const { return m_seenOpenQuests; }
    const std::vector<QuestProgress>& newOpenQuests() const { return m_newOpenQuests; }
    int32_t reminderIndex() const { return m_reminderIndex; }
    void playSound(const FRef& sound);

private:
    void loadWorldGeometry();
    void placeWorldTags();
    void placeWorldSprites();
    void bindMapPieces();
    void bindLockOverlays();
    void setTweenCompletions();
    void beginLoadingPhase();
    void beginAwardPhase();
    void beginNewMapPiecePhase();
    void beginReminderPass();
    void prepareAwardPanel();
    void prepareLongTripPanels();
    void moveScrollRollers(const std::array<FPointI, 2>& to);
    void handOver();
    void placeMapPicture();
    void decideNewData();
    FPointI screenSize() const;
    FPointI pictureSize() const;

    Mode m_mode = k_modePhases;
    int32_t m_phase = k_phaseLoading;
    MapDragState m_dragState = k_dragIdle;
    FPointI m_pressPoint{0, 0};
    FPointI m_lastPointerPoint{0, 0};
    FPointI m_dragVelocity{0, 0};
    int32_t m_pressTime = 0;
    int32_t m_coastTimer = 0;
    bool m_dragEnabled = true;
    bool m_chooserPending = false;
    int32_t m_chooserOpenings = 0;

    std::deque<FRefT<WorldMapNode>> m_worldNodes;
    FRefT<WorldMapNode> m_activeNode;
    FRefT<WorldMapNode> m_shownNode;

    FRefT<FImageWidget> m_endingPanel;
    WidgetFadeTween m_endingFade;
    FRefT<VideoSprite> m_revealSparkle;
    FTimerTween m_phaseTimer;
    FTimerTween m_launchTimer;
    FTimerTween m_openTimer;
    bool m_nodeTweenDone = false;
    bool m_mapPieceRevealed = false;
    bool m_leaving = false;
    bool m_playPressed = false;
    bool m_freshEntry = false;
    bool m_longTrip = false;
    bool m_voicePlaying = false;
    bool m_panelHiding = false;
    bool m_voiceEndPending = false;
    int32_t m_reminderType = -1;
    bool m_clipDone = false;
    bool m_guideHasSpoken = false;
    bool m_dropFirstClip = false;
    bool m_musicOnceA = false;
    bool m_musicOnceB = false;
    bool m_giftVoice = false;
    bool m_perfectEnding = false;
    bool m_newWorldOpened = false;
    bool m_phaseTimerArmed = false;
    bool m_questScrollShown = false;
    std::vector<int32_t> m_phaseLog;
    WidgetFadeTween m_chooserDimmerFade;
    std::array<std::deque<FRef>, 4> m_questDescriptions;
    int32_t m_middleQuest = -1;
    std::array<FPointI, 2> m_rollerOpen{};
    std::array<FPointI, 2> m_rollerClosed{};
    std::array<FMoveTween, 2> m_rollerMoves;
    std::array<bool, 2> m_rollerArrived{};
    int32_t m_awardStarIndex = 0;
    WidgetFadeTween m_awardStarFade;
    WidgetFadeTween m_awardIconFade;
    WidgetFadeTween m_awardPanelFade;
    FTimerTween m_awardTimer;
    FTimerTween m_awardHideDelay;
    std::vector<FRef> m_storyClips;
    std::vector<bool> m_storySpeakers;
    FTimerTween m_storyClipTimer;
    std::array<std::vector<FRef>, k_poolCount> m_guideVoicePools;
    // Per speaker: frame, sprite and the third widget hidden with the panel.
    std::array<std::array<FWidget*, 3>, 2> m_speakerPanels{};
    std::array<WidgetFadeTween, 2> m_panelFrameFades;
    std::array<WidgetFadeTween, 2> m_panelSpriteFades;
    std::array<FPointI, 2> m_tripRestPoints{};
    std::array<FMoveTween, 2> m_tripMoves;
    WidgetFadeTween m_tripCoverFade;
    WidgetFadeTween m_tripArrivalFade;
    FTimerTween m_tripSoundTimer;
    GameStructure::Result m_lastResult;
    std::vector<QuestProgress> m_seenOpenQuests;
    std::vector<QuestProgress> m_newOpenQuests;
    int32_t m_reminderIndex = 0;

    bool m_glideActive = false;
    FPointI m_glideTarget{0, 0};
    int32_t m_glideAccumulator = 0;

    std::unique_ptr<ParticlePool> m_sparklePool;
    std::unique_ptr<ParticleGroup> m_sparkleGroup;
    std::unique_ptr<ParticlePool> m_launchPool;
    std::unique_ptr<ParticleGroup> m_launchGroup;
    std::array<FRefT<ParticleEmitter>, 2> m_selectionSparkles;
    bool m_sparklesOn = false;
    FRefT<ParticleEmitter> m_launchSweep;
};
