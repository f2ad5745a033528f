#include "image/FImageRect.h"

#include <algorithm>

void intersectRect(FImageRect& a, const FImageRect& b)
{
    a.left = std::max(a.left, b.left);
    a.bottom = std::max(a.bottom, b.bottom);
    a.right = std::min(a.right, b.right);
    a.top = std::min(a.top, b.top);
    if (a.right < a.left) a.right = a.left;
    if (a.top < a.bottom) a.top = a.bottom;
}

bool rectContains(const FImageRect& outer, const FImageRect& inner)
{
    return outer.left <= inner.left && inner.left < outer.right && outer.bottom <= inner.bottom &&
           inner.bottom < outer.top && outer.left <= inner.right && inner.right <= outer.right &&
           outer.bottom <= inner.top && inner.top <= outer.top;
}
