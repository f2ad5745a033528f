// The presentation phases that run on every visit before the player gets
// the map: loading, the stars just earned, a new map piece, the ending when
// it is due, a story break, a new world and the reminders of new quests;
// then the hand-over. Also the ending itself and the answer to the
// special-quest question.
#include "game/worldmap/WorldMapScreen.h"

#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapServices.h"

#include "asset/FScreenRegistry.h"
#include "core/FMemory.h"
#include "game/core/GameSession.h"
#include "game/core/PlayerProfile.h"
#include "game/core/Quest.h"
#include "game/core/ScreenKind.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

#include <algorithm>

namespace {

constexpr int32_t k_firstGiftLine = 0x1141;
constexpr int32_t k_mapMusic = 0x1191;
constexpr int32_t k_normalEndingClip = 0x10B0;
constexpr int32_t k_perfectEndingClip = 0x10C3;
constexpr int32_t k_endingSound = 0x1184;
constexpr int32_t k_endingFps = 15;
constexpr int32_t k_awardHideDelayMs = 500;
constexpr int32_t k_awardIconFadeMs = 500;
constexpr int32_t k_awardPanelFadeMs = 700;
// The award icon by quest type: 1, 2, 3, and every other type.
constexpr int32_t k_awardIconType1 = 0x10B4;
constexpr int32_t k_awardIconType2 = 0x10B5;
constexpr int32_t k_awardIconType3 = 0x10B2;
constexpr int32_t k_awardIconOther = 0x10B3;
// The last story quest.
constexpr int32_t k_lastStoryQuest = 11;

} // namespace

void WorldMapScreen::beginPhase()
{
    m_phaseLog.push_back(m_phase);
    switch (m_phase) {
    case k_phaseLoading:
        beginLoadingPhase();
        break;
    case k_phaseAward:
        beginAwardPhase();
        break;
    case k_phaseNewMapPiece:
        beginNewMapPiecePhase();
        break;
    case k_phaseGameComplete:
        if (isGameCompleteDue())
            startEnding();
        else
            endPhase();
        break;
    case k_phaseStoryBreak:
        if (isStoryBreakDue() || m_freshEntry) {
            playStoryBreak();
            resetGuide();
            if (PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr) {
                profile->setSeenFlag(m_lastResult.questId);
                services()->saveProfile();
            }
            runPhaseTutorial();
        } else {
            endPhase();
        }
        break;
    case k_phaseNewWorld:
        m_phaseTimerArmed = false;
        m_newWorldOpened = openFirstNewWorld();
        if (!m_newWorldOpened) {
            endPhase();
        } else if (!m_guideHasSpoken) {
            runPhaseTutorial();
        }
        break;
    case k_phaseQuestReminders:
        beginReminderPass();
        break;
    case k_phaseDone:
        if (m_shownNode.get() != nullptr) {
            if (m_longTrip)
                centerLeftOfLevel(m_shownNode->m_index);
            else
                centerAroundLevel(m_shownNode->m_index);
        }
        break;
    default:
        break;
    }
}

void WorldMapScreen::endPhase()
{
    int32_t next = k_phaseDone;
    switch (m_phase) {
    case k_phaseLoading:
        next = k_phaseAward;
        break;
    case k_phaseAward:
        next = k_phaseNewMapPiece;
        break;
    case k_phaseNewMapPiece:
        hideSpeakerPanel(k_speakerB);
        next = k_phaseGameComplete;
        break;
    case k_phaseGameComplete:
        next = k_phaseStoryBreak;
        break;
    case k_phaseStoryBreak:
        if (m_longTrip) hideSpeakerPanel(k_speakerB);
        hideSpeakerPanel(k_speakerA);
        next = k_phaseNewWorld;
        break;
    case k_phaseNewWorld:
        if (GameSession* game = session(); game != nullptr) game->clearNewWorlds();
        createWorldNameLabels();
        next = k_phaseQuestReminders;
        break;
    case k_phaseQuestReminders:
        if (GameSession* game = session(); game != nullptr) game->clearNewQuests();
        m_shownNode = m_activeNode;
        if (WorldMapServices* host = services(); host != nullptr) {
            host->stopAmbientSound();
            if (!m_longTrip) host->playMusic(asset(k_mapMusic), false);
        }
        next = k_phaseDone;
        break;
    default:
        // The hand-over has no end.
        return;
    }
    m_phase = next;
    beginPhase();
}

