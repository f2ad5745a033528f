#pragma once

// The things a world's scene is made of beyond its colours: a backdrop drawn
// once behind the hills (a far castle, a volcano, light falling through water)
// and the theme's motif, scattered over the ground (boats, fruit trees,
// market stalls, palms, cacti...).

#include "tools/recipes/RecipePalette.h"
#include "tools/recipes/RecipeRandom.h"

#include <cairo.h>

void setRecipeColour(cairo_t* cr, const RecipeColour& colour, double alpha = 1.0);
// The palette's backdrop over a w x h scene, after the sky and before the hills.
void drawRecipeBackdrop(cairo_t* cr, const RecipePalette& palette, RecipeRandom& random, double w, double h);
// One of the palette's motif things standing on the ground at (x, y), about s high.
void drawRecipeMotif(cairo_t* cr, const RecipePalette& palette, RecipeRandom& random, double x, double y,
                     double s);
