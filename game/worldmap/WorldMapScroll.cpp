#include "game/worldmap/WorldMapScroll.h"

#include <algorithm>

namespace WorldMapScroll {

int32_t margin(int32_t screenWidth)
{
    return static_cast<int32_t>(static_cast<int64_t>(screenWidth) * 300 / 640);
}

FPointI clampOffset(FPointI offset, FPointI screen, FPointI picture)
{
    const int32_t m = margin(screen.x);
    const int32_t right = picture.x - screen.x + m;
    const int32_t bottom = picture.y - screen.y + m;
    // A picture narrower than the screen leaves no room: the lower limit wins,
    // as the clamp tests it first.
    FPointI result = offset;
    if (result.x < -m) result.x = -m;
    if (result.y < -m) result.y = -m;
    if (result.x > right) result.x = std::max(right, -m);
    if (result.y > bottom) result.y = std::max(bottom, -m);
    return result;
}

FPointI glideTarget(FPointI mapPoint, FPointF scale, const FRectI& container)
{
    const auto x = static_cast<int32_t>(static_cast<float>(mapPoint.x) * scale.x);
    const auto y = static_cast<int32_t>(static_cast<float>(mapPoint.y) * scale.y);
    return {x - (container.right - container.left) / 2, y - (container.bottom - container.top) / 2};
}

FPointI glideStep(FPointI scroll, FPointI target)
{
    const int32_t dx = target.x - scroll.x;
    const int32_t dy = target.y - scroll.y;
    return {scroll.x + static_cast<int32_t>(static_cast<float>(dx) * k_glideShare),
            scroll.y + static_cast<int32_t>(static_cast<float>(dy) * k_glideShare)};
}

int32_t decayVelocity(int32_t velocity)
{
    if (velocity > 0) {
        const int32_t v = velocity - velocity / 2;
        return v < k_coastStop ? 0 : v;
    }
    if (velocity < 0) {
        const int32_t v = velocity - velocity / 2;
        return v > -k_coastStop ? 0 : v;
    }
    return 0;
}

} // namespace WorldMapScroll
