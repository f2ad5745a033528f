#pragma once

#include "game/core/LevelConfiguration.h"
#include "game/core/TaskData.h"

// Task type 6, the picture search: single pictures, multiples and vignettes
// in counts drawn once when the game data is read. The table of task kinds
// leaves this kind's type out; 6 is the type the picture search plays.
class TaskData_PictureSearch : public TaskData
{
public:
    using TaskData::TaskData;

    void serialize(FSerializer& serializer) override;
    std::int32_t getItemCount(bool normalDifficulty) const override;
    std::int32_t getVignetteCount(bool normalDifficulty) const override;
    std::int32_t getCommonObjectCount(bool normalDifficulty) const override;
    std::int32_t getMultipleCount(bool normalDifficulty) const override;
    std::int32_t getMultipleCopyCount(bool normalDifficulty) const override;
    std::vector<std::int32_t> getDiffRatios(bool normalDifficulty) const override;

    const LevelConfiguration& configuration() const noexcept { return m_configuration; }
    const LevelCounts& counts(bool normalDifficulty) const noexcept
    {
        return normalDifficulty ? m_plain : m_kids;
    }
    // The special quest's picture search keeps counts set by the program.
    void setCounts(const LevelCounts& counts, std::vector<std::int32_t> ratios);

private:
    LevelConfiguration m_configuration;
    LevelCounts m_plain;
    LevelCounts m_kids;
};
