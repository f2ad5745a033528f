// The two guides that talk on the world map, Vessa (A) and Starmantle (B):
// their panels, their idle and talking clips, the story breaks, the lines
// drawn from the pools, and the long trip that introduces a type-3 quest.
#include "game/worldmap/WorldMapScreen.h"

#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapServices.h"

#include "asset/FScreenRegistry.h"
#include "core/FMemory.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/PlayerProfile.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

namespace {

constexpr int32_t k_speakerFps = 20;
constexpr int32_t k_panelFadeMs[2] = {300, 150};
constexpr int32_t k_panelShowMs = 150;
constexpr int32_t k_reminderType3Line = 0x1123;
constexpr int32_t k_speakerAMusic = 0x10DF;
constexpr int32_t k_storyBreak4Music = 0x1151;
// Quest 34's story break plays the first track of the shared music part.
constexpr int32_t k_quest34Music = 6621;
constexpr int32_t k_tripSound = 0x10C1;
constexpr int32_t k_tripMoveMs = 2500;
constexpr int32_t k_tripFadeMs = 1250;
constexpr int32_t k_tripSoundMs = 5500;
constexpr int32_t k_tripSoundSpreadMs = 3000;

struct StoryLine
{
    int32_t line;
    char speaker;
};

} // namespace

VideoSprite* WorldMapScreen::speakerSprite(Speaker speaker) const
{
    return dynamic_cast<VideoSprite*>(speaker == k_speakerA ? m_speakerA.get() : m_speakerB.get());
}

void WorldMapScreen::resetGuide()
{
    m_speakerPanels = {{{m_speakerAFrame.get(), m_speakerA.get(), m_speakerAName.get()},
                        {m_speakerBFrame.get(), m_speakerB.get(), m_speakerBName.get()}}};
    for (const auto& panel : m_speakerPanels) {
        for (FWidget* widget : panel) {
            if (widget == nullptr) continue;
            widget->setWidgetAlpha(0);
            widget->requestRedraw();
        }
    }
    fillGuideVoicePools();
}

void WorldMapScreen::fillGuideVoicePools()
{
    const struct
    {
        VoicePool pool;
        int32_t first;
        int32_t last;
    } ranges[] = {
        {k_poolMapPiece, 0x112D, 0x1131},  {k_poolReminder1, 0x1132, 0x1136},
        {k_poolReminder2, 0x1137, 0x113B}, {k_poolNewWorld, 0x113C, 0x1140},
        {k_poolReminder3, 0x10E0, 0x10E5},
    };
    for (const auto& range : ranges) {
        for (int32_t id = range.first; id <= range.last; ++id)
            m_guideVoicePools[range.pool].push_back(asset(id));
    }
}

void WorldMapScreen::showSpeakerPanel(Speaker speaker)
{
    m_voicePlaying = true;
    m_panelHiding = false;
    const auto& panel = m_speakerPanels[speaker];
    if (panel[2] != nullptr) panel[2]->setVisible(true);
    for (FWidget* widget : panel) {
        if (widget != nullptr) widget->setVisible(true);
    }
    m_panelFrameFades[speaker].target = panel[0];
    startAlphaFade(m_panelFrameFades[speaker], 255, k_panelShowMs);
    if (panel[2] != nullptr) panel[2]->setWidgetAlpha(255);
}

void WorldMapScreen::onSpeakerFrameShown(Speaker speaker)
{
    FWidget* frame = m_speakerPanels[speaker][0];
    // The guide shows with its frame, also while it idles before a line
    // (when no line plays yet); not once the panel is hiding again.
    if (m_panelHiding || frame == nullptr || (frame->widgetColour() >> 24) != 255) return;
    m_panelSpriteFades[speaker].target = m_speakerPanels[speaker][1];
    startAlphaFade(m_panelSpriteFades[speaker], 255, k_panelShowMs);
}

void WorldMapScreen::onSpeakerAFrameShown()
{
    onSpeakerFrameShown(k_speakerA);
}

void WorldMapScreen::onSpeakerBFrameShown()
{
    onSpeakerFrameShown(k_speakerB);
}

void WorldMapScreen::hideSpeakerPanel(Speaker speaker)
{
    m_panelHiding = true;
    m_voicePlaying = false;
    const auto& panel = m_speakerPanels[speaker];
    m_panelSpriteFades[speaker].target = panel[1];
    startAlphaFade(m_panelSpriteFades[speaker], 0, k_panelFadeMs[speaker]);
    m_panelFrameFades[speaker].target = panel[0];
    startAlphaFade(m_panelFrameFades[speaker], 0, k_panelFadeMs[speaker]);
    if (panel[2] != nullptr) panel[2]->setVisible(false);
}

