#include "game/core/LevelConfiguration.h"

#include "game/core/GameDataFields.h"
#include "game/core/GameRandom.h"

#include <string>

std::int32_t randomInRange(std::int32_t lo, std::int32_t hi)
{
    if (lo > hi) {
        return 0;
    }
    const std::int32_t r = GameRandom::rand() % 100;
    // The fraction is single precision on purpose: 0.29f * 100 is just below
    // 29, and the truncation keeps that (the product itself is a double).
    const float f = static_cast<float>(r / 100.0);
    return static_cast<std::int32_t>(static_cast<double>(f) * (static_cast<double>(hi) - lo) + lo);
}

namespace {

std::int32_t pick(std::int32_t lo, std::int32_t hi)
{
    return lo == hi ? lo : randomInRange(lo, hi);
}

void readRanges(FSerializer& serializer, const std::string& prefix, LevelConfiguration::Ranges& ranges,
                std::int32_t questId, std::int32_t taskIndex)
{
    using namespace GameDataFields;
    struct Field
    {
        const char* key;
        std::int32_t LevelConfiguration::Ranges::*member;
    };
    static constexpr Field k_fields[] = {
        {"MinVignettes", &LevelConfiguration::Ranges::minVignettes},
        {"MaxVignettes", &LevelConfiguration::Ranges::maxVignettes},
        {"MinCommonObj", &LevelConfiguration::Ranges::minCommonObjects},
        {"MaxCommonObj", &LevelConfiguration::Ranges::maxCommonObjects},
        {"MinMultiples", &LevelConfiguration::Ranges::minMultiples},
        {"MaxMultiples", &LevelConfiguration::Ranges::maxMultiples},
        {"MinMultipleCopies", &LevelConfiguration::Ranges::minMultipleCopies},
        {"MaxMultipleCopies", &LevelConfiguration::Ranges::maxMultipleCopies},
    };
    for (const Field& field : k_fields) {
        const std::string key = prefix + field.key;
        ranges.*field.member = readInt(serializer, key.c_str());
        requireRange(ranges.*field.member, 0, k_maxCount, key.c_str(), questId, taskIndex);
    }
    const std::string ratiosKey = prefix + "DiffRatios";
    readIntList(serializer, ratiosKey.c_str(), ranges.diffRatios);
    requireRatios(ranges.diffRatios, ratiosKey.c_str(), true, questId, taskIndex);
}

} // namespace

void LevelConfiguration::serialize(FSerializer& serializer, std::int32_t questId, std::int32_t taskIndex)
{
    readRanges(serializer, "", plain, questId, taskIndex);
    readRanges(serializer, "Kids", kids, questId, taskIndex);
}

LevelCounts LevelConfiguration::resolve(const Ranges& ranges)
{
    LevelCounts counts;
    counts.vignettes = pick(ranges.minVignettes, ranges.maxVignettes);
    counts.commonObjects = pick(ranges.minCommonObjects, ranges.maxCommonObjects);
    counts.multiples = pick(ranges.minMultiples, ranges.maxMultiples);
    counts.multipleCopies = pick(ranges.minMultipleCopies, ranges.maxMultipleCopies);
    counts.total = counts.multiples * counts.multipleCopies + counts.commonObjects + counts.vignettes;
    return counts;
}
