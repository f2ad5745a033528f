#pragma once

#include "core/FString.h"

#include <cstdint>
#include <vector>

class FXmlSerializer;

// One record of the gameplay animation table: where one of the world's
// animations sits on the map, whether it loops, and the sound it plays.
struct AnimRecord
{
    std::int32_t isUsed = 0;
    std::int32_t top = 0;
    std::int32_t left = 0;
    std::int32_t isLooping = 0;
    FString name;
    FString sound;
};

// The table's asset id (GameDataAssets::k_animationTableAsset) names it in
// failure reports.
//
// Reads the element "World" plus `worldIndex` and its array "Anims" into
// `records`. The table comes from a kit, so it is checked: a missing
// element, a count that is negative or beyond the items present, or a value
// that is not a 32-bit integer is a failure report naming the asset, never a
// half-read table (`records` is left as it was).
void loadWorldAnims(FXmlSerializer& serializer, std::int32_t worldIndex, std::vector<AnimRecord>& records);
