#pragma once

#include "game/core/TaskData.h"

// Task type 9: spot a number of differences between two pictures.
class TaskData_Differences : public TaskData
{
public:
    using TaskData::TaskData;

    void serialize(FSerializer& serializer) override;
    std::int32_t getItemCount(bool normalDifficulty) const override;

    std::int32_t left() const noexcept { return m_left; }
    std::int32_t top() const noexcept { return m_top; }
    std::int32_t currentLeft() const noexcept { return m_currentLeft; }
    std::int32_t currentTop() const noexcept { return m_currentTop; }

private:
    std::int32_t m_left = 0;
    std::int32_t m_top = 0;
    std::int32_t m_differenceCount = 0;
    std::int32_t m_currentLeft = 0;
    std::int32_t m_currentTop = 0;
};