void WorldMapScreen::beginLoadingPhase()
{
    buildWorldNodes();
    splitOpenQuests();
    restoreWorlds();
    restoreQuestTags();
    restoreMapPieces();
    if (m_lastResult.questId != -1) prepareAwardPanel();
    if (WorldMapServices* host = services(); host != nullptr) {
        auto* finished = makeMemberDelegate(this, &WorldMapScreen::onVoiceFinished);
        host->setVoiceFinishedCallback(finished);
        engineFree(finished);
    }
    // One step of the loading phase shows restored tags at their last frame.
    updateNodes(0);
}

void WorldMapScreen::prepareAwardPanel()
{
    int32_t icon = k_awardIconOther;
    if (GameSession* game = session(); game != nullptr) {
        if (Quest* quest = game->findQuestByKey(m_lastResult.questId); quest != nullptr) {
            if (quest->questType() == 1) icon = k_awardIconType1;
            if (quest->questType() == 2) icon = k_awardIconType2;
            if (quest->questType() == 3) icon = k_awardIconType3;
        }
    }
    if (m_awardIcon.get() != nullptr) {
        m_awardIcon->setImage(FRefT<FImage>(asset(icon)), false);
        m_awardIcon->setWidgetAlpha(255);
        m_awardIcon->setVisible(true);
        m_awardIcon->bringToFront();
    }
    if (m_awardPanel.get() != nullptr) {
        m_awardPanel->setWidgetAlpha(255);
        m_awardPanel->setVisible(true);
    }
    for (const FRefT<FWidget>& star : m_awardStars) {
        star->setWidgetAlpha(0);
        star->setVisible(true);
        star->bringToFront();
    }
    if (m_awardMarker.get() != nullptr && m_lastResult.world >= 0 && m_lastResult.world < k_worldCount) {
        const FPointI at = node(m_lastResult.world, "the last result").m_tagPoint;
        m_awardMarker->setWidgetPosition(at.x, at.y);
        m_awardMarker->setVisible(true);
    }
}

void WorldMapScreen::beginAwardPhase()
{
    if (m_lastResult.questId == -1) {
        endPhase();
        return;
    }
    m_awardStarIndex = 0;
    if (m_lastResult.world >= 0 && m_lastResult.world < k_worldCount) centerAroundLevel(m_lastResult.world);
    onAwardStarStep();
}

void WorldMapScreen::onAwardStarStep()
{
    // A damaged profile may hold a state above six: never more stars than
    // the panel has.
    const int32_t earned = std::clamp(m_lastResult.state - 1, 0, static_cast<int32_t>(m_awardStars.size()));
    if (m_awardStarIndex < earned) {
        m_awardStarFade.target = m_awardStars[static_cast<std::size_t>(m_awardStarIndex)].get();
        startAlphaFade(m_awardStarFade, 255, k_starFadeMs);
        ++m_awardStarIndex;
        return;
    }
    m_awardTimer.start(k_awardPauseMs);
}

void WorldMapScreen::onAwardTimer()
{
    if (m_phase == k_phaseAward) endPhase();
}

void WorldMapScreen::beginNewMapPiecePhase()
{
    if (m_lastResult.questId == -1) {
        endPhase();
        return;
    }
    m_phaseTimerArmed = false;
    for (const FRefT<FWidget>& star : m_awardStars)
        star->setVisible(false);
    m_awardHideDelay.start(k_awardHideDelayMs);
    if (m_lastResult.state == k_fiveStars && revealResultMapPiece()) runPhaseTutorial();
}

bool WorldMapScreen::isGameCompleteDue()
{
    PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr;
    if (profile == nullptr) return false;
    if (m_lastResult.questId == k_lastStoryQuest && !profile->flag(PlayerProfile::k_seenEndGame)) return true;
    if (profile->getTotalStars() == k_allStars) {
        m_perfectEnding = true;
        return true;
    }
    return false;
}

