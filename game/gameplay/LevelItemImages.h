#pragma once

#include "core/FRef.h"
#include "image/FImage.h"

#include <array>
#include <cstdint>

// The layout pictures a level's searchable sprites take as their bling (the
// picture shown over a found item) and their panel image (the item's picture
// in the HUD strip), by the task they belong to. The story mode screen fills
// it from its layouts once they are bound.
struct LevelItemImages
{
    static constexpr std::int32_t k_hintImageCount = 10;

    FRefT<FImage> zibboBling;      // task type 0; character 1 of task type 5
    FRefT<FImage> zibboPanel;      // the same
    FRefT<FImage> lastWorldPanel;  // task type 0 in the twelfth world
    FRefT<FImage> starmantleBling; // task type 1; character 3 of task type 5
    FRefT<FImage> starmantlePanel;
    FRefT<FImage> vessaBling; // task type 2; character 2 of task type 5
    FRefT<FImage> vessaPanel;
    FRefT<FImage> tuffBling; // task types 3 and 9
    FRefT<FImage> tuffPanel;
    FRefT<FImage> drabbBling; // task type 4
    FRefT<FImage> drabbPanel;
    // Task type 13: the item at position i of the search list takes entry i.
    std::array<FRefT<FImage>, k_hintImageCount> hintImagesA;
    std::array<FRefT<FImage>, k_hintImageCount> hintImagesB;
};
