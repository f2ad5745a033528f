#pragma once

#include <cstdint>

// The type of a quest's task (the integer of its "TaskType_" key). Types 0
// to 14 are searches; 15 and above are the late tasks (dialogue, pauses, the
// awards, the overlay animation).
enum TaskType : std::int32_t {
    k_taskFindZibbo = 0,
    k_taskFindStarmantle = 1,
    k_taskFindVessa = 2,
    k_taskFindTuff = 3,
    k_taskFindDrabb = 4,
    k_taskFindZibboSecondForm = 5,
    k_taskPictureSearch = 6,
    k_taskFindScroll = 7,
    k_taskFindPhotographs = 8,
    k_taskSpotDifferences = 9,
    k_taskFindCreatures = 10,
    k_taskFindCreaturesSecond = 11,
    k_taskFindWatchers = 12,
    k_taskFindTravelers = 13,
    k_taskFindCreaturesThird = 14,
    k_taskVoiceThenSearch = 15,
    k_taskDimmedPause = 16,
    k_taskDialogLine = 17,
    k_taskAwards = 18,
    k_taskNoAction = 19,
    k_taskDialogLineSecond = 20,
    k_taskOverlayAnimation = 21,
};

inline constexpr std::int32_t k_firstLateTaskType = k_taskVoiceThenSearch;
inline constexpr std::int32_t k_lastTaskType = k_taskOverlayAnimation;

// Whether `type` names a task of the vocabulary above.
inline constexpr bool isTaskType(std::int32_t type)
{
    return type >= k_taskFindZibbo && type <= k_lastTaskType;
}