void WorldMapScreen::beginReminderPass()
{
    GameSession* game = session();
    const QuestProgress* presented = nullptr;
    QuestProgress newWorldQuest{};
    if (m_newWorldOpened) {
        m_newWorldOpened = false;
        // The new world's first type-0 quest; it leaves the list, so that
        // the walk below does not present it again.
        for (auto it = m_newOpenQuests.begin(); it != m_newOpenQuests.end(); ++it) {
            Quest* quest = game != nullptr ? game->findQuestByKey(it->questId) : nullptr;
            if (quest != nullptr && quest->questType() == 0) {
                newWorldQuest = *it;
                presented = &newWorldQuest;
                m_newOpenQuests.erase(it);
                break;
            }
        }
    }
    // The reminder index is the one owner of the walk: it moves on only here,
    // when a reminder is presented.
    if (presented == nullptr) {
        if (m_reminderIndex < 0 || m_reminderIndex >= static_cast<int32_t>(m_newOpenQuests.size())) {
            endPhaseTutorial();
            endPhase();
            return;
        }
        presented = &m_newOpenQuests[static_cast<std::size_t>(m_reminderIndex)];
        ++m_reminderIndex;
    }
    Quest* quest = game != nullptr ? game->findQuestByKey(presented->questId) : nullptr;
    m_reminderType = quest != nullptr ? quest->questType() : -1;
    // A record of a world outside the map is a failure report naming it.
    const int32_t world = presented->world;
    WorldMapNode& target = node(world, "the new quests");
    target.playTagAnimation(m_reminderType);
    if (m_reminderType == 3) startLongTrip(world);
    if (m_activeNode.get() != nullptr) m_activeNode->m_isActive = false;
    m_activeNode = m_worldNodes[static_cast<std::size_t>(world)];
    if (!m_guideHasSpoken) runPhaseTutorial();
}

void WorldMapScreen::handOver()
{
    if (m_activeNode.get() == nullptr && !m_worldNodes.empty()) m_activeNode = m_worldNodes[0];
    m_mode = k_modeBrowse;
    if (!m_menuButton->isVisible()) m_menuButton->setVisible(true);
}

void WorldMapScreen::updatePhase(int32_t elapsed)
{
    if (m_phase == k_phaseAward || m_phase == k_phaseNewMapPiece) {
        if (m_awardStarFade.isActive()) m_awardStarFade.update(elapsed);
        if (m_awardTimer.isActive()) m_awardTimer.update(elapsed);
        if (m_awardHideDelay.isActive()) {
            m_awardHideDelay.update(elapsed);
            if (!m_awardHideDelay.isActive()) {
                m_awardIconFade.target = m_awardIcon.get();
                m_awardPanelFade.target = m_awardPanel.get();
                startAlphaFade(m_awardIconFade, 0, k_awardIconFadeMs);
                startAlphaFade(m_awardPanelFade, 0, k_awardPanelFadeMs);
            }
        }
        if (m_awardIconFade.isActive()) m_awardIconFade.update(elapsed);
        if (m_awardPanelFade.isActive()) m_awardPanelFade.update(elapsed);
    }
    switch (m_phase) {
    case k_phaseLoading: {
        const bool animating = std::any_of(m_worldNodes.begin(), m_worldNodes.end(),
                                           [](const FRefT<WorldMapNode>& n) { return n->m_tagAnimating; });
        if (!animating) endPhase();
        break;
    }
    case k_phaseNewMapPiece: {
        const bool revealing = std::any_of(m_worldNodes.begin(), m_worldNodes.end(),
                                           [](const FRefT<WorldMapNode>& n) { return n->m_pieceRevealing; });
        if (revealing || m_voicePlaying || m_giftVoice || m_phaseTimerArmed) break;
        PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr;
        if (m_mapPieceRevealed && profile != nullptr && !profile->flag(PlayerProfile::k_receivedGift)) {
            showSpeakerPanel(k_speakerB);
            profile->setFlag(PlayerProfile::k_receivedGift, true);
            services()->saveProfile();
            speakAs(k_speakerB, asset(k_firstGiftLine));
            m_giftVoice = true;
            m_dropFirstClip = true;
        } else {
            m_phaseTimerArmed = true;
            m_phaseTimer.start(k_phasePauseMs);
        }
        break;
    }
    case k_phaseStoryBreak:
        if (m_clipDone) {
            m_clipDone = false;
            if (!m_storyClips.empty()) {
                m_storyClips.pop_back();
                m_storySpeakers.pop_back();
            }
            runPhaseTutorial();
        }
        break;
    case k_phaseNewWorld: {
        if (m_openTimer.isActive()) m_openTimer.update(elapsed);
        const bool opening = std::any_of(m_worldNodes.begin(), m_worldNodes.end(),
                                         [](const FRefT<WorldMapNode>& n) { return n->m_openReveal; });
        if (!opening && !m_phaseTimerArmed) {
            m_phaseTimerArmed = true;
            m_phaseTimer.start(k_phasePauseMs);
        }
        break;
    }
    case k_phaseQuestReminders: {
        const bool animating = std::any_of(m_worldNodes.begin(), m_worldNodes.end(),
                                           [](const FRefT<WorldMapNode>& n) { return n->m_tagAnimating; });
        if (!animating) beginPhase();
        break;
    }
    case k_phaseDone:
        handOver();
        break;
    default:
        break;
    }
}

