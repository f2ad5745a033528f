#pragma once

#include <cstdint>

#include "graphics/FGeometry.h"

// A convex clip region of at most 40 vertices in application coordinates
// (y down). A fixed-size value: copying it copies everything, nothing is
// allocated. The vertex store is separate from the polygon's order, so vertices
// can be removed and re-added without moving the others.
//
// Polygons made by convexHull run from the topmost vertex down the left side,
// along the bottom and up the right side. Axis-aligned rectangles are flagged
// and take fast paths in intersection and point tests.
class FClipPolygon
{
public:
    static constexpr int32_t k_capacity = 40;

    FClipPolygon() = default;

    // Empty and sorted, not a rectangle.
    void clear();

    // Appends a vertex; refused (no change) when the polygon already has 40.
    void addVertex(FPointF point);
    // Removes the vertex at position in the polygon's order.
    void removeVertex(int32_t position);
    // Orders the vertices by y, then x (skipped when already in that order).
    void sortByYX();

    // The rectangle's four corners, flagged as a rectangle; a rectangle without
    // width or height leaves the polygon empty. The rectangle is kept either way.
    void fromIntRect(const FRectI& rect);
    void fromFloatRect(const FRectF& rect);

    int32_t vertexCount() const { return m_vertexCount; }
    FPointF vertex(int32_t position) const { return m_points[m_order[position]]; }
    bool isSorted() const { return m_sorted; }
    bool isRectangle() const { return m_isRectangle; }
    const FRectF& rect() const { return m_rect; }

private:
    friend void convexHullOfPoints(FPointF* points, int32_t count, FClipPolygon& result);

    FPointF m_points[k_capacity];
    int32_t m_order[k_capacity] = {};
    int32_t m_freeList[k_capacity] = {};
    uint8_t m_slotUsed[k_capacity] = {};
    int32_t m_pointCount = 0;
    int32_t m_vertexCount = 0;
    int32_t m_freeCount = 0;
    bool m_sorted = true;
    bool m_isRectangle = false;
    FRectF m_rect;
};

// result := the convex hull of source's vertices (monotone chain on the (y, x)
// order; collinear and repeated points are dropped). Fewer than 3 source
// vertices give an empty result.
void convexHull(const FClipPolygon& source, FClipPolygon& result);
// The same over a plain array of points, which it sorts in place.
void convexHullOfPoints(FPointF* points, int32_t count, FClipPolygon& result);

// result := a intersected with b (both convex); empty when they do not overlap.
// Edges closer to parallel than the crossing tolerance produce no crossing.
void intersect(const FClipPolygon& a, const FClipPolygon& b, FClipPolygon& result);

// Where segment p-v crosses edge e0-e1 (both ends included). None for a
// degenerate segment or edge, or when the two are nearer parallel than the
// tolerance (|cross product of their directions| < 0.001).
bool segmentCrossing(FPointF p, FPointF v, FPointF e0, FPointF e1, FPointF& out);

// Rectangles include their left and top edges and exclude right and bottom;
// other polygons include their whole boundary.
bool contains(FPointF point, const FClipPolygon& polygon);

// Same region: equal rectangles, or the same vertices in any order.
bool equals(const FClipPolygon& a, const FClipPolygon& b);

bool rectEquals(const FRectF& a, const FRectF& b);
