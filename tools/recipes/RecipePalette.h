#pragma once

// The colours of one world or theme, so that every picture of a world shares
// its look: the backgrounds, panels, buttons, frames, maps and tiles of world
// 3 all take the "desert" palette's colours.

#include "tools/recipes/Recipe.h"

#include <string>
#include <vector>

struct RecipeColour
{
    double r = 0, g = 0, b = 0;

    // This colour moved towards `other` by t (0 keeps it, 1 gives other).
    RecipeColour mix(const RecipeColour& other, double t) const;
};

struct RecipePalette
{
    enum class Motif { trees, dunes, waves, towers, stars, flowers };

    const char* name;
    RecipeColour sky;    // top of a scene
    RecipeColour ground; // bottom of a scene
    RecipeColour accent; // buttons, highlights
    RecipeColour ink;    // text and outlines
    RecipeColour light;  // panel faces
    RecipeColour dark;   // shadows, frames
    RecipeColour glow;   // the outline of a highlighted item
    Motif motif;         // what a scene of this world is scattered with

    // The recipe's "palette" key: a theme name or "world01" .. "world12";
    // "menu" when the key is missing.
    static const RecipePalette& of(const Recipe& recipe);
    static std::vector<std::string> names();
};
