#pragma once

#include <cstdint>

class FWidget;

// What a map view shows of its scene: the view's own size, where the content
// sits inside it and the content's scale. The range tests of the scene's
// ambient animations are made against it. Rectangles and widgets are given in
// the content's own (unscaled) space.
struct MapViewWindow
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t contentLeft = 0;
    int32_t contentTop = 0;
    float scaleX = 1.0f;
    float scaleY = 1.0f;

    // The rectangle lies in the window widened by 200 / zoom pixels to the
    // right and bottom (companion sounds load a little before they are seen).
    bool isRectNearView(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
    // The same test without the margin.
    bool isRectInView(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
    // Distance in pixels of the widget's centre from the window's centre.
    int32_t distanceFromViewCentre(const FWidget& widget) const;

private:
    bool contains(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t margin) const;
};
