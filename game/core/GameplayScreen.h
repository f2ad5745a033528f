#pragma once

// What the play session, the search-list generator and the task stepper call
// of the screen that plays a level (the story mode screen and its common
// gameplay base). The screens implement it; until they exist the tests drive
// the game core through a recording fake.

#include "core/FRef.h"

#include <cstdint>
#include <istream>

class SearchableObject;
struct StoryTaskStepper;

class GameplayScreen
{
public:
    virtual ~GameplayScreen() = default;

    // Hands a story event code to the current story tasks (4: the wrong-click
    // penalty tripped; 11: an item turned found).
    virtual bool raiseStoryEvent(std::int32_t event) = 0;
    // Penalty sound and cursor reset of player 0 or 1.
    virtual void playWrongHitPenalty(std::int32_t player) = 0;
    // True while the screen plays a free picture search; no screen of this
    // game answers true.
    virtual bool isPictureSearchMode() const = 0;
    // True while the level's pause overlay is open (it keeps the game
    // paused); a screen without one answers false.
    virtual bool isPauseOverlayOpen() const { return false; }
    // Deletes every power-up view after all power-ups were cancelled.
    virtual void clearOwnedItemQueue() = 0;

    // The current task's items are in the generator's list.
    virtual void onTaskBegun() = 0;
    // The next task of the quest began after a completed one.
    virtual void onTaskAdvanced() = 0;
    // Ends the current task of the story script; called before the generator
    // completes a search task.
    virtual void endTask() = 0;
    // Plays the interruption named by the stepper (its step was set to 1).
    virtual void showAnimatedOverlay(StoryTaskStepper& target) = 0;

    // The four steps of the staged interruption sequence.
    virtual void stagedSequenceBegin() = 0;
    virtual void stagedSequenceShow() = 0;
    virtual void stagedSequenceRun() = 0;
    virtual void stagedSequenceEnd() = 0;

    // The search data of world number 0-11 as a handle on a readable stream
    // (the screen holds the twelve assets through its shared layout part); an
    // empty handle when it has none for that world.
    virtual FRefT<std::istream> openSearchData(std::int32_t worldNumber) = 0;
};
