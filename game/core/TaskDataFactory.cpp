#include "game/core/TaskDataFactory.h"

#include "game/core/TaskData_Characters.h"
#include "game/core/TaskData_Differences.h"
#include "game/core/TaskData_Photographs.h"
#include "game/core/TaskData_PictureSearch.h"
#include "game/core/TaskData_Ratios.h"
#include "game/core/TaskData_StoryLines.h"

#include "core/FMemory.h"

namespace {

template <class Kind> FRefT<TaskData> make(std::int32_t taskType, Quest* quest)
{
    return FRefT<TaskData>(makeRef<TaskData>(engineNew<Kind>(k_memObject, taskType, quest)));
}

} // namespace

TaskKind taskKindOf(std::int32_t taskType)
{
    switch (taskType) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 7:
    case 12:
    case 13:
    case 14:
        return TaskKind::Ratios;
    // The table of kinds gives no type for the next three; 5, 6 and 8 are the
    // types that pick by characters, play the picture search and pick
    // photographs.
    case 5:
        return TaskKind::Characters;
    case 6:
        return TaskKind::PictureSearch;
    case 8:
        return TaskKind::Photographs;
    case 9:
        return TaskKind::Differences;
    case 15:
        return TaskKind::StoryLines;
    case 10:
    case 11:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
        return TaskKind::Plain;
    default:
        return TaskKind::Invalid;
    }
}

FRefT<TaskData> createTaskData(std::int32_t taskType, Quest* quest)
{
    switch (taskKindOf(taskType)) {
    case TaskKind::Ratios:
        return make<TaskData_Ratios>(taskType, quest);
    case TaskKind::Characters:
        return make<TaskData_Characters>(taskType, quest);
    case TaskKind::PictureSearch:
        return make<TaskData_PictureSearch>(taskType, quest);
    case TaskKind::Photographs:
        return make<TaskData_Photographs>(taskType, quest);
    case TaskKind::Differences:
        return make<TaskData_Differences>(taskType, quest);
    case TaskKind::StoryLines:
        return make<TaskData_StoryLines>(taskType, quest);
    case TaskKind::Plain:
        return make<TaskData>(taskType, quest);
    case TaskKind::Invalid:
        break;
    }
    return FRefT<TaskData>();
}
