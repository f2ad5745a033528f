#include "game/worldmap/WorldMapScreen.h"

#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapScroll.h"
#include "game/worldmap/WorldMapServices.h"

#include "asset/FScreenRegistry.h"
#include "core/FErrorMessage.h"
#include "core/FLocalizedMessages.h"
#include "core/FMemory.h"
#include "game/core/GameSession.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ScreenKind.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

namespace {

constexpr int32_t k_fullScreenImage = 6674;
constexpr int32_t k_revealSparkleClip = 0x10B9;
constexpr int32_t k_playSound = 0x10C9;

// The ambient sprites of each world in the order the building places them,
// with the position of the anchor among them.
struct WorldAmbient
{
    std::vector<uint32_t> sprites;
    int32_t anchor;
};

const std::array<WorldAmbient, 12>& worldAmbients()
{
    static const std::array<WorldAmbient, 12> k_ambients = {{
        {{0x487e6360u}, 0},
        {{0x59604dc1u, 0x5b161cbdu, 0x9ebbcffau}, 0},
        {{0xb5738c0bu}, 0},
        {{0x55a87fe7u, 0x49ee2df6u, 0x1c9dd7cdu}, 2},
        {{0xb3637457u, 0xec07714fu}, 1},
        {{0x0b16d5d6u, 0x921f846cu, 0xe518b4fau, 0x75e09635u, 0xf2538be4u, 0x8d059a70u, 0x4eb6cd00u}, 0},
        {{0xbb34d398u, 0x64a09d22u, 0xcfd15f74u, 0xb8d66fe2u}, 1},
        {{0x99a0b2e2u, 0x0ac12491u, 0x5241c581u, 0x80384c7eu, 0x40bfb6c7u}, 1},
        {{0xf594403cu, 0x742721a9u, 0xb40d6eb9u, 0xccd0d39eu}, 0},
        {{0x266262b7u}, 0},
        {{0x8bbac2cfu, 0xb2804885u, 0xd91feda6u}, 2},
        {{0xec315b16u, 0xf5aaa561u, 0x72f1e9dau, 0xe08d12f2u, 0xc3a56343u}, 1},
    }};
    return k_ambients;
}

// One clip per ambient sprite, 0x1088 to 0x10AE in world order of the
// layout; 0x1092 is world 3's second sprite's, which its three sprites need.
const std::array<std::vector<int32_t>, 12>& worldClips()
{
    static const std::array<std::vector<int32_t>, 12> k_clips = {{
        {0x1088},
        {0x108D, 0x108E, 0x108F},
        {0x1090},
        {0x1091, 0x1092, 0x1093},
        {0x1094, 0x1095},
        {0x1096, 0x1097, 0x1098, 0x1099, 0x109A, 0x109B, 0x109C},
        {0x109D, 0x109E, 0x109F, 0x10A0},
        {0x10A1, 0x10A2, 0x10A3, 0x10A4, 0x10A5},
        {0x10A6, 0x10A7, 0x10A8, 0x10A9},
        {0x1089},
        {0x108A, 0x108B, 0x108C},
        {0x10AA, 0x10AB, 0x10AC, 0x10AD, 0x10AE},
    }};
    return k_clips;
}

} // namespace

