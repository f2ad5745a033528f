#pragma once

#include <cstdint>

// Points and rectangles of the renderer. Widget and application coordinates
// have y pointing down.

struct FPointF {
    float x = 0.0f;
    float y = 0.0f;
    bool operator==(const FPointF&) const = default;
};

struct FPointI {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const FPointI&) const = default;
};

struct FRectI {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const FRectI&) const = default;
};

struct FRectF {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    bool operator==(const FRectF&) const = default;
};

// point rotated by degrees about centre (double-precision angle).
FPointF rotatePoint(double degrees, FPointF point, FPointF centre);

// (y, x) order of the polygon code: a.y < b.y, or equal y and a.x < b.x.
bool lessByYX(FPointF a, FPointF b);

// {left, height - bottom, right, height - top}: the rectangle with its vertical
// axis flipped within height.
FRectF flipRectInHeight(const FRectI& rect, int32_t height);

// a := a intersected with b; an empty result keeps its left or top edge.
FRectF intersectRects(const FRectF& a, const FRectF& b);
