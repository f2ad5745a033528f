#include "game/core/TaskData_Photographs.h"

#include "game/core/GameDataFields.h"

void TaskData_Photographs::serialize(FSerializer& serializer)
{
    const std::string section = sectionName();
    GameDataFields::enterSection(serializer, section.c_str());
    m_photographCount = GameDataFields::readInt(serializer, "NumPhotographs");
    GameDataFields::leaveSection(serializer, section.c_str());
    GameDataFields::requireRange(m_photographCount, 0, GameDataFields::k_maxCount, "NumPhotographs",
                                 questId(), index());
}

std::int32_t TaskData_Photographs::getItemCount(bool) const
{
    return m_photographCount;
}
