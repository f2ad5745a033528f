#include "game/core/TaskData_Differences.h"

#include "game/core/GameDataFields.h"

void TaskData_Differences::serialize(FSerializer& serializer)
{
    using namespace GameDataFields;
    const std::string section = sectionName();
    enterSection(serializer, section.c_str());
    m_left = readInt(serializer, "Left");
    m_top = readInt(serializer, "Top");
    m_differenceCount = readInt(serializer, "NumDifferences");
    leaveSection(serializer, section.c_str());
    requireRange(m_differenceCount, 0, k_maxCount, "NumDifferences", questId(), index());
    m_currentLeft = m_left;
    m_currentTop = m_top;
}

std::int32_t TaskData_Differences::getItemCount(bool) const
{
    return m_differenceCount;
}
