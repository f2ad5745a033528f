#include "game/widgets/MapViewWindow.h"

#include "ui/FWidget.h"

#include <cmath>

namespace {

// Pixels beyond the right and bottom edges that still count as near, at zoom 1.
constexpr double k_nearMargin = 200.0;

} // namespace

bool MapViewWindow::contains(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t margin) const
{
    const auto x1 = static_cast<int32_t>(static_cast<float>(left) / scaleX);
    const auto y1 = static_cast<int32_t>(static_cast<float>(top) / scaleX);
    const int32_t x2 = left + static_cast<int32_t>(static_cast<float>(right - left) / scaleX);
    const int32_t y2 = top + static_cast<int32_t>(static_cast<float>(bottom - top) / scaleX);
    // The window's far edges are measured from the scrolled origin as its near
    // edges are: against the bare window size, a view scrolled further than
    // its own width would find nothing in view.
    const int32_t minX = -contentLeft;
    const int32_t minY = -contentTop;
    const int32_t maxX = minX + width + margin;
    const int32_t maxY = minY + height + margin;
    return minX <= x1 && x1 < maxX && minY <= y1 && y1 < maxY && minX <= x2 && x2 <= maxX && minY <= y2 &&
           y2 <= maxY;
}

bool MapViewWindow::isRectNearView(int32_t left, int32_t top, int32_t right, int32_t bottom) const
{
    return contains(left, top, right, bottom, static_cast<int32_t>(k_nearMargin / scaleX));
}

bool MapViewWindow::isRectInView(int32_t left, int32_t top, int32_t right, int32_t bottom) const
{
    return contains(left, top, right, bottom, 0);
}

int32_t MapViewWindow::distanceFromViewCentre(const FWidget& widget) const
{
    const FRectI& r = widget.rect();
    const int32_t cx = r.left + widget.width() / 2;
    const int32_t cy = r.top + widget.height() / 2;
    const auto hx = static_cast<int32_t>(width / (scaleX * 2.0));
    const auto hy = static_cast<int32_t>(height / (scaleY * 2.0));
    const double dx = cx + contentLeft - hx;
    const double dy = cy + contentTop - hy;
    const auto d = static_cast<int32_t>(static_cast<float>(std::sqrt(dx * dx + dy * dy)));
    return d > 0 ? static_cast<int32_t>(static_cast<float>(d) / scaleY) : 0;
}
