#include "game/core/TaskData_PictureSearch.h"

#include "game/core/GameDataFields.h"

void TaskData_PictureSearch::serialize(FSerializer& serializer)
{
    const std::string section = sectionName();
    GameDataFields::enterSection(serializer, section.c_str());
    m_configuration.serialize(serializer, questId(), index());
    GameDataFields::leaveSection(serializer, section.c_str());
    m_plain = LevelConfiguration::resolve(m_configuration.plain);
    m_kids = LevelConfiguration::resolve(m_configuration.kids);
}

std::int32_t TaskData_PictureSearch::getItemCount(bool normalDifficulty) const
{
    return counts(normalDifficulty).total;
}

std::int32_t TaskData_PictureSearch::getVignetteCount(bool normalDifficulty) const
{
    return counts(normalDifficulty).vignettes;
}

std::int32_t TaskData_PictureSearch::getCommonObjectCount(bool normalDifficulty) const
{
    return counts(normalDifficulty).commonObjects;
}

std::int32_t TaskData_PictureSearch::getMultipleCount(bool normalDifficulty) const
{
    return counts(normalDifficulty).multiples;
}

std::int32_t TaskData_PictureSearch::getMultipleCopyCount(bool normalDifficulty) const
{
    return counts(normalDifficulty).multipleCopies;
}

std::vector<std::int32_t> TaskData_PictureSearch::getDiffRatios(bool normalDifficulty) const
{
    return normalDifficulty ? m_configuration.plain.diffRatios : m_configuration.kids.diffRatios;
}

void TaskData_PictureSearch::setCounts(const LevelCounts& counts, std::vector<std::int32_t> ratios)
{
    m_plain = counts;
    m_kids = counts;
    m_configuration.plain.diffRatios = ratios;
    m_configuration.kids.diffRatios = std::move(ratios);
}
