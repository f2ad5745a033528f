#pragma once

#include "game/core/TaskData.h"

#include <string>

// Task type 15: the lines and voice samples of a story step.
class TaskData_StoryLines : public TaskData
{
public:
    using TaskData::TaskData;

    void serialize(FSerializer& serializer) override;
    bool usesLargeCharacter() const override { return m_useLargeCharacter; }

    const std::vector<std::string>& stringNames() const noexcept { return m_stringNames; }
    const std::vector<std::string>& sampleNames() const noexcept { return m_sampleNames; }

    // One sample name drawn with the game's rand(); empty when the task has
    // none (the story screen then plays no line).
    std::string pickRandomSample() const;

private:
    std::vector<std::string> m_stringNames;
    std::vector<std::string> m_sampleNames;
    bool m_useLargeCharacter = false;
};
