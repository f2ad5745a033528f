#pragma once

// Labels on recipe pictures and clips: a text centred on a point in DejaVu
// Sans Bold, read through FreeType straight from its file (not looked up
// through the system's font configuration, so the same text always draws
// the same pixels and nothing is left held at exit).

#include "tools/recipes/RecipePalette.h"

#include <string>

typedef struct _cairo cairo_t;

// Draws `text` (UTF-8) centred on (cx, cy), `size` pixels high; nothing for an
// empty text.
void drawRecipeLabel(cairo_t* cr, const std::string& text, double cx, double cy, double size,
                     const RecipeColour& colour);
