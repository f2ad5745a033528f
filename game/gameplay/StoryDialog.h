#pragma once

#include "core/FRef.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <vector>

class CharacterVideoSprite;
class FVideo;
class FWidget;
class StoryDialogHost;
class VideoSprite;

// The two characters that speak the story's lines: the small character that
// stays at the strip, and the speaker (frame, portrait and talking video)
// that comes up with the play field dimmed behind it. Two fades shared by
// both swap them; a line's end runs the voice-done step, which may arm the
// reminder that says a step's line once more. The line pools and the random
// comment draw from the game's random numbers.
class StoryDialog
{
public:
    static constexpr int32_t k_swapFadeMs = 300;
    static constexpr int32_t k_swapDelayMs = 300;
    static constexpr int32_t k_reminderMs = 7000;
    static constexpr int32_t k_reactionMs = 800;
    static constexpr int32_t k_differenceQuest = 2;
    static constexpr int32_t k_secondSetQuest = 1;
    static constexpr int32_t k_interruptLineCount = 5;
    static constexpr int32_t k_vessaLineCount = 7;
    static constexpr int32_t k_commentCount = 3;
    // Poses of the small character.
    static constexpr int32_t k_idlePose = 0;
    static constexpr int32_t k_talkPose = 1;
    static constexpr int32_t k_reactionPose = 6;

    struct Parts
    {
        FWidget* smallFrame = nullptr;
        CharacterVideoSprite* smallSprite = nullptr;
        FWidget* speakerFrame = nullptr;
        FWidget* portrait = nullptr;
        VideoSprite* talkingVideo = nullptr;
        FWidget* dimmer = nullptr;
        // The story art: while it shows, the speaker needs no dimmer.
        FWidget* artImage = nullptr;
        FRef reactionLine;
    };

    StoryDialog(StoryDialogHost& host, FTimerTween& reminderTimer, FTimerTween& reactionTimer);
    ~StoryDialog();
    StoryDialog(const StoryDialog&) = delete;
    StoryDialog& operator=(const StoryDialog&) = delete;

    void setParts(const Parts& parts);

    void speakWithSpeaker(const FRef& sample);
    void speakWithSmallCharacter();
    void hideSpeaker();
    void onVoiceDone();
    void replayReminderVoice();
    void cancelReminderVoice();
    // A story step with the reminder flag: its line is said once more after
    // it was heard, unless something cancels it.
    void rememberReminder(const FRef& voice);
    void playVoiceLine(const FRef& sample);
    void playIdlePose();
    void playReactionPose();
    void scheduleReactionLine();
    void fillInterruptLinePool();
    FRef pickInterruptLine();
    void fillVessaLinePool();
    void playRandomComment();

    // The swap fades advance with the screen's frame.
    void update(int32_t elapsedMs);

    bool isSpeakerUp() const;
    const FRef& speakerVoice() const { return m_speakerVoice; }
    const FRef& reminderVoice() const { return m_reminderVoice; }
    const std::vector<FRef>& interruptLines() const { return m_interruptLines; }
    const std::vector<FRef>& vessaLines() const { return m_vessaLines; }
    WidgetFadeTween& firstFade() { return m_first; }
    WidgetFadeTween& secondFade() { return m_second; }

private:
    enum Phase : int32_t { k_phaseIdle, k_phaseSmallGone, k_phaseSpeakerShown, k_phaseSpeakerGone };

    // The first fade's end, by the phase of the swap.
    void onFirstFadeDone();
    void onReminderTimer();
    void onReactionTimer();
    void sayWithSpeaker();
    void playPose(int32_t kind, bool repeat);
    FRef fixedLine(const char* id);

    StoryDialogHost& m_host;
    FTimerTween& m_reminderTimer;
    FTimerTween& m_reactionTimer;
    Parts m_parts;
    WidgetFadeTween m_first;
    WidgetFadeTween m_second;
    Phase m_phase = k_phaseIdle;
    FRef m_speakerVoice;
    FRef m_reminderVoice;
    bool m_firstDifferenceLineDone = false;
    std::vector<FRef> m_interruptLines;
    std::vector<FRef> m_vessaLines;
};
