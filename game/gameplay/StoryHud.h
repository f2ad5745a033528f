#pragma once

#include <cstdint>

class LevelTimer;

// What the story mode screen asks of its HUD strip and its level timer bar
// while a level is set up and runs. The HUD panel and the timer bar of the
// story layout answer it; a screen without them has none.
class StoryHud
{
public:
    virtual ~StoryHud() = default;

    // The strip takes its place and its images for the level.
    virtual void setUpPanel() = 0;
    // A new sweep of the strip's entries (a task's items were placed).
    virtual void startPanelSweep() = 0;
    // Ends the hold a power-up message put on the strip.
    virtual void releasePanelHold() = 0;
    virtual int32_t panelEntryCount() const = 0;
    // The timer bar follows the level's clock from now on.
    virtual void initTimerBar(LevelTimer& timer) = 0;
    // The frame step of the strip and of the timer bar.
    virtual void update(int32_t elapsedMs) = 0;
};
