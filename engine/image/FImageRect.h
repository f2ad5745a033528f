#pragma once

#include <cstdint>

// Integer point or size (in image pixels, or of the screen).
struct FImagePoint
{
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const FImagePoint&) const = default;
};

// A rectangle in image coordinates: [left, right) x [bottom, top), y upward from
// the bottom edge of the logical image.
struct FImageRect
{
    int32_t left = 0;
    int32_t bottom = 0;
    int32_t right = 0;
    int32_t top = 0;

    // Computed in 64 bits: a rectangle from a damaged file cannot make these
    // overflow (the loaders refuse such rectangles; the result then wraps).
    int32_t width() const { return static_cast<int32_t>(int64_t{right} - left); }
    int32_t height() const { return static_cast<int32_t>(int64_t{top} - bottom); }
    bool operator==(const FImageRect&) const = default;
};

// a := a intersected with b; an empty result keeps its corner (right = left,
// top = bottom) rather than turning negative.
void intersectRect(FImageRect& a, const FImageRect& b);

// True when the inner rectangle lies inside the outer one. The inner rectangle's
// left-bottom corner must be a pixel of outer (so an empty inner rectangle at the
// outer's right or top edge is not contained).
bool rectContains(const FImageRect& outer, const FImageRect& inner);

// A rectangle of the logical image with y counted downward from its top edge,
// as the renderer names regions: [left, right) x [top, bottom).
struct FTopDownRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const FTopDownRect&) const = default;
};
