#pragma once

#include <cstdint>

// What the story mode screen asks of the world's story script and of its
// story panel: building the script of a world, the frame step of the delay
// between steps and of the panel, and whether a story record is running.
class StoryScript
{
public:
    virtual ~StoryScript() = default;

    // The world's tutorial records are built only while enabled; optional
    // steps are skipped while `skipOptional` is set.
    virtual void buildWorldTaskScript(int32_t worldIndex, bool enabled, bool skipOptional) = 0;
    virtual void update(int32_t elapsedMs) = 0;
    // A story record is showing (its state is running).
    virtual bool isRecordRunning() const = 0;
    // The running record shows the speaker's talking video.
    virtual bool recordHasSpeaker() const = 0;
    virtual void hidePanel() = 0;
    // Hands an event code to the records; true when a record started.
    virtual bool triggerEvent(int32_t) { return false; }
    // The running record is done (the task it waited on ended).
    virtual void completeRunningRecord() {}
};
