#pragma once

// The colours of one world or theme, so that every picture of a world shares
// its look: the backgrounds, panels, buttons, frames, maps and tiles of world
// 3 (a market town) all take the "city" palette's colours and scene motif.

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
    // What a scene is scattered with; each world's theme has its own.
    enum class Motif {
        trees,
        stars,
        flowers,
        boats,       // harbour: sailing boats on the water
        fruitTrees,  // orchard: round crowns hung with fruit
        stalls,      // market: stalls under striped awnings
        palms,       // lagoon: palm islands
        mesas,       // canyon: flat-topped rocks
        icebergs,    // glacier: ice floes and peaks
        leaves,      // jungle: broad leaves and hanging vines
        battlements, // castle: crenellated towers with flags
        cacti,       // desert: dunes with cacti
        coral,       // reef: coral branches and bubbles
        cones,       // volcano: smoking cones with lava
        clouds       // skyport: clouds and balloons
    };

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
    // World 1 to 12's own palette, each fitting its world's theme.
    static const RecipePalette& ofWorld(int world);
    static std::vector<std::string> names();
};
