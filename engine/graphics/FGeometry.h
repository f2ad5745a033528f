#pragma once

#include "image/FImageRect.h"

#include <cstdint>

// Points and rectangles of the renderer. Widget and application coordinates
// have y pointing down.

struct FPointF
{
    float x = 0.0f;
    float y = 0.0f;
    bool operator==(const FPointF&) const = default;
};

// Integer points and y-down rectangles are the image layer's own types.
using FPointI = FImagePoint;
using FRectI = FTopDownRect;

struct FRectF
{
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
