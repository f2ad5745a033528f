#pragma once

#include "graphics/FGeometry.h"

#include <array>
#include <cstdint>

// The arithmetic of the map view's hints: the window-sized region a hint
// shows around an item, the bands that darken the mini-map outside it, the
// mini-map frame of the window and the hot-and-cold tiers of the proximity
// cursor. Pure functions of their arguments; the map view's hint layer
// supplies its members.
namespace MapHintGeometry {

// The window size (vw, vh), the content's size at the current zoom (cw, ch)
// and the zoom.
struct ViewMetrics
{
    int32_t viewWidth = 0;
    int32_t viewHeight = 0;
    int32_t contentWidth = 0;
    int32_t contentHeight = 0;
    float zoom = 1.0f;
};

// A view-sized rectangle of the zoomed scene around `item` (the item's
// rectangle in the unzoomed scene), offset by (rx, ry) from the item and then
// moved so that the item keeps 10 % of the window from the left, top and
// right edges and 15 % from the bottom, and the rectangle 2 pixels inside the
// scene.
FRectI hintRect(const FRectI& item, const ViewMetrics& view, int32_t rx, int32_t ry);

// The four bands of the mini-map `miniMap` (in the overlay's space) outside
// the hint rectangle `hint` of a content of `contentSize`: left, right, then
// above and below between them. Empty rectangles for an empty content.
std::array<FRectI, 4> miniMapBands(const FRectI& hint, const FRectI& miniMap, FPointI contentSize);

// The mini-map frame that shows which part of the scene the window shows:
// the window (vw, vh) at the map view's own scale (sx, sy) over the content
// of size (cw, ch) at (cx, cy). Positions measure against the unzoomed scene.
FRectI viewFrameRect(const FRectI& miniMap, const ViewMetrics& view, FPointF viewScale,
                     FPointI contentPosition);

enum class CursorClip : int32_t { k_cold, k_warm, k_hot, k_default };

// The proximity cursor's level (0, 4-9), its clip and the tier state (0-6)
// sent to the screen.
struct Proximity
{
    int32_t level = 0;
    CursorClip clip = CursorClip::k_default;
    int32_t state = 6;
    bool operator==(const Proximity&) const = default;
};

// The tier of a pointer at `distance` from the hinted item's centre, with
// the hint rectangle `hintWidth` wide; over the item is the hottest tier.
Proximity proximityOf(double distance, int32_t hintWidth, bool overItem);
// The state of the cursor while no radar measures (the default clip).
Proximity proximityOff();

} // namespace MapHintGeometry