void WorldMapScreen::playSpeakerIdle(Speaker speaker)
{
    m_voicePlaying = false;
    VideoSprite* sprite = speakerSprite(speaker);
    if (sprite == nullptr) return;
    sprite->setVideo(FRefT<FVideo>(speaker == k_speakerA ? m_speakerAClip1 : m_speakerBClip1), false);
    sprite->setAnimationFrameRate(k_speakerFps);
    sprite->setLoops(0);
    sprite->play(false);
}

void WorldMapScreen::speakAs(Speaker speaker, const FRef& line)
{
    playSpeakerIdle(speaker == k_speakerA ? k_speakerB : k_speakerA);
    m_voicePlaying = true;
    if (VideoSprite* sprite = speakerSprite(speaker)) {
        sprite->setVideo(FRefT<FVideo>(speaker == k_speakerA ? m_speakerAClip2 : m_speakerBClip2), false);
        sprite->setAnimationFrameRate(k_speakerFps);
        sprite->setLoops(-1);
        sprite->play(false);
    }
    WorldMapServices* host = services();
    bool playing = false;
    if (host != nullptr) {
        auto* finished = makeMemberDelegate(this, &WorldMapScreen::onVoiceFinished);
        host->setVoiceFinishedCallback(finished);
        engineFree(finished);
        playing = line.get() != nullptr && host->playVoice(line);
    }
    // A line that cannot be heard (no line, no sound) ends on the next frame,
    // so that a phase waiting for it goes on.
    m_voiceEndPending = !playing;
}

std::vector<std::pair<int32_t, WorldMapScreen::Speaker>> WorldMapScreen::storyBreakLines() const
{
    std::vector<StoryLine> lines;
    PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr;
    auto finished = [profile](int32_t quest) {
        return profile != nullptr && profile->getQuestState(quest) > 0;
    };
    switch (m_lastResult.questId) {
    case 0:
        lines = {{0x1125, 'B'}, {0x1126, 'A'}, {0x1127, 'B'}, {0x1128, 'A'}, {0x1129, 'B'}};
        break;
    case 1:
        lines = {{0x114F, 'A'}, {0x1150, 'A'}};
        break;
    case 3:
        lines = {{0x112B, 'B'}, {0x112C, 'B'}};
        break;
    case 20:
        lines = {{0x1146, 'A'}, {0x1147, 'B'}, {0x1148, 'A'}, {0x1149, 'B'}, {0x114A, 'B'}};
        break;
    case 34:
        lines = {{0x114B, 'B'}, {0x114C, 'B'}};
        break;
    case -1:
        if (finished(11) && !finished(35))
            lines = {{0x114D, 'B'}, {0x114E, 'B'}};
        else
            lines = {{0x1124, 'A'}};
        break;
    default:
        break;
    }
    std::vector<std::pair<int32_t, Speaker>> result;
    for (const StoryLine& line : lines)
        result.emplace_back(line.line, line.speaker == 'B' ? k_speakerB : k_speakerA);
    return result;
}

bool WorldMapScreen::isStoryBreakDue() const
{
    PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr;
    if (profile == nullptr) return false;
    const int32_t quest = m_lastResult.questId;
    if (quest == 0 || quest == 1 || quest == 3 || quest == 20 || quest == 34)
        return !profile->hasSeenFlag(quest);
    if (quest != -1) return false;
    return profile->getQuestState(11) > 0 && profile->getQuestState(35) <= 0 &&
           profile->getQuestState(23) <= 0 && !profile->flag(PlayerProfile::k_seenEndGame);
}

bool WorldMapScreen::needsSpeakerVideos(Speaker speaker) const
{
    for (const auto& [line, who] : storyBreakLines()) {
        if (who == speaker) return true;
    }
    return false;
}

void WorldMapScreen::playStoryBreak()
{
    m_storyClips.clear();
    m_storySpeakers.clear();
    const std::vector<std::pair<int32_t, Speaker>> lines = storyBreakLines();
    // Kept in reverse: the back of the queue plays first.
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        m_storyClips.push_back(asset(it->first));
        m_storySpeakers.push_back(it->second == k_speakerB);
    }
    // The first gift was just spoken: the break's opening line is left out.
    if (m_dropFirstClip && !m_storyClips.empty()) {
        m_storyClips.pop_back();
        m_storySpeakers.pop_back();
    }
}

