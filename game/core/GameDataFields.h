#pragma once

// Reading helpers shared by the game data and the worlds' search data: lists
// in the engine's list convention, sections, and the failure report that
// refuses data the game cannot play safely.

#include "core/FSerializer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace GameDataFields {

// Reads the list `name` ("count" and the elements "_0", "_1", ...) into
// `values`, which is emptied first. A missing count reads as an empty list.
void readIntList(FSerializer& serializer, const char* name, std::vector<std::int32_t>& values);
// The same for texts, kept as UTF-8.
void readTextList(FSerializer& serializer, const char* name, std::vector<std::string>& values);
// A signed 32-bit value and a text kept as UTF-8.
std::int32_t readInt(FSerializer& serializer, const char* name);
std::string readText(FSerializer& serializer, const char* name);

// Enters and leaves a section that carries no count.
void enterSection(FSerializer& serializer, const char* name);
void leaveSection(FSerializer& serializer, const char* name);

// Raises the failure report "Game data: quest <id>: <what>" (with
// ", task <index>" when the task index is not negative).
[[noreturn]] void refuse(std::int32_t questId, std::int32_t taskIndex, const std::string& what);
// Refuses unless lo <= value <= hi; `name` is the key that held the value.
void requireRange(std::int32_t value, std::int32_t lo, std::int32_t hi, const char* name,
                  std::int32_t questId, std::int32_t taskIndex);

} // namespace GameDataFields

namespace GameDataFields {

// Difficulty classes of a ratio list: one ratio per class 1 to 5.
inline constexpr std::int32_t k_maxRatios = 5;
// The largest count, min or max a task may ask for.
inline constexpr std::int32_t k_maxCount = 99;
// Power-up kinds 0 to 7 have views; a list naming another kind is refused.
inline constexpr std::int32_t k_maxPowerUpKind = 7;

// Refuses a list of power-up kinds naming a kind outside 0 to 7.
void requirePowerUpKinds(const std::vector<std::int32_t>& kinds, const char* name, std::int32_t questId);

// Refuses a ratio list with more than five entries or an entry outside 0 to
// 100; with `coverAll`, also one whose entries sum to less than 100 (such a
// list leaves more objects to spread than there are classes).
void requireRatios(const std::vector<std::int32_t>& ratios, const char* name, bool coverAll,
                   std::int32_t questId, std::int32_t taskIndex);

} // namespace GameDataFields

namespace GameDataFields {

// Reads the list `name` of records, each into a new record appended to
// `records` and read in place (records keep their address, so whatever they
// build may point at them).
template <class Container> void readRecords(FSerializer& serializer, const char* name, Container& records)
{
    std::int32_t count = -1;
    serializer.beginArray(name, count);
    for (std::int32_t i = 0; i < count; ++i) {
        auto& record = records.emplace_back();
        serializer.beginItem(i);
        record.serialize(serializer);
        serializer.endItem(i);
    }
    serializer.endArray(name);
}

} // namespace GameDataFields
