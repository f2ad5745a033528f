#include "game/core/TaskData_Characters.h"

#include "game/core/GameDataFields.h"

void TaskData_Characters::serialize(FSerializer& serializer)
{
    using namespace GameDataFields;
    const std::string section = sectionName();
    enterSection(serializer, section.c_str());
    readIntList(serializer, "DiffRatios", m_diffRatios);
    readIntList(serializer, "KidsDiffRatios", m_kidsDiffRatios);
    m_useZibbo = readInt(serializer, "UseZibbo") != 0;
    m_useVessa = readInt(serializer, "UseVessa") != 0;
    m_useStarmantle = readInt(serializer, "UseStarmantle") != 0;
    leaveSection(serializer, section.c_str());
    requireRatios(m_diffRatios, "DiffRatios", false, questId(), index());
    requireRatios(m_kidsDiffRatios, "KidsDiffRatios", false, questId(), index());
    m_count = 1;
}

std::int32_t TaskData_Characters::getItemCount(bool) const
{
    return m_count;
}

std::vector<std::int32_t> TaskData_Characters::getDiffRatios(bool normalDifficulty) const
{
    return normalDifficulty ? m_diffRatios : m_kidsDiffRatios;
}
