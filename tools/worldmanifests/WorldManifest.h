#pragma once

// The manifest of a world scene's screen-file folder (content/worlds/NNN.lua),
// derived from the worlds' content table: every asset with its id, kind, the
// table it is filed in and its item key, and every caption text. The
// manifests are written by `kittool worlds` and checked in; a test keeps them
// equal to what this writes.

#include "game/worldcontent/WorldKeys.h"
#include <cstdint>

#include <string>
#include <utility>
#include <vector>

// Asset and text ids of world index i start at k_worldIdBase + i * k_worldIdStride,
// clear of every id the screens' folders use, so that no id repeats among the
// folders a level binds together.
constexpr int32_t k_worldIdBase = 20000;
constexpr int32_t k_worldIdStride = 500;

// Every asset and text of world `index` with the id its folder files it
// under: the manifest and the generated layout class both take them from here.
struct WorldIds
{
    std::vector<std::pair<WorldItem, int32_t>> assets;          // in the order the scene holds them
    std::vector<std::pair<int32_t, int32_t>> plainCaptions;     // vignette, text id
    std::vector<std::pair<std::string, int32_t>> keyedCaptions; // caption key, text id
};
WorldIds worldIds(int32_t index);

std::string worldManifest(int32_t index);
// "036.lua" for world index 0 (folder 36).
std::string worldManifestName(int32_t index);
