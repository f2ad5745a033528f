#include "game/core/TaskData.h"

#include "game/core/Quest.h"

TaskData::~TaskData() = default;

void TaskData::serialize(FSerializer&) {}

std::int32_t TaskData::getItemCount(bool) const
{
    return 0;
}

std::int32_t TaskData::getVignetteCount(bool) const
{
    return 0;
}

std::int32_t TaskData::getCommonObjectCount(bool) const
{
    return 0;
}

std::int32_t TaskData::getMultipleCount(bool) const
{
    return 0;
}

std::int32_t TaskData::getMultipleCopyCount(bool) const
{
    return 0;
}

std::vector<std::int32_t> TaskData::getDiffRatios(bool) const
{
    return {};
}

std::int32_t TaskData::questId() const noexcept
{
    return m_quest != nullptr ? m_quest->questId() : -1;
}

std::string TaskData::sectionName() const
{
    return "TaskData_" + std::to_string(m_index);
}
