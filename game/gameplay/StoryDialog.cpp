#include "game/gameplay/StoryDialog.h"

#include "core/FLogStream.h"
#include "game/core/GameRandom.h"
#include "game/gameplay/StoryDialogHost.h"
#include "game/gameplay/StoryTaskRecord.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FContainer.h"

namespace {

// 1 traces each voice-done step.
constexpr int32_t k_dialogTraceLevel = 0;

// Starmantle's lines that open an interrupt in the later worlds.
constexpr const char* k_dialogInterruptLines[] = {"KTQ_03_01_sm", "KTQ_03_02_sm", "KTQ_03_04_sm",
                                                  "KTQ_03_05_sm", "KTQ_03_07_sm"};
// The Vessa quest's interrupt line.
constexpr const char* k_dialogVessaInterruptLine = "KTQ_VSSQ_003_vss";
// What Vessa says when an item of her quest is found.
constexpr const char* k_dialogVessaLines[] = {"KTQ_VSSQ_006_vss", "KTQ_VSSQ_007_vss", "KTQ_VSSQ_008_vss",
                                              "KTQ_VSSQ_009_vss", "KTQ_VSSQ_010_vss", "KTQ_VSSQ_011_vss",
                                              "KTQ_VSSQ_012_vss"};
// The comments while the clock runs: Vessa's in her quest, Starmantle's elsewhere.
constexpr const char* k_dialogVessaComments[] = {"KTQ_VSSQ_004_vss", "KTQ_VSSQ_004_b_vss",
                                                 "KTQ_VSSQ_005_vss"};
constexpr const char* k_dialogComments[] = {"KTQ_01_16_sm", "KTQ_01_17_sm", "KTQ_01_18_sm"};

void dialogAlpha(FWidget* widget, int32_t alpha)
{
    if (widget != nullptr) setFadedAlpha(*widget, alpha);
}

// Fades from the target's alpha to `to` after `delay` ms.
void dialogFade(WidgetFadeTween& fade, int32_t to, int32_t delay)
{
    fade.delay = delay;
    fade.start(to, StoryDialog::k_swapFadeMs);
}

} // namespace

StoryDialog::StoryDialog(StoryDialogHost& host, FTimerTween& reminderTimer, FTimerTween& reactionTimer)
    : m_host(host), m_reminderTimer(reminderTimer), m_reactionTimer(reactionTimer)
{
    auto* first = makeMemberDelegate(this, &StoryDialog::onFirstFadeDone);
    m_first.setCompletion(first);
    engineFree(first);
    auto* reminder = makeMemberDelegate(this, &StoryDialog::onReminderTimer);
    m_reminderTimer.setCompletion(reminder);
    engineFree(reminder);
    auto* reaction = makeMemberDelegate(this, &StoryDialog::onReactionTimer);
    m_reactionTimer.setCompletion(reaction);
    engineFree(reaction);
}

StoryDialog::~StoryDialog()
{
    // The timers belong to the screen and may outlive the dialog.
    m_reminderTimer.setCompletion(nullptr);
    m_reactionTimer.setCompletion(nullptr);
    m_first.setCompletion(nullptr);
}

void StoryDialog::setParts(const Parts& parts)
{
    m_parts = parts;
}

bool StoryDialog::isSpeakerUp() const
{
    return m_parts.smallFrame == nullptr || fadedAlpha(*m_parts.smallFrame) == 0;
}

void StoryDialog::playPose(int32_t kind, bool repeat)
{
    if (m_parts.smallSprite != nullptr) m_parts.smallSprite->playPose(kind, repeat);
}

void StoryDialog::sayWithSpeaker()
{
    m_host.playStoryVoice(m_speakerVoice, StoryVoiceEnd::k_voiceDone);
    if (m_parts.talkingVideo != nullptr) m_parts.talkingVideo->play(false);
}

void StoryDialog::speakWithSpeaker(const FRef& sample)
{
    m_host.shakeForSpeaker();
    m_speakerVoice = sample;
    if (isSpeakerUp()) {
        sayWithSpeaker();
        return;
    }
    m_first.target = m_parts.smallFrame;
    m_second.target = m_parts.smallSprite;
    dialogFade(m_second, 0, 0);
    m_phase = k_phaseSmallGone;
    dialogFade(m_first, 0, k_swapDelayMs);
    if (m_parts.speakerFrame != nullptr) m_parts.speakerFrame->setVisible(true);
    dialogAlpha(m_parts.portrait, 0);
    dialogAlpha(m_parts.talkingVideo, 0);
}