WorldMapScreen::WorldMapScreen()
{
    for (FTween* tween : std::initializer_list<FTween*>{
             &m_phaseTimer,         &m_launchTimer,         &m_openTimer,           &m_endingFade,
             &m_awardStarFade,      &m_awardIconFade,       &m_awardPanelFade,      &m_awardTimer,
             &m_awardHideDelay,     &m_storyClipTimer,      &m_tripMoves[0],        &m_tripMoves[1],
             &m_tripCoverFade,      &m_tripArrivalFade,     &m_tripSoundTimer,      &m_panelFrameFades[0],
             &m_panelFrameFades[1], &m_panelSpriteFades[0], &m_panelSpriteFades[1], &m_chooserDimmerFade,
             &m_rollerMoves[0],     &m_rollerMoves[1]})
        tween->setSpeed(1.0f);
    buildQuestDescriptions();

    m_revealSparkle = makeRef(engineNew<VideoSprite>(k_memObject, mapContainerWidget(), true));
    m_revealSparkle->setVideo(FRefT<FVideo>(asset(k_revealSparkleClip)), true);
    m_revealSparkle->setAnimationFrameRate(k_revealSparkleFps);
    m_revealSparkle->setLoops(0);
    m_revealSparkle->setVisible(false);
    m_revealSparkle->setHitTestDisabled(true);

    m_endingPanel = makeRef(engineNew<FImageWidget>(k_memObject, this, true));
    if (const FRef full = FLayoutBinding::registry().findInSecond(k_fullScreenImage); full.get() != nullptr)
        m_endingPanel->setImage(FRefT<FImage>(full), false);
    const FPointI size = screenSize();
    m_endingPanel->setWidgetRect({m_endingPanel->rect().left, m_endingPanel->rect().top,
                                  m_endingPanel->rect().left + size.x, m_endingPanel->rect().top + size.y});
    m_endingPanel->setVisible(false);
    m_endingPanel->setHitTestDisabled(true);
}

WorldMapScreen::~WorldMapScreen()
{
    m_worldNodes.clear();
    if (WorldMapServices* host = services(); host != nullptr) host->setVoiceFinishedCallback(nullptr);
    m_activeNode.release();
    m_shownNode.release();
    for (FRefT<ParticleEmitter>& sparkle : m_selectionSparkles)
        sparkle.release();
    m_launchSweep.release();
}

WorldMapServices* WorldMapScreen::services() const
{
    return WorldMapServices::instance();
}

GameSession* WorldMapScreen::session() const
{
    WorldMapServices* host = services();
    return host != nullptr ? host->gameSession() : nullptr;
}

FContainer* WorldMapScreen::mapContainerWidget() const
{
    return m_mapContainer.get();
}

FRef WorldMapScreen::asset(int32_t id) const
{
    // Every asset of the folder is a member; the registry holds them by id
    // while the folder is bound, which it is for the screen's life.
    return m_binding.fetchAsset(FLayoutBinding::registry(), id);
}

FPointI WorldMapScreen::screenSize() const
{
    return {width() > 0 ? width() : logicalWidth(), height() > 0 ? height() : logicalHeight()};
}

FPointI WorldMapScreen::pictureSize() const
{
    return m_mapPicture.get() != nullptr ? m_mapPicture->getWidgetSize() : FPointI{0, 0};
}

FPointI WorldMapScreen::mapOffset() const
{
    return m_mapContainer->scrollOffset();
}

bool WorldMapScreen::worldOpen(int32_t world) const
{
    GameSession* game = session();
    if (game == nullptr) return false;
    if (world < 0 || world >= static_cast<int32_t>(game->structure().worlds().size())) return false;
    return game->getWorldFlag(world);
}

WorldMapNode& WorldMapScreen::node(int32_t world, const char* source)
{
    if (world < 0 || world >= static_cast<int32_t>(m_worldNodes.size()) ||
        m_worldNodes[world].get() == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "world map: world index "
                                            << world << " from " << source << " is outside the map's "
                                            << static_cast<int32_t>(m_worldNodes.size()) << " worlds");
    return *m_worldNodes[world];
}

std::vector<FRefT<VideoSprite>> WorldMapScreen::ambientSpritesOf(int32_t world) const
{
    std::vector<FRefT<VideoSprite>> sprites;
    if (world < 0 || world >= k_worldCount) return sprites;
    for (uint32_t id : worldAmbients()[world].sprites) {
        FRef widget = m_binding.fetchWidget(FLayoutBinding::registry(), static_cast<int32_t>(id));
        if (dynamic_cast<VideoSprite*>(static_cast<FWidget*>(widget.get())) == nullptr)
            ZIBBO_FAIL(msgIllegalOperation,
                       "world map: ambient sprite " << static_cast<int64_t>(id) << " is no video sprite");
        sprites.push_back(FRefT<VideoSprite>(widget));
    }
    return sprites;
}

