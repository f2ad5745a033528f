#pragma once

#include "game/core/TaskData.h"

// Task type 5: one object of each chosen character (Zibbo, Vessa,
// Starmantle). The table of task kinds leaves this kind's type out; 5 is the
// type that picks by these three flags.
class TaskData_Characters : public TaskData
{
public:
    using TaskData::TaskData;

    void serialize(FSerializer& serializer) override;
    std::int32_t getItemCount(bool normalDifficulty) const override;
    std::vector<std::int32_t> getDiffRatios(bool normalDifficulty) const override;

    bool usesZibbo() const noexcept { return m_useZibbo; }
    bool usesVessa() const noexcept { return m_useVessa; }
    bool usesStarmantle() const noexcept { return m_useStarmantle; }

private:
    std::vector<std::int32_t> m_diffRatios;
    std::vector<std::int32_t> m_kidsDiffRatios;
    bool m_useZibbo = false;
    bool m_useVessa = false;
    bool m_useStarmantle = false;
    std::int32_t m_count = 0;
};
