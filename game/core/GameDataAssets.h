#pragma once

// Where the game data and the worlds' search data live in the content kit,
// and the names of the files our content tools write for them.

#include <cstdint>
#include <cstdio>
#include <string>

namespace GameDataAssets {

// The game data: asset 6650 of the prompt screens' shared folder 12.
inline constexpr std::int32_t k_gameDataFolder = 12;
inline constexpr std::int32_t k_gameDataAsset = 6650;

// The search data of world numbers 0 to 11: assets 6582 to 6593 of the
// gameplay screen's shared folder 25. These ids are chosen by us; nothing
// fixes them elsewhere. Every place that needs them takes them from here.
inline constexpr std::int32_t k_searchDataFolder = 25;
inline constexpr std::int32_t k_firstSearchDataAsset = 6582;
inline constexpr std::int32_t k_worldCount = 12;

inline constexpr std::int32_t searchDataAsset(std::int32_t worldNumber)
{
    return k_firstSearchDataAsset + worldNumber;
}

// The gameplay animation table: asset 6644 of folder 12, beside the game data.
inline constexpr std::int32_t k_animationTableFolder = 12;
inline constexpr std::int32_t k_animationTableAsset = 6644;
inline constexpr const char* k_animationTableFile = "animations.xml";

// The generated files: "gamedata.xml" and "World01SearchData.xml" to
// "World12SearchData.xml".
inline constexpr const char* k_gameDataFile = "gamedata.xml";
inline std::string searchDataFile(std::int32_t worldNumber)
{
    char name[32];
    std::snprintf(name, sizeof(name), "World%02dSearchData.xml", worldNumber + 1);
    return name;
}

} // namespace GameDataAssets
