#pragma once

#include <cstdint>

#include "graphics/FClipPolygon.h"
#include "graphics/FGeometry.h"
#include "graphics/FMatrix3.h"

// One entry of a draw context's clip stack: the placement of a widget (its
// rectangle, the origin its content is drawn from, rotation and scale about a
// pivot), the matrices that follow from it, and the region its drawing is
// clipped to.
struct FClipState
{
    // What pushing the state found for its region.
    enum Result : int32_t {
        k_unchanged = 1, // the region is the widget's own polygon
        k_clipped = 2,   // a container cut the widget's polygon
        k_empty = 3,     // nothing of the widget can show
    };

    FRectI rect;
    FPointI origin;
    float angle = 0.0f; // degrees
    FPointI pivot;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    bool isScaled = false;
    bool isRotated = false;
    int32_t result = k_unchanged;
    FClipPolygon clipPolygon;
    FMatrix3 local;
    FMatrix3 world;
    FMatrix3 offset;
    FMatrix3 inverseLocal; // stays identity when local cannot be inverted
    FMatrix3 inverseWorld;

    // local (rotation about the pivot after scaling about it, less the origin),
    // its inverse and the offset to the rectangle's corner.
    void computeMatrices();
};

// The scale part of a state: scale about the pivot and move by the rectangle's
// corner less the origin.
FMatrix3 clipScaleMatrix(const FClipState& state);
// The rotation part: by -angle degrees about the pivot.
FMatrix3 clipRotationMatrix(const FClipState& state);
