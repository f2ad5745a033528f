#pragma once

#include <cstdint>

class StoryTaskRecord;

// What the story mode screen asks of the world's story script and of its
// story panel: building the script of a world, the story events, the frame
// step of the delay between steps and of the panel, and the running record.
class StoryScript
{
public:
    // What closing the running record found.
    struct Closed
    {
        // The art kind of the record that ran (0 when none ran).
        int32_t artKind = 0;
        bool closed = false;
        // The record was the script's last: the tutorial has been seen.
        bool final = false;
    };

    virtual ~StoryScript() = default;

    // The world's tutorial records are built only while enabled; optional
    // steps are skipped while `skipOptional` is set.
    virtual void buildWorldTaskScript(int32_t worldIndex, bool enabled, bool skipOptional) = 0;
    // A story event; true when it started a record.
    virtual bool triggerEvent(int32_t code) = 0;
    // The running record is done; the next one waits for its event.
    virtual Closed closeRunning() = 0;
    virtual void update(int32_t elapsedMs) = 0;
    // A story record is showing (its state is running).
    virtual bool isRecordRunning() const = 0;
    // The running record, or null.
    virtual StoryTaskRecord* runningRecord() const = 0;
    // The running record shows the speaker's talking video.
    virtual bool recordHasSpeaker() const = 0;
    virtual void hidePanel() = 0;
    // Set by the tutorial's start: the first close without a following step
    // runs the search progress check instead of the usual resume. Taking it
    // clears it.
    virtual void setSearchCheckOnClose(bool check) = 0;
    virtual bool takeSearchCheckOnClose() = 0;
};
