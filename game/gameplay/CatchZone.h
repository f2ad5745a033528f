#pragma once

#include "graphics/FGeometry.h"

// Where a pointer catches a falling sprite: three times the sprite's size,
// sharing its bottom-right corner (from two widths left and two heights above
// the sprite, inclusive, to its right and bottom edges, exclusive).
inline bool isInCatchZone(const FRectI& sprite, FPointI point)
{
    const int32_t width = sprite.right - sprite.left;
    const int32_t height = sprite.bottom - sprite.top;
    return point.x >= sprite.left - 2 * width && point.x < sprite.right &&
           point.y >= sprite.top - 2 * height && point.y < sprite.bottom;
}
