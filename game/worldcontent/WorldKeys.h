#pragma once

// The item keys of a world's scene, derived from its content: "World", the
// two-digit world number, the word of the item's kind and a two-digit item
// number, sometimes followed by "Multiple" and a copy number, or by "Bling"
// or "Panel" for a findable item's companions.

#include "game/worldcontent/WorldContent.h"

#include <string>
#include <vector>

// The scene's tables and single members, in the order the scene holds them.
enum class WorldTable {
    BaseImage,
    Background,
    Creature,
    Difference,
    Hint,
    Photographs,
    Picture,
    SpecialBone,
    SpecialDrabb,
    SpecialScroll,
    SpecialZibbo,
    SpecialVessa,
    SpecialStarmantle,
    SpecialTuff,
    Travelers,
    Watcher,
    Music,
    AmbientSound,
    ExtraAsset,
    HotSpot,
    Anim,
};
constexpr int k_worldTableCount = static_cast<int>(WorldTable::Anim) + 1;

const char* worldTableName(WorldTable table);

struct WorldItem
{
    WorldTable table;
    std::string key; // empty for the single members
};

// Every asset of the world's scene, in the order the scene holds them
// (singles in their place: base image first, then the tables; world 8's
// ambient sound, extra asset and music; hot spots; animations last).
std::vector<WorldItem> worldItems(const WorldContent& world);

// The keys of the keyed captions, by vignette, and the vignette numbers whose
// caption is held as a plain text without a key.
std::vector<std::string> worldCaptionKeys(const WorldContent& world);
std::vector<int32_t> worldPlainCaptionVignettes(const WorldContent& world);

// "WorldNN" for world number NN.
std::string worldKeyPrefix(const WorldContent& world);
