#pragma once

#include "core/FRef.h"

#include <cstdint>
#include <string>

class StoryTaskRecord;

// What runs when the line on the game's voice channel ends.
enum class StoryVoiceEnd : int32_t {
    k_none,
    // The story's voice-done step.
    k_voiceDone,
    // The small character goes back to its idle pose.
    k_idlePose
};

// What the story dialog asks of the screen that speaks: the game's voice
// channel, the common screen's line and shake, the running story step and
// the voice lines by id. The story mode screen answers it; tests give their
// own.
class StoryDialogHost
{
public:
    virtual ~StoryDialogHost() = default;

    // Plays on the voice channel; `end` runs when the line ends.
    virtual void playStoryVoice(const FRef& sample, StoryVoiceEnd end) = 0;
    virtual void setStoryVoiceEnd(StoryVoiceEnd end) = 0;
    virtual void stopStoryVoice() = 0;
    // The common screen's line for the story's incidental voice.
    virtual void playCommonVoiceLine(const FRef& sample) = 0;
    // The play field dims behind the speaker (to 120 over 600 ms) or clears.
    virtual void setStoryDimmed(bool dimmed) = 0;
    // The speaker comes on with a shake of the play field.
    virtual void shakeForSpeaker() = 0;
    // The first line of a difference quest ended: the swap starts and the
    // level timer is released.
    virtual void onFirstDifferenceLineDone() = 0;
    // The story's click-to-continue flag: a speaker line is not clicked away
    // while it comes up.
    virtual void clearClickToContinue() = 0;
    // The update ends a voice task (or closes the running step) next frame.
    virtual void requestTaskStep() = 0;
    virtual int32_t dialogQuestType() const = 0;
    virtual const StoryTaskRecord* dialogRunningRecord() const = 0;
    // The sample filed under the voice id; an empty handle when none is.
    virtual FRef dialogVoice(const std::string& id) = 0;
};
