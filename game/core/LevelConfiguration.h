#pragma once

// The minimum and maximum counts of a picture search, plain and Kids, and the
// concrete counts drawn from them when the game data is read.

#include <cstdint>
#include <vector>

class FSerializer;

// A number from lo up to, not including, hi (lo itself when hi is not above
// lo): one draw of the game's rand() mod 100, taken as a single-precision
// fraction. When lo > hi: 0, and nothing is drawn.
std::int32_t randomInRange(std::int32_t lo, std::int32_t hi);

struct LevelCounts
{
    std::int32_t total = 0;
    std::int32_t multiples = 0;
    std::int32_t multipleCopies = 0;
    std::int32_t commonObjects = 0;
    std::int32_t vignettes = 0;
};

class LevelConfiguration
{
public:
    struct Ranges
    {
        std::int32_t minVignettes = 0;
        std::int32_t maxVignettes = 0;
        std::int32_t minCommonObjects = 0;
        std::int32_t maxCommonObjects = 0;
        std::int32_t minMultiples = 0;
        std::int32_t maxMultiples = 0;
        std::int32_t minMultipleCopies = 0;
        std::int32_t maxMultipleCopies = 0;
        std::vector<std::int32_t> diffRatios;
    };

    // Reads the keys of both sets (the plain keys, then the "Kids" ones) from
    // the current section and refuses counts outside 0 to 99 and ratio lists
    // that cannot be spread, naming the quest and the task.
    void serialize(FSerializer& serializer, std::int32_t questId, std::int32_t taskIndex);

    // Draws the counts of one set in the order vignettes, common objects,
    // multiples, multiple copies; a range whose min equals its max draws
    // nothing.
    static LevelCounts resolve(const Ranges& ranges);

    Ranges plain;
    Ranges kids;
};