int32_t WorldMapScreen::anchorIndexOf(int32_t world)
{
    return world >= 0 && world < k_worldCount ? worldAmbients()[world].anchor : 0;
}

std::vector<int32_t> WorldMapScreen::ambientClipsOf(int32_t world)
{
    return world >= 0 && world < k_worldCount ? worldClips()[world] : std::vector<int32_t>{};
}

const std::vector<FRefT<FWidget>>& WorldMapScreen::layoutPieces(int32_t world) const
{
    const std::vector<FRefT<FWidget>>* lists[k_worldCount] = {
        &m_worldPieces0, &m_worldPieces1, &m_worldPieces2,  &m_worldPieces3,
        &m_worldPieces4, &m_worldPieces5, &m_worldPieces6,  &m_worldPieces7,
        &m_worldPieces8, &m_worldPieces9, &m_worldPieces10, &m_worldPieces11,
    };
    if (world < 0 || world >= k_worldCount)
        ZIBBO_FAIL(msgIllegalOperation, "world map: no piece list for world index " << world);
    return *lists[world];
}

void WorldMapScreen::playSound(const FRef& sound)
{
    if (WorldMapServices* host = services(); host != nullptr && sound.get() != nullptr)
        host->playSound(sound, k_soundVolume);
}

void WorldMapScreen::placeMapPicture()
{
    const int32_t m = WorldMapScroll::margin(screenSize().x);
    const FRectI& container = m_mapContainer->rect();
    m_mapPicture->setWidgetRect(
        {container.left - m, container.top - m, container.right + m, container.bottom + m});
}

void WorldMapScreen::decideNewData()
{
    WorldMapServices* host = services();
    const int32_t previous = host != nullptr ? host->previousScreenKind() : k_noScreen;
    const bool fromLevelWithResult = previous == k_storyModeScreen && m_lastResult.questId != -1;
    const bool keep =
        fromLevelWithResult || previous == k_avatarSelectScreen || previous == k_profileMenuScreen;
    if (!keep) {
        if (PlayerProfile* profile = host != nullptr ? host->currentProfile() : nullptr; profile != nullptr) {
            profile->newWorlds().clear();
            profile->newQuests().clear();
        }
    }
    m_freshEntry = !keep && previous != k_storyModeScreen;
}

void WorldMapScreen::onActivate()
{
    WorldMapServices* host = services();
    if (host != nullptr) host->prepareScreen(this);
    m_endingPanel->setVisible(false);
    m_endingPanel->setWidgetAlpha(0);
    m_endingFade.target = m_endingPanel.get();
    if (m_awardMarker.get() != nullptr) m_awardMarker->setVisible(false);
    placeMapPicture();
    resetGuide();
    prepareQuestChooser();
    createParticleLayers();
    prepareQuestScroll();
    prepareLongTripPanels();

    setTweenCompletions();

    GameSession* game = session();
    if (game != nullptr) {
        game->structure().initialize();
        if (PlayerProfile* profile = host->currentProfile(); profile != nullptr)
            game->setNormalDifficulty(profile->difficulty());
        m_lastResult = game->structure().lastResult();
        game->structure().resetLastResult();
    }
    m_phase = k_phaseLoading;
    m_mode = k_modePhases;
    m_reminderIndex = 0;
    m_voicePlaying = false;
    m_panelHiding = false;
    m_newWorldOpened = false;
    decideNewData();
    if (isStoryBreakDue()) {
        // The guides' clips are loaded now, not in the middle of the break.
        for (Speaker speaker : {k_speakerA, k_speakerB}) {
            if (!needsSpeakerVideos(speaker)) continue;
            const FRef idle = speaker == k_speakerA ? m_speakerAClip1 : m_speakerBClip1;
            const FRef talk = speaker == k_speakerA ? m_speakerAClip2 : m_speakerBClip2;
            for (const FRef& clip : {idle, talk}) {
                if (const FRefT<FVideo> video(clip); video.get() != nullptr) video->ensureLoaded();
            }
        }
    }

    m_menuButton->setVisible(false);
    beginPhase();
    m_menuButton->bringToFront();
    m_dragEnabled = true;
    m_mapContainer->setScale({1.0f, 1.0f});
    clampMapOffset();
}

