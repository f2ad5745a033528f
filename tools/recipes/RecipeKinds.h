#pragma once

// The generators behind makeRecipeAsset, one table per source file: each
// kind has its name, the file ending it makes and the generator itself.

#include "tools/recipes/RecipeMaker.h"

#include <cstdint>
#include <vector>

struct RecipePalette;
typedef struct _cairo cairo_t;

struct RecipeKind
{
    const char* name;
    std::string (*extension)(const Recipe& recipe);
    RecipeAsset (*make)(const Recipe& recipe);
};

const std::vector<RecipeKind>& pictureRecipeKinds(); // PictureRecipes.cpp
const std::vector<RecipeKind>& itemRecipeKinds();    // ItemRecipes.cpp
const std::vector<RecipeKind>& fontRecipeKinds();    // FontRecipes.cpp
const std::vector<RecipeKind>& soundRecipeKinds();   // SoundRecipes.cpp
const std::vector<RecipeKind>& speechRecipeKinds();  // SpeechRecipes.cpp
const std::vector<RecipeKind>& clipRecipeKinds();    // ClipRecipes.cpp

// A world's scene (sky, hills, motifs) over width x height, as backgrounds
// and their tiles show it; clips draw their frames over it.
void drawRecipeScene(cairo_t* cr, const RecipePalette& palette, uint32_t seed, double width, double height);
