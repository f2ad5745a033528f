#pragma once

// Makes one asset's demo media from its recipe: the file's bytes in the
// engine's format and the file ending its loader is chosen by.
//
// Every kind is deterministic: the same recipe gives the same bytes (seeded
// generators, fixed stream serial numbers, no clocks). A recipe that cannot be
// made throws RecipeError naming the recipe and the key.

#include "tools/recipes/Recipe.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecipeAsset
{
    std::vector<uint8_t> bytes;
    std::string extension; // with its dot: ".png", ".vorbis", ...
};

// Raised with every change to what any generator makes, so that cached
// outputs of an older tool are made again.
constexpr int k_recipeToolVersion = 3;

// The file ending the recipe's asset will have, without making it (checks the
// kind and the format key only).
std::string recipeExtension(const Recipe& recipe);

RecipeAsset makeRecipeAsset(const Recipe& recipe);

// The kinds recipes may name, in the order README.md lists them.
std::vector<std::string> recipeKinds();
