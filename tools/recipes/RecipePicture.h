#pragma once

// Writes a recipe's Cairo picture in the image format its "format" key asks
// for: "png" (the default), "jpg" (opaque; alpha is dropped) or "j32" (JPEG
// colour with a PNG alpha). Trimmed pictures store only their inner
// rectangle and end with the placement trailer giving the logical size and
// where the rectangle sits in it.

#include "tools/recipes/RecipeCanvas.h"
#include "tools/recipes/RecipeMaker.h"

struct RecipePlacement
{
    int32_t offsetX = 0; // from the left edge
    int32_t offsetY = 0; // downward from the top edge
    int32_t fullWidth = 0;
    int32_t fullHeight = 0;
};

std::string recipePictureExtension(const Recipe& recipe);

// The whole canvas, untrimmed.
RecipeAsset encodeRecipePicture(const Recipe& recipe, const RecipeCanvas& canvas);
// `area` of the canvas, placed in a logical picture by `placement`.
RecipeAsset encodeRecipePicture(const Recipe& recipe, const RecipeCanvas& canvas, const RecipeRect& area,
                                const RecipePlacement& placement);
