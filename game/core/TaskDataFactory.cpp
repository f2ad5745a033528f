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

FRefT<TaskData> createTaskData(std::int32_t taskType, Quest* quest)
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
        return make<TaskData_Ratios>(taskType, quest);
    case 5:
        return make<TaskData_Characters>(taskType, quest);
    case 6:
        return make<TaskData_PictureSearch>(taskType, quest);
    case 8:
        return make<TaskData_Photographs>(taskType, quest);
    case 9:
        return make<TaskData_Differences>(taskType, quest);
    case 15:
        return make<TaskData_StoryLines>(taskType, quest);
    case 10:
    case 11:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
        return make<TaskData>(taskType, quest);
    default:
        return FRefT<TaskData>();
    }
}