void WorldMapScreen::onPhaseTimer()
{
    if (m_phase == k_phaseNewMapPiece || m_phase == k_phaseNewWorld) endPhase();
}

// ---- the ending ----

void WorldMapScreen::startEnding()
{
    PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr;
    const bool seen =
        profile == nullptr || (m_perfectEnding ? profile->flag(PlayerProfile::k_seenPerfectEndGame)
                                               : profile->flag(PlayerProfile::k_seenEndGame));
    if (seen) {
        endPhase();
        return;
    }
    m_endingPanel->setWidgetAlpha(0);
    m_endingPanel->bringToFront();
    m_endingPanel->setVisible(true);
    startAlphaFade(m_endingFade, 255, k_endingFadeMs);
}

VideoSprite* WorldMapScreen::endingSprite() const
{
    return dynamic_cast<VideoSprite*>(m_endingSprite.get());
}

void WorldMapScreen::onEndingShown()
{
    if (m_tripCover.get() != nullptr) m_tripCover->bringToFront();
    VideoSprite* sprite = endingSprite();
    if (sprite != nullptr) sprite->bringToFront();
    m_closeScrollButton->setVisible(false);
    if (PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr) {
        // Saved before the clip: leaving during it still counts as seen.
        profile->setFlag(m_perfectEnding ? PlayerProfile::k_seenPerfectEndGame : PlayerProfile::k_seenEndGame,
                         true);
        profile->setChanged();
        services()->saveProfile();
    }
    playSound(asset(k_endingSound));
    if (sprite == nullptr) return;
    sprite->setVideo(FRefT<FVideo>(asset(m_perfectEnding ? k_perfectEndingClip : k_normalEndingClip)), false);
    sprite->setAnimationFrameRate(k_endingFps);
    sprite->setLoops(0);
    const FPointI size = screenSize();
    sprite->setWidgetRect(
        {sprite->rect().left, sprite->rect().top, sprite->rect().left + size.x, sprite->rect().top + size.y});
    auto* finished = makeMemberDelegate(this, &WorldMapScreen::onEndingClipFinished);
    sprite->setFinishCallback(finished);
    engineFree(finished);
    sprite->setVisible(true);
    sprite->play(false);
    if (m_endingEmblem.get() != nullptr) {
        // The emblem waits at scale 0 (nothing grows it).
        m_endingEmblem->setWidgetAlpha(0);
        m_endingEmblem->setVisible(true);
    }
}

void WorldMapScreen::onEndingClipFinished(VideoSprite&)
{
    if (!m_perfectEnding) {
        if (WorldMapServices* host = services(); host != nullptr) {
            host->setPendingScreen(k_textSequenceScreen);
            host->setScreen(k_loadingScreen, false);
        }
        m_leaving = true;
        return;
    }
    if (VideoSprite* sprite = endingSprite(); sprite != nullptr) sprite->setVisible(false);
    m_endingPanel->bringToFront();
    startAlphaFade(m_endingFade, 0, k_endingFadeMs);
}

void WorldMapScreen::onEndingFadeDone()
{
    // The same fade shows the panel and, after the perfect ending's clip,
    // hides it again.
    if ((m_endingPanel->widgetColour() >> 24) == 255)
        onEndingShown();
    else
        onEndingHidden();
}

void WorldMapScreen::onEndingHidden()
{
    m_endingPanel->setVisible(false);
    if (m_phase == k_phaseGameComplete) endPhase();
}

// ---- the special-quest question ----

void WorldMapScreen::askSpecialQuestQuestion()
{
    pushQuestion(m_specialQuestQuestion, m_confirmLabel, m_cancelLabel, k_specialQuestQuestion, true, true);
}

void WorldMapScreen::onConfirmMessage(int32_t kind)
{
    if (kind != k_specialQuestQuestion) {
        ScreenLayout14::onConfirmMessage(kind);
        return;
    }
    if (GameSession* game = session(); game != nullptr) {
        game->setSpecialQuest(true);
        if (game->currentQuest() == nullptr) game->selectQuest(GameStructure::k_specialQuestType);
    }
    m_mode = k_modeLaunch;
}

void WorldMapScreen::onCancel()
{
    if (getFrontMessageKind() != k_specialQuestQuestion) {
        ScreenLayout14::onCancel();
        return;
    }
    if (GameSession* game = session(); game != nullptr) game->setSpecialQuest(false);
    m_mode = k_modeLaunch;
}
