#pragma once

// What each of the twelve worlds' scenes holds: the folder it is filed in,
// how many items of each kind, and where a world breaks the common pattern.
// The item keys (WorldKeys) and the worlds' manifests are derived from this
// one table, so the scenes, their screen files and the search data agree.

#include <cstdint>
#include <string>
#include <vector>

struct WorldNumberRun
{
    int32_t first;
    int32_t last;
};

struct WorldContent
{
    int32_t number;    // 1 to 12; the world index is number - 1
    int32_t folder;    // screen-file folder of the scene
    int32_t entryHint; // entry-count hint the layout binds the folder with
    std::vector<WorldNumberRun> pictures;
    WorldNumberRun multiples; // picture numbers that are multiples
    int32_t vignettes;
    bool creatures; // else photographs
    const char* differenceWord;
    int32_t vessas;
    int32_t travelers;
    int32_t watchers;
    std::vector<WorldNumberRun> anims;
    std::vector<const char*> hotSpots; // our spot names, from the world's theme
    const char* captionTheme;          // our theme word for the keyed captions
    // Pictures without their "Bling" and "Panel" companions (never findable).
    std::vector<int32_t> picturesWithoutCompanions;
    // Vignettes whose caption is held as a plain text without a key.
    std::vector<int32_t> unkeyedCaptions;
    bool allCaptionsUnkeyed; // no caption table at all; every caption a plain text
    int32_t specialBones;    // only one world has them
    bool extraAsset;         // one single asset more, between ambient sound and music
};

// Index 0 to 11; a failure report for any other index.
const WorldContent& worldContent(int32_t index);
constexpr int32_t k_worldCount = 12;

// Item counts every world shares.
constexpr int32_t k_backgroundTiles = 96;
constexpr int32_t k_worldHints = 15;
constexpr int32_t k_worldDifferences = 18;
constexpr int32_t k_worldCreatures = 3;
constexpr int32_t k_worldPhotographs = 20;
constexpr int32_t k_copiesPerMultiple = 5;
constexpr int32_t k_specialDrabbs = 5;
constexpr int32_t k_specialZibbos = 5;
constexpr int32_t k_specialStarmantles = 5;
constexpr int32_t k_specialTuffs = 3;
