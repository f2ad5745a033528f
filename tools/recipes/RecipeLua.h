#pragma once

// Recipes from Lua: a recipe is a table of the form
//   { kind = "panel", w = 300, h = 120, palette = "forest" }
// whose keys are texts and whose values are numbers, texts, booleans or
// arrays of numbers. Anything else fails with a RecipeError naming the key.

#include "tools/recipes/Recipe.h"

#include <string>

struct lua_State;

// The table at `index` of the Lua stack (left where it is), named `name`.
Recipe recipeFromLua(lua_State* lua, int index, const std::string& name);

// Runs a Lua file that returns a recipe table; the recipe is named by the path.
Recipe loadRecipeFile(const std::string& path);
