#pragma once

// The record with which the story screen drives its staged interruption: the
// screen, the level's search-list generator and the step. The screen makes it
// with step -1 and hands it to the generator as its interrupt target; the
// generator's interruption check sets step 1 when the interruption starts.

#include <cstdint>

class GameplayScreen;
class SearchListGenerator;

struct StoryTaskStepper
{
    GameplayScreen* screen = nullptr;
    SearchListGenerator* generator = nullptr;
    std::int32_t step = -1;
};

// One stage of the sequence: step 1 adds the interrupting character and runs
// the screen's first and showing steps (next 3); step 3 runs its third step
// (next 2); step 2 runs its last step and marks the last item (next 0); any
// other step does nothing. The step changes before the calls are made.
void storyTaskStep(StoryTaskStepper& stepper);