void WorldMapScreen::runPhaseTutorial()
{
    if (m_phase != k_phaseStoryBreak) hideSpeakerPanel(k_speakerA);
    switch (m_phase) {
    case k_phaseNewMapPiece:
        showSpeakerPanel(k_speakerB);
        speakAs(k_speakerB, pickPoolLine(k_poolMapPiece));
        break;
    case k_phaseStoryBreak: {
        if (m_storyClips.empty()) {
            endPhaseTutorial();
            endPhase();
            return;
        }
        m_guideHasSpoken = true;
        m_clipDone = false;
        WorldMapServices* host = services();
        if (m_storySpeakers.back()) {
            showSpeakerPanel(k_speakerB);
            playSpeakerIdle(k_speakerB);
            if (!m_musicOnceB && host != nullptr) {
                if (m_lastResult.questId == 34) {
                    host->playMusic(FLayoutBinding::registry().findInSecond(k_quest34Music), false);
                    m_musicOnceB = true;
                } else if (m_lastResult.questId == 3) {
                    host->playMusic(asset(k_storyBreak4Music), false);
                    m_musicOnceB = true;
                }
            }
        } else {
            if (!m_musicOnceA && !m_freshEntry) {
                m_musicOnceA = true;
                if (!m_longTrip && host != nullptr) host->playMusic(asset(k_speakerAMusic), false);
            }
            showSpeakerPanel(k_speakerA);
            playSpeakerIdle(k_speakerA);
        }
        m_storyClipTimer.start(k_storyIdleMs);
        break;
    }
    case k_phaseNewWorld:
        showSpeakerPanel(k_speakerB);
        speakAs(k_speakerB, pickPoolLine(k_poolNewWorld));
        break;
    case k_phaseQuestReminders:
        // A type-0 reminder has no line; the long trip speaks its own.
        if (m_reminderType != 0 && !m_longTrip) {
            showSpeakerPanel(k_speakerB);
            speakAs(k_speakerB, pickReminderLine(m_reminderType));
        }
        break;
    default:
        break;
    }
}

void WorldMapScreen::playNextStoryClip()
{
    if (m_mode != k_modePhases || m_phase != k_phaseStoryBreak || m_storyClips.empty()) return;
    speakAs(m_storySpeakers.back() ? k_speakerB : k_speakerA, m_storyClips.back());
}

void WorldMapScreen::endPhaseTutorial()
{
    hideSpeakerPanel(k_speakerB);
    hideSpeakerPanel(k_speakerA);
}

void WorldMapScreen::onVoiceFinished()
{
    m_voicePlaying = false;
    m_voiceEndPending = false;
    switch (m_phase) {
    case k_phaseDone:
        if (WorldMapServices* host = services(); host != nullptr) host->setVoiceFinishedCallback(nullptr);
        endPhaseTutorial();
        break;
    case k_phaseStoryBreak:
        m_clipDone = true;
        break;
    case k_phaseNewMapPiece:
        if (m_giftVoice) {
            m_giftVoice = false;
            endPhase();
            break;
        }
        endPhaseTutorial();
        break;
    default:
        endPhaseTutorial();
        break;
    }
}

bool WorldMapScreen::skipVoiceLine()
{
    WorldMapServices* host = services();
    if (m_phase == k_phaseStoryBreak) {
        if (host != nullptr) host->stopVoice();
        onVoiceFinished();
        return false;
    }
    if (!m_voicePlaying) return false;
    if (host != nullptr) host->stopVoice();
    // The first gift holds its phase until the line ends: a stopped line
    // ends it too, or the map would wait for ever.
    if (m_phase == k_phaseNewMapPiece && m_giftVoice) {
        onVoiceFinished();
        return true;
    }
    hideSpeakerPanel(k_speakerB);
    return true;
}

void WorldMapScreen::updateGuidePanels(int32_t elapsed)
{
    for (int32_t s = 0; s < 2; ++s) {
        if (m_panelFrameFades[s].isActive()) m_panelFrameFades[s].update(elapsed);
        if (m_panelSpriteFades[s].isActive()) m_panelSpriteFades[s].update(elapsed);
        if (VideoSprite* sprite = speakerSprite(static_cast<Speaker>(s));
            sprite != nullptr && sprite->isPlaying())
            sprite->update(elapsed);
    }
    if (!m_panelSpriteFades[0].isActive() && !m_panelSpriteFades[1].isActive()) m_panelHiding = false;
}