void StoryDialog::onFirstFadeDone()
{
    const Phase phase = m_phase;
    m_phase = k_phaseIdle;
    switch (phase) {
    case k_phaseSmallGone: {
        if (m_parts.artImage == nullptr || !m_parts.artImage->isVisible()) {
            m_host.setStoryDimmed(true);
            // The dimmer goes directly below the speaker: over the play, under the speaker.
            FWidget* dimmer = m_parts.dimmer;
            FWidget* speaker = m_parts.speakerFrame;
            if (dimmer != nullptr && speaker != nullptr) {
                if (dimmer->parent() == speaker->parent())
                    dimmer->placeBelow(*speaker);
                else if (dimmer->parent() != nullptr && dimmer->parent()->parent() == speaker->parent())
                    dimmer->parent()->placeBelow(*speaker);
            }
        }
        m_first.target = m_parts.portrait;
        m_second.target = m_parts.talkingVideo;
        dialogFade(m_second, 255, k_swapDelayMs);
        m_phase = k_phaseSpeakerShown;
        dialogFade(m_first, 255, 0);
        m_host.clearClickToContinue();
        break;
    }
    case k_phaseSpeakerShown:
        sayWithSpeaker();
        break;
    case k_phaseSpeakerGone:
        m_first.target = m_parts.smallFrame;
        m_second.target = m_parts.smallSprite;
        dialogFade(m_second, 255, k_swapDelayMs);
        dialogFade(m_first, 255, 0);
        if (m_parts.talkingVideo != nullptr) m_parts.talkingVideo->setPlaying(false);
        if (m_parts.speakerFrame != nullptr) m_parts.speakerFrame->setVisible(false);
        break;
    case k_phaseIdle:
        break;
    }
}

void StoryDialog::hideSpeaker()
{
    m_second.target = m_parts.talkingVideo;
    m_first.target = m_parts.portrait;
    dialogFade(m_second, 0, 0);
    m_phase = k_phaseSpeakerGone;
    dialogFade(m_first, 0, k_swapDelayMs);
}

void StoryDialog::speakWithSmallCharacter()
{
    m_host.stopStoryVoice();
    const StoryTaskRecord* record = m_host.dialogRunningRecord();
    m_host.playStoryVoice(record != nullptr ? record->getVoice() : FRef(), StoryVoiceEnd::k_voiceDone);
    playPose(k_talkPose, true);
}

void StoryDialog::onVoiceDone()
{
    if (m_host.dialogQuestType() == k_differenceQuest && !m_firstDifferenceLineDone) {
        m_host.stopStoryVoice();
        m_firstDifferenceLineDone = true;
        hideSpeaker();
        m_host.onFirstDifferenceLineDone();
    }
    playPose(k_idlePose, false);
    m_host.requestTaskStep();
    if (k_dialogTraceLevel == 1) FLogStream("Default", false) << "voice done true";
    const StoryTaskRecord* record = m_host.dialogRunningRecord();
    if (record != nullptr && record->m_reminder) m_reminderTimer.start(k_reminderMs);
}

void StoryDialog::rememberReminder(const FRef& voice)
{
    m_reminderVoice = voice;
    m_host.setStoryVoiceEnd(StoryVoiceEnd::k_idlePose);
}

void StoryDialog::onReminderTimer()
{
    replayReminderVoice();
}

void StoryDialog::replayReminderVoice()
{
    if (m_reminderVoice.get() == nullptr || m_host.dialogRunningRecord() != nullptr) return;
    m_host.playStoryVoice(m_reminderVoice, StoryVoiceEnd::k_idlePose);
    playPose(k_talkPose, true);
}

void StoryDialog::cancelReminderVoice()
{
    if (m_reminderVoice.get() == nullptr) return;
    m_reminderVoice = FRef();
    m_reminderTimer.setActive(false);
}

void StoryDialog::playVoiceLine(const FRef& sample)
{
    if (m_host.dialogRunningRecord() != nullptr) return;
    m_host.playCommonVoiceLine(sample);
    playPose(k_talkPose, true);
    m_host.setStoryVoiceEnd(StoryVoiceEnd::k_idlePose);
}

void StoryDialog::playIdlePose()
{
    playPose(k_idlePose, true);
}

void StoryDialog::playReactionPose()
{
    playPose(k_reactionPose, false);
}

void StoryDialog::scheduleReactionLine()
{
    m_reactionTimer.start(k_reactionMs);
}

void StoryDialog::onReactionTimer()
{
    m_host.playStoryVoice(m_parts.reactionLine, StoryVoiceEnd::k_none);
}

FRef StoryDialog::fixedLine(const char* id)
{
    return m_host.dialogVoice(id);
}

void StoryDialog::fillInterruptLinePool()
{
    for (const char* id : k_dialogInterruptLines)
        m_interruptLines.push_back(fixedLine(id));
}

FRef StoryDialog::pickInterruptLine()
{
    if (m_host.dialogQuestType() == k_secondSetQuest) return fixedLine(k_dialogVessaInterruptLine);
    // An empty pool has no line to pick (and nothing to divide by).
    if (m_interruptLines.empty()) return FRef();
    return m_interruptLines[static_cast<std::size_t>(GameRandom::rand()) % m_interruptLines.size()];
}

void StoryDialog::fillVessaLinePool()
{
    m_vessaLines.clear();
    for (const char* id : k_dialogVessaLines)
        m_vessaLines.push_back(fixedLine(id));
}

void StoryDialog::playRandomComment()
{
    // The game's own sequence, seeded once at launch: reseeding from the clock
    // here would repeat the same comment within a second and make a seeded
    // run unrepeatable.
    const auto r = static_cast<std::size_t>(GameRandom::rand() % k_commentCount);
    const char* const* lines =
        m_host.dialogQuestType() == k_secondSetQuest ? k_dialogVessaComments : k_dialogComments;
    playVoiceLine(fixedLine(lines[r]));
}

void StoryDialog::update(int32_t elapsedMs)
{
    m_second.update(elapsedMs);
    m_first.update(elapsedMs);
}
