#include "game/core/TaskData_StoryLines.h"

#include "game/core/GameDataFields.h"
#include "game/core/GameRandom.h"

#include "core/FLogStream.h"
#include "core/FSerializer.h"

void TaskData_StoryLines::serialize(FSerializer& serializer)
{
    using namespace GameDataFields;
    const std::string section = sectionName();
    enterSection(serializer, section.c_str());
    std::vector<std::string> stringNames;
    std::vector<std::string> sampleNames;
    bool useLargeCharacter = false;
    readTextList(serializer, "StringNames", stringNames);
    readTextList(serializer, "SampleNames", sampleNames);
    serializer.readBool("UseLargeCharacter", useLargeCharacter);
    leaveSection(serializer, section.c_str());
    // The fields change only once all three values were read.
    m_stringNames = std::move(stringNames);
    m_sampleNames = std::move(sampleNames);
    m_useLargeCharacter = useLargeCharacter;
}

std::string TaskData_StoryLines::pickRandomSample() const
{
    if (m_sampleNames.empty()) {
        return {};
    }
    const std::string& name =
        m_sampleNames[static_cast<std::size_t>(GameRandom::rand()) % m_sampleNames.size()];
    ZIBBO_LOG(k_logDefault, false) << "picked sample named " << name;
    return name;
}
