#include "game/widgets/MapHintGeometry.h"

namespace MapHintGeometry {

namespace {

// Pixels the hint rectangle keeps inside the scene.
constexpr int32_t k_sceneInset = 2;
// The unzoomed scene that the mini-map pictures.
constexpr double k_sceneWidth = 2400.0;
constexpr double k_sceneHeight = 1600.0;

// Moves the span [low, low + size) so that it starts at `low`.
void placeSpan(int32_t& low, int32_t& high, int32_t newLow)
{
    const int32_t size = high - low;
    low = newLow;
    high = newLow + size;
}

void placeSpanEnd(int32_t& low, int32_t& high, int32_t newHigh)
{
    const int32_t size = high - low;
    high = newHigh;
    low = newHigh - size;
}

} // namespace

FRectI hintRect(const FRectI& item, const ViewMetrics& view, int32_t rx, int32_t ry)
{
    const float z = view.zoom;
    const auto itemLeft = static_cast<int32_t>(static_cast<float>(item.left) * z);
    const auto itemTop = static_cast<int32_t>(static_cast<float>(item.top) * z);
    const auto itemRight = static_cast<int32_t>(static_cast<float>(item.right - item.left) * z + itemLeft);
    const auto itemBottom = static_cast<int32_t>(static_cast<float>(item.bottom - item.top) * z + itemTop);
    const auto marginX = static_cast<int32_t>(view.viewWidth * 0.1);
    const auto marginY = static_cast<int32_t>(view.viewHeight * 0.1);

    int32_t l = itemLeft - rx;
    int32_t t = itemTop - ry;
    int32_t r = l + view.viewWidth;
    int32_t b = t + view.viewHeight;
    if (l > itemLeft - marginX) placeSpan(l, r, itemLeft - marginX);
    if (t > itemTop - marginY) placeSpan(t, b, itemTop - marginY);
    if (r < itemRight + marginX) placeSpanEnd(l, r, itemRight + marginX);
    const auto bottomLimit = static_cast<int32_t>(1.5 * marginY + itemBottom);
    if (b < bottomLimit) placeSpanEnd(t, b, bottomLimit);
    if (l < k_sceneInset) placeSpan(l, r, k_sceneInset);
    if (t < k_sceneInset) placeSpan(t, b, k_sceneInset);
    if (r > view.contentWidth - k_sceneInset) placeSpanEnd(l, r, view.contentWidth - k_sceneInset);
    if (b > view.contentHeight - k_sceneInset) placeSpanEnd(t, b, view.contentHeight - k_sceneInset);
    return {l, t, r, b};
}

std::array<FRectI, 4> miniMapBands(const FRectI& hint, const FRectI& miniMap, FPointI contentSize)
{
    if (contentSize.x <= 0 || contentSize.y <= 0) return {};
    const int32_t mw = miniMap.right - miniMap.left;
    const int32_t mh = miniMap.bottom - miniMap.top;
    const int32_t x0 = hint.left * mw / contentSize.x;
    const int32_t x1 = hint.right * mw / contentSize.x;
    const int32_t y0 = hint.top * mh / contentSize.y;
    const int32_t y1 = hint.bottom * mh / contentSize.y;
    const int32_t left = miniMap.left;
    const int32_t top = miniMap.top;
    return {FRectI{left, top, left + x0, top + mh}, FRectI{left + x1, top, left + mw, top + mh},
            FRectI{left + x0, top, left + x1, top + y0}, FRectI{left + x0, top + y1, left + x1, top + mh}};
}

FRectI viewFrameRect(const FRectI& miniMap, const ViewMetrics& view, FPointF viewScale,
                     FPointI contentPosition)
{
    if (view.contentWidth <= 0 || view.contentHeight <= 0) return {};
    const int32_t mw = miniMap.right - miniMap.left;
    const int32_t mh = miniMap.bottom - miniMap.top;
    const auto width =
        static_cast<int32_t>(static_cast<double>(view.viewWidth) * mw / view.contentWidth / viewScale.x);
    const auto height =
        static_cast<int32_t>(static_cast<double>(view.viewHeight) * mh / view.contentHeight / viewScale.y);
    const auto left = static_cast<int32_t>(-contentPosition.x * mw / k_sceneWidth + miniMap.left);
    const auto top = static_cast<int32_t>(-contentPosition.y * mh / k_sceneHeight + miniMap.top);
    return {left, top, left + width, top + height};
}

Proximity proximityOf(double distance, int32_t hintWidth, bool overItem)
{
    if (overItem) return {9, CursorClip::k_hot, 5};
    const int32_t w = hintWidth;
    if (distance > w * 7 / 8) return {8, CursorClip::k_cold, 0};
    if (distance > w * 5 / 8) return {7, CursorClip::k_cold, 1};
    if (distance > w * 3 / 8) return {6, CursorClip::k_warm, 2};
    if (distance > w / 6) return {5, CursorClip::k_warm, 3};
    return {4, CursorClip::k_hot, 4};
}

Proximity proximityOff()
{
    return {0, CursorClip::k_default, 6};
}

} // namespace MapHintGeometry
