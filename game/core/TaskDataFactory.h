#pragma once

// Makes the task data of a task type: the kind each type 0 to 21 uses.

#include "game/core/TaskData.h"

#include "core/FRef.h"

#include <cstdint>

class Quest;

// The kind of task data each task type uses; Invalid for a type outside 0
// to 21.
enum class TaskKind {
    Plain,
    Ratios,
    Characters,
    PictureSearch,
    Photographs,
    Differences,
    StoryLines,
    Invalid
};
TaskKind taskKindOf(std::int32_t taskType);

// The task data of `taskType` for `quest` (done false, index -1), or a null
// handle for a type outside 0 to 21. The caller appends it to the quest.
FRefT<TaskData> createTaskData(std::int32_t taskType, Quest* quest);
