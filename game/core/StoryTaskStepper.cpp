#include "game/core/StoryTaskStepper.h"

#include "game/core/GameplayScreen.h"
#include "game/core/SearchListGenerator.h"

void storyTaskStep(StoryTaskStepper& stepper)
{
    switch (stepper.step) {
    case 1:
        stepper.step = 3;
        stepper.generator->addInterruptItem();
        stepper.screen->stagedSequenceBegin();
        stepper.screen->stagedSequenceShow();
        break;
    case 3:
        stepper.step = 2;
        stepper.screen->stagedSequenceRun();
        break;
    case 2:
        stepper.step = 0;
        stepper.screen->stagedSequenceEnd();
        stepper.generator->markLastItem();
        break;
    default:
        break;
    }
}
