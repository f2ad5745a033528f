#pragma once

#include "core/FRef.h"

#include <cstdint>
#include <string>

class StoryTaskRecord;

// What the story script asks of the screen that tells the story: its voice
// lines by id, the play's state, and the presentation of a step once its
// delay has passed. The story mode screen answers it; tests give their own.
class StoryScriptHost
{
public:
    virtual ~StoryScriptHost() = default;

    // The sample filed under the voice id; an empty handle when none is.
    virtual FRef storyVoice(const std::string& id) = 0;
    // The line that opens the interrupt sequence.
    virtual FRef storyInterruptLine() = 0;
    virtual int32_t storyQuestType() const = 0;
    // The level is ready (event 0): the story track plays in the first
    // world's tutorial.
    virtual void onStoryLevelReady(bool playStoryTrack) = 0;
    // The running record's delay has passed.
    virtual void presentStoryRecord(StoryTaskRecord& record) = 0;
};