FRef WorldMapScreen::pickPoolLine(VoicePool pool)
{
    const std::vector<FRef>& lines = m_guideVoicePools[pool];
    if (lines.empty()) return {};
    return lines[static_cast<std::size_t>(GameRandom::rand()) % lines.size()];
}

FRef WorldMapScreen::pickReminderLine(int32_t questType)
{
    switch (questType) {
    case 1:
        return pickPoolLine(k_poolReminder1);
    case 2:
        return pickPoolLine(k_poolReminder2);
    case 3:
        return m_lastResult.questId == 2 ? asset(k_reminderType3Line) : pickPoolLine(k_poolReminder3);
    default:
        return {};
    }
}

// ---- the long trip ----

void WorldMapScreen::prepareLongTripPanels()
{
    const FPointI size = screenSize();
    FWidget* panels[2] = {m_tripPanelLeft.get(), m_tripPanelRight.get()};
    for (int32_t i = 0; i < 2; ++i) {
        FWidget* panel = panels[i];
        if (panel == nullptr) continue;
        m_tripRestPoints[i] = {panel->rect().left, panel->rect().top};
        panel->setWidgetPosition(i == 0 ? -panel->width() : size.x, panel->rect().top);
        panel->setVisible(true);
        m_tripMoves[i].setTarget(panel);
    }
    for (FWidget* cover :
         {static_cast<FWidget*>(m_tripCover.get()), static_cast<FWidget*>(m_tripArrival.get())}) {
        if (cover == nullptr) continue;
        cover->setWidgetAlpha(0);
        cover->setVisible(true);
    }
    m_tripCoverFade.target = m_tripCover.get();
    m_tripArrivalFade.target = m_tripArrival.get();
}

void WorldMapScreen::startLongTrip(int32_t world)
{
    m_longTrip = true;
    m_dragEnabled = false;
    if (m_mapOverlay.get() != nullptr) m_mapOverlay->bringToFront();
    WorldMapNode& target = node(world, "the long trip");
    if (target.m_nameLabel.get() != nullptr) target.m_nameLabel->bringToFront();
    if (target.m_tag.get() != nullptr) target.m_tag->bringToFront();
    if (target.m_questIcon.get() != nullptr) target.m_questIcon->bringToFront();
    centerLeftOfLevel(world);
    for (int32_t i = 0; i < 2; ++i)
        m_tripMoves[i].start(m_tripRestPoints[i], k_tripMoveMs);
    if (WorldMapServices* host = services(); host != nullptr) host->stopAllSounds();
    playSound(asset(k_tripSound));
}

void WorldMapScreen::onTripPanelArrived()
{
    startAlphaFade(m_tripCoverFade, 255, k_tripFadeMs);
}

void WorldMapScreen::onTripCoverShown()
{
    if (m_tripCover.get() == nullptr || (m_tripCover->widgetColour() >> 24) != 255) return;
    const FPointI size = screenSize();
    if (m_tripPanelLeft.get() != nullptr)
        m_tripPanelLeft->setWidgetPosition(-m_tripPanelLeft->width(), m_tripPanelLeft->rect().top);
    if (m_tripPanelRight.get() != nullptr)
        m_tripPanelRight->setWidgetPosition(size.x, m_tripPanelRight->rect().top);
    startAlphaFade(m_tripArrivalFade, 255, k_tripFadeMs);
    // Its end finds the cover clear and does nothing.
    startAlphaFade(m_tripCoverFade, 0, k_tripFadeMs);
}

void WorldMapScreen::onTripArrivalShown()
{
    if (m_questScrollShown) return;
    showSpeakerPanel(k_speakerB);
    speakAs(k_speakerB, pickReminderLine(3));
}

void WorldMapScreen::updateLongTrip(int32_t elapsed)
{
    for (FMoveTween& move : m_tripMoves) {
        if (move.isActive()) move.update(elapsed);
    }
    if (m_tripArrivalFade.isActive()) m_tripArrivalFade.update(elapsed);
    if (!m_tripSoundTimer.isActive()) {
        m_tripSoundTimer.start(k_tripSoundMs + GameRandom::rand() % k_tripSoundSpreadMs);
    } else {
        m_tripSoundTimer.update(elapsed);
    }
}

void WorldMapScreen::playLongTripSound()
{
    if (!m_questScrollShown) playSound(asset(k_tripSound));
}
