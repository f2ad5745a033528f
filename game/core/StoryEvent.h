#pragma once

#include <cstdint>

// The codes through which gameplay moments reach the scripted story: each
// story record waits for one of them. Codes 6, 10 and 13 are never raised.
enum StoryEvent : std::int32_t {
    k_eventLevelReady = 0,
    k_eventPromptCancelled = 1,
    k_eventStoryRecordClosed = 2,
    k_eventPictureSearchStarted = 3,
    k_eventWrongClickPenalty = 4,
    k_eventPenaltyEnded = 5,
    k_eventUnused6 = 6,
    k_eventPanelTookEntry = 7,
    k_eventThrowViewFinished = 8,
    k_eventThrowViewUsed = 9,
    k_eventUnused10 = 10,
    k_eventFoundAnimationEnded = 11,
    k_eventScrollTaskStarted = 12,
    k_eventUnused13 = 13,
    k_eventSwapFollowUp = 14,
    k_eventDrabbTaskStarted = 15,
    k_eventDrabbTaskEnded = 16,
    k_eventInterruptBegins = 17,
    k_eventPhotographTaskStarted = 18,
    k_eventRequested19 = 19,
    k_eventTutorialZibboTaskStarted = 20,
};

inline constexpr std::int32_t k_lastStoryEvent = k_eventTutorialZibboTaskStarted;