template <class Tween>
void setMapCompletion(Tween& tween, WorldMapScreen* screen, void (WorldMapScreen::*handler)())
{
    auto* completion = makeMemberDelegate(screen, handler);
    tween.setCompletion(completion);
    engineFree(completion);
}

void WorldMapScreen::setTweenCompletions()
{
    // Set once: a completion that replaced its own tween's completion would
    // free the delegate that is running.
    setMapCompletion(m_storyClipTimer, this, &WorldMapScreen::playNextStoryClip);
    setMapCompletion(m_phaseTimer, this, &WorldMapScreen::onPhaseTimer);
    setMapCompletion(m_launchTimer, this, &WorldMapScreen::onLaunchTimer);
    setMapCompletion(m_openTimer, this, &WorldMapScreen::onNodeTweenDone);
    setMapCompletion(m_tripSoundTimer, this, &WorldMapScreen::playLongTripSound);
    setMapCompletion(m_awardStarFade, this, &WorldMapScreen::onAwardStarStep);
    setMapCompletion(m_awardTimer, this, &WorldMapScreen::onAwardTimer);
    setMapCompletion(m_endingFade, this, &WorldMapScreen::onEndingFadeDone);
    setMapCompletion(m_panelFrameFades[k_speakerA], this, &WorldMapScreen::onSpeakerAFrameShown);
    setMapCompletion(m_panelFrameFades[k_speakerB], this, &WorldMapScreen::onSpeakerBFrameShown);
    setMapCompletion(m_tripMoves[0], this, &WorldMapScreen::onTripPanelArrived);
    setMapCompletion(m_tripCoverFade, this, &WorldMapScreen::onTripCoverShown);
    setMapCompletion(m_tripArrivalFade, this, &WorldMapScreen::onTripArrivalShown);
    setMapCompletion(m_rollerMoves[0], this, &WorldMapScreen::onScrollRollerAArrived);
    setMapCompletion(m_rollerMoves[1], this, &WorldMapScreen::onScrollRollerBArrived);
}

void WorldMapScreen::splitOpenQuests()
{
    m_seenOpenQuests.clear();
    m_newOpenQuests.clear();
    GameSession* game = session();
    if (game == nullptr) return;
    std::vector<QuestProgress> open;
    game->copyOpenQuests(open);
    PlayerProfile* profile = services()->currentProfile();
    for (const QuestProgress& quest : open) {
        if (profile != nullptr && profile->isQuestNew(quest.questId))
            m_newOpenQuests.push_back(quest);
        else
            m_seenOpenQuests.push_back(quest);
    }
}

