#pragma once

#include "game/core/TaskData.h"

// Task type 8: find a number of the world's photographs. The table of task
// kinds leaves this kind's type out; 8 is the type that picks photographs.
class TaskData_Photographs : public TaskData
{
public:
    using TaskData::TaskData;

    void serialize(FSerializer& serializer) override;
    std::int32_t getItemCount(bool normalDifficulty) const override;

private:
    std::int32_t m_photographCount = 0;
};
