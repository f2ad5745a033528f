#include "graphics/FGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double k_degreesToRadians = 0.017453292519943295;
}

FPointF rotatePoint(double degrees, FPointF point, FPointF centre)
{
    const double theta = degrees * k_degreesToRadians;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const double dx = point.x - centre.x;
    const double dy = point.y - centre.y;
    return FPointF{static_cast<float>(centre.x + dx * c - dy * s),
                   static_cast<float>(centre.y + dy * c + dx * s)};
}

bool lessByYX(FPointF a, FPointF b)
{
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

FRectF flipRectInHeight(const FRectI& rect, int32_t height)
{
    return FRectF{static_cast<float>(rect.left), static_cast<float>(height - rect.bottom),
                  static_cast<float>(rect.right), static_cast<float>(height - rect.top)};
}

FRectF intersectRects(const FRectF& a, const FRectF& b)
{
    FRectF r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}