void WorldMapScreen::update(int32_t elapsed)
{
    ScreenLayout14::update(elapsed);
    if (WorldMapServices* host = services(); host != nullptr && host->isGamePaused()) return;
    if (m_phaseTimer.isActive()) m_phaseTimer.update(elapsed);
    if (m_voiceEndPending) onVoiceFinished();
    switch (m_mode) {
    case k_modePhases:
        updatePhase(elapsed);
        updateNodes(elapsed);
        break;
    case k_modeBrowse:
        updateNodes(elapsed);
        if (m_activeNode.get() != nullptr) {
            clearNodeHighlights();
            m_activeNode->m_isActive = true;
            if (!m_sparklesOn && worldOpen(m_activeNode->m_index)) startSelectionSparkles(*m_activeNode);
        }
        break;
    case k_modeQuestChooser:
        if (m_chooserDimmerFade.isActive())
            m_chooserDimmerFade.update(elapsed);
        else
            fadeInQuestChooser(elapsed);
        updateNodes(elapsed);
        break;
    case k_modeQuestScroll:
        updateQuestScroll(elapsed);
        break;
    case k_modeLaunch:
        updateParticleLayers(elapsed);
        m_dragState = k_dragIdle;
        if (GameSession* game = session(); game != nullptr) {
            game->clearNewWorlds();
            game->clearNewQuests();
        }
        break;
    }
    if (m_longTrip) updateLongTrip(elapsed);
    if (m_tripCoverFade.isActive()) m_tripCoverFade.update(elapsed);
    if (m_endingFade.isActive()) m_endingFade.update(elapsed);
    // The panels' fades run whenever one is active, so that a guide shows
    // while idling before a line, not only once the line starts.
    updateGuidePanels(elapsed);
    updateGlide(elapsed);
    updateDrag(elapsed);
    if (m_storyClipTimer.isActive()) m_storyClipTimer.update(elapsed);
    if (m_launchTimer.isActive()) m_launchTimer.update(elapsed);
    if (VideoSprite* ending = endingSprite(); ending != nullptr && ending->isPlaying())
        ending->update(elapsed);
}

void WorldMapScreen::updateNodes(int32_t elapsed)
{
    for (const FRefT<WorldMapNode>& world : m_worldNodes)
        world->update(elapsed);
    updateParticleLayers(elapsed);
}

void WorldMapScreen::clearNodeHighlights()
{
    for (const FRefT<WorldMapNode>& world : m_worldNodes)
        world->m_isActive = false;
}

void WorldMapScreen::onNodeTweenDone()
{
    m_nodeTweenDone = true;
}

void WorldMapScreen::onBackToMenuClicked(FLayoutButton&)
{
    if (m_mode != k_modeBrowse || m_leaving) return;
    m_leaving = true;
    WorldMapServices* host = services();
    if (host == nullptr) return;
    host->stopAllSounds();
    if (const FRef cancel = FLayoutBinding::registry().findInSecond(6634); cancel.get() != nullptr)
        host->playSound(cancel, k_soundVolume);
    host->setPendingScreen(k_mainMenuScreen);
    host->setScreen(k_loadingScreen, false);
}

void WorldMapScreen::onPlayClicked(FLayoutButton&)
{
    if (m_playPressed) return;
    m_playPressed = true;
    WorldMapServices* host = services();
    if (host != nullptr) host->stopVoice();
    startLaunchSweep();
    playSound(asset(k_playSound));
    GameSession* game = session();
    const int32_t quest = game != nullptr ? game->currentQuestType() : -1;
    const int32_t world = game != nullptr ? game->currentWorldIndex() : -1;
    PlayerProfile* profile = host != nullptr ? host->currentProfile() : nullptr;
    if (quest == 0 && world == 0) {
        // The launch waits for the answer.
        askSpecialQuestQuestion();
        return;
    }
    if (quest == 0 && world == 1) {
        if (profile != nullptr && profile->flag(PlayerProfile::k_seenWorld2Tutorial)) {
            askSpecialQuestQuestion();
            return;
        }
        if (game != nullptr) game->setSpecialQuest(true);
        if (profile != nullptr) {
            profile->setFlag(PlayerProfile::k_seenWorld2Tutorial, true);
            profile->setChanged();
            host->saveProfile();
        }
    }
    m_mode = k_modeLaunch;
}

void WorldMapScreen::onLaunchTimer()
{
    if (WorldMapServices* host = services(); host != nullptr) host->setScreen(k_loadingScreen, false);
}
