#include "game/core/GameDataFields.h"

#include "core/FErrorMessage.h"

#include <string>

namespace GameDataFields {

void readIntList(FSerializer& serializer, const char* name, std::vector<std::int32_t>& values)
{
    values.clear();
    std::int32_t count = -1;
    serializer.beginArray(name, count);
    for (std::int32_t i = 0; i < count; ++i) {
        // Elements are read one by one, so a huge count in a damaged file
        // fails at the first missing element instead of allocating.
        std::int32_t value = 0;
        serializer.readInt(("_" + std::to_string(i)).c_str(), value);
        values.push_back(value);
    }
    serializer.endArray(name);
}

void readTextList(FSerializer& serializer, const char* name, std::vector<std::string>& values)
{
    values.clear();
    std::int32_t count = -1;
    serializer.beginArray(name, count);
    for (std::int32_t i = 0; i < count; ++i) {
        values.push_back(readText(serializer, ("_" + std::to_string(i)).c_str()));
    }
    serializer.endArray(name);
}

std::int32_t readInt(FSerializer& serializer, const char* name)
{
    std::int32_t value = 0;
    serializer.readInt(name, value);
    return value;
}

std::string readText(FSerializer& serializer, const char* name)
{
    FString value;
    serializer.readString(name, value);
    return value.toUtf8();
}

void enterSection(FSerializer& serializer, const char* name)
{
    std::int32_t noCount = -1;
    serializer.beginArray(name, noCount);
}

void leaveSection(FSerializer& serializer, const char* name)
{
    serializer.endArray(name);
}

void refuse(std::int32_t questId, std::int32_t taskIndex, const std::string& what)
{
    if (taskIndex >= 0) {
        ZIBBO_FAIL_TEXT("Game data: quest " << questId << ", task " << taskIndex << ": " << what.c_str());
    }
    ZIBBO_FAIL_TEXT("Game data: quest " << questId << ": " << what.c_str());
}

void requireRange(std::int32_t value, std::int32_t lo, std::int32_t hi, const char* name,
                  std::int32_t questId, std::int32_t taskIndex)
{
    if (value < lo || value > hi) {
        refuse(questId, taskIndex,
               std::string(name) + " is " + std::to_string(value) + ", not " + std::to_string(lo) + " to " +
                   std::to_string(hi));
    }
}

} // namespace GameDataFields

namespace GameDataFields {

void requireRatios(const std::vector<std::int32_t>& ratios, const char* name, bool coverAll,
                   std::int32_t questId, std::int32_t taskIndex)
{
    if (ratios.size() > static_cast<std::size_t>(k_maxRatios)) {
        refuse(questId, taskIndex,
               std::string(name) + " holds " + std::to_string(ratios.size()) + " entries, at most " +
                   std::to_string(k_maxRatios));
    }
    std::int32_t sum = 0;
    for (std::int32_t ratio : ratios) {
        requireRange(ratio, 0, 100, name, questId, taskIndex);
        sum += ratio;
    }
    if (coverAll && sum < 100) {
        refuse(questId, taskIndex, std::string(name) + " sum to " + std::to_string(sum) + ", less than 100");
    }
}

} // namespace GameDataFields

namespace GameDataFields {

void requirePowerUpKinds(const std::vector<std::int32_t>& kinds, const char* name, std::int32_t questId)
{
    for (std::int32_t kind : kinds) {
        requireRange(kind, 0, k_maxPowerUpKind, name, questId, -1);
    }
}

} // namespace GameDataFields
