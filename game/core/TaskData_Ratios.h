#pragma once

#include "game/core/TaskData.h"

// Task types 0, 1, 2, 3, 4, 7, 12, 13 and 14: one object of the task's
// category, with the difficulty ratios a pick by difficulty would use.
class TaskData_Ratios : public TaskData
{
public:
    using TaskData::TaskData;

    void serialize(FSerializer& serializer) override;
    std::int32_t getItemCount(bool normalDifficulty) const override;
    std::vector<std::int32_t> getDiffRatios(bool normalDifficulty) const override;

    // The special quest's tasks are made by the program, not read.
    void setRatios(std::vector<std::int32_t> ratios, std::int32_t count);

private:
    std::vector<std::int32_t> m_diffRatios;
    std::int32_t m_count = 0;
};
