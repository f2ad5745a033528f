#include "game/core/TaskData_Ratios.h"

#include "game/core/GameDataFields.h"

void TaskData_Ratios::serialize(FSerializer& serializer)
{
    const std::string section = sectionName();
    GameDataFields::enterSection(serializer, section.c_str());
    GameDataFields::readIntList(serializer, "DiffRatios", m_diffRatios);
    GameDataFields::leaveSection(serializer, section.c_str());
    GameDataFields::requireRatios(m_diffRatios, "DiffRatios", false, questId(), index());
    m_count = 1;
}

std::int32_t TaskData_Ratios::getItemCount(bool) const
{
    return m_count;
}

std::vector<std::int32_t> TaskData_Ratios::getDiffRatios(bool) const
{
    return m_diffRatios;
}

void TaskData_Ratios::setRatios(std::vector<std::int32_t> ratios, std::int32_t count)
{
    m_diffRatios = std::move(ratios);
    m_count = count;
}
