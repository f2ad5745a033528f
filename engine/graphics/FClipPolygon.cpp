#include "graphics/FClipPolygon.h"

#include <algorithm>
#include <cmath>

namespace {

// Crossings of nearly parallel lines are too unstable to use.
constexpr double k_parallelTolerance = 0.001;

// Enough for every point an intersection of two full polygons can collect: each
// edge meets the other polygon's boundary at most twice, each crossing at a
// corner is found on both edges of that corner, plus the edge's own end.
constexpr int32_t k_maxCollected = 5 * 2 * FClipPolygon::k_capacity + 8;

// Shell sort by (y, x) with the gaps 21, 7, 3, 1.
template <class Key, class T> void shellSortByYX(T* items, int32_t count, Key key)
{
    for (int32_t gap : {21, 7, 3, 1}) {
        for (int32_t i = gap; i < count; ++i) {
            const T item = items[i];
            int32_t j = i;
            for (; j >= gap && lessByYX(key(item), key(items[j - gap])); j -= gap) {
                items[j] = items[j - gap];
            }
            items[j] = item;
        }
    }
}

// (b - a) x (c - a): negative when b lies left of the line from a down to c.
double cross(FPointF a, FPointF b, FPointF c)
{
    return (double(c.y) - a.y) * (double(b.x) - a.x) - (double(b.y) - a.y) * (double(c.x) - a.x);
}

// Appends c to a chain, first dropping the chain's last points that would make
// a reflex or straight corner. keep(a, b, c) says whether b stays between a, c.
template <class Keep> void pushConvex(FPointF* chain, int32_t& size, FPointF c, Keep keep)
{
    while (size >= 2 && !keep(chain[size - 2], chain[size - 1], c)) {
        --size;
    }
    chain[size++] = c;
}

} // namespace

bool segmentCrossing(FPointF p, FPointF v, FPointF e0, FPointF e1, FPointF& out)
{
    if (p == v || e0 == e1) {
        return false;
    }
    const double d =
        (double(p.x) - v.x) * (double(e0.y) - e1.y) - (double(e0.x) - e1.x) * (double(p.y) - v.y);
    if (std::fabs(d) < k_parallelTolerance) {
        return false;
    }
    const double a = double(p.x) * v.y - double(p.y) * v.x;
    const double b = double(e0.x) * e1.y - double(e0.y) * e1.x;
    const double x = (a * (double(e0.x) - e1.x) - (double(p.x) - v.x) * b) / d;
    const double y = (a * (double(e0.y) - e1.y) - (double(p.y) - v.y) * b) / d;
    // Measure each parameter along the segment's longer axis.
    auto along = [x, y](FPointF s, FPointF t) {
        if (std::fabs(double(t.x) - s.x) >= std::fabs(double(t.y) - s.y)) {
            return (x - s.x) / (double(t.x) - s.x);
        }
        return (y - s.y) / (double(t.y) - s.y);
    };
    const double u = along(p, v);
    const double w = along(e0, e1);
    if (u < 0.0 || u > 1.0 || w < 0.0 || w > 1.0) {
        return false;
    }
    out = FPointF{static_cast<float>(x), static_cast<float>(y)};
    return true;
}

namespace {

// Walks poly's edges (each vertex with its predecessor) and collects the
// vertices inside other and the crossings with other's edges.
void collectAgainst(const FClipPolygon& poly, const FClipPolygon& other, FPointF* out, int32_t& count)
{
    const int32_t n = poly.vertexCount();
    bool inside[FClipPolygon::k_capacity];
    for (int32_t i = 0; i < n; ++i) {
        inside[i] = contains(poly.vertex(i), other);
    }
    const int32_t m = other.vertexCount();
    for (int32_t i = 0; i < n; ++i) {
        const int32_t prev = i == 0 ? n - 1 : i - 1;
        const FPointF v = poly.vertex(i);
        if (!(inside[i] && inside[prev])) {
            const FPointF p = poly.vertex(prev);
            for (int32_t e = 0; e < m; ++e) {
                FPointF x;
                if (segmentCrossing(p, v, other.vertex(e), other.vertex((e + 1) % m), x) &&
                    count < k_maxCollected) {
                    out[count++] = x;
                }
            }
        }
        if (inside[i] && count < k_maxCollected) {
            out[count++] = v;
        }
    }
}

} // namespace

void FClipPolygon::clear()
{
    *this = FClipPolygon();
}

void FClipPolygon::addVertex(FPointF point)
{
    if (m_vertexCount >= k_capacity) {
        return;
    }
    const int32_t slot = m_freeCount > 0 ? m_freeList[--m_freeCount] : m_pointCount++;
    m_points[slot] = point;
    m_slotUsed[slot] = 1;
    if (m_vertexCount > 0 && lessByYX(point, vertex(m_vertexCount - 1))) {
        m_sorted = false;
    }
    m_order[m_vertexCount++] = slot;
}

void FClipPolygon::removeVertex(int32_t position)
{
    if (position < 0 || position >= m_vertexCount) {
        return;
    }
    const int32_t slot = m_order[position];
    std::copy(m_order + position + 1, m_order + m_vertexCount, m_order + position);
    --m_vertexCount;
    m_slotUsed[slot] = 0;
    m_freeList[m_freeCount++] = slot;
}

void FClipPolygon::sortByYX()
{
    if (m_sorted) {
        return;
    }
    shellSortByYX(m_order, m_vertexCount, [this](int32_t slot) { return m_points[slot]; });
    m_sorted = true;
}

void FClipPolygon::fromFloatRect(const FRectF& rect)
{
    clear();
    m_rect = rect;
    if (rect.right - rect.left != 0.0f && rect.bottom - rect.top != 0.0f) {
        addVertex({rect.left, rect.top});
        addVertex({rect.left, rect.bottom});
        addVertex({rect.right, rect.bottom});
        addVertex({rect.right, rect.top});
        m_isRectangle = true;
    }
}

void FClipPolygon::fromIntRect(const FRectI& rect)
{
    clear();
    m_rect = FRectF{float(rect.left), float(rect.top), float(rect.right), float(rect.bottom)};
    if (rect.left != rect.right && rect.top != rect.bottom) {
        addVertex({m_rect.left, m_rect.top});
        addVertex({m_rect.left, m_rect.bottom});
        addVertex({m_rect.right, m_rect.bottom});
        addVertex({m_rect.right, m_rect.top});
        m_isRectangle = true;
    }
}

void convexHullOfPoints(FPointF* points, int32_t count, FClipPolygon& result)
{
    result.clear();
    if (count < 3) {
        return;
    }
    count = std::min(count, k_maxCollected);
    shellSortByYX(points, count, [](FPointF p) { return p; });
    const FPointF q = points[0];
    const FPointF z = points[count - 1];

    // Left chain from the top point q down to the bottom point z: the points
    // left of q-z; a kept corner bends left.
    FPointF left[k_maxCollected + 2];
    int32_t leftSize = 0;
    auto bendsLeft = [](FPointF a, FPointF b, FPointF c) { return cross(a, b, c) < 0.0; };
    pushConvex(left, leftSize, q, bendsLeft);
    for (int32_t i = 1; i < count - 1; ++i) {
        if (cross(q, points[i], z) < 0.0) {
            pushConvex(left, leftSize, points[i], bendsLeft);
        }
    }
    pushConvex(left, leftSize, z, bendsLeft);

    // Right chain from z back up to q: the points on or right of q-z.
    FPointF right[k_maxCollected + 2];
    int32_t rightSize = 0;
    auto bendsRight = [](FPointF a, FPointF b, FPointF c) { return cross(c, b, a) > 0.0; };
    pushConvex(right, rightSize, z, bendsRight);
    for (int32_t i = count - 2; i >= 1; --i) {
        if (cross(q, points[i], z) >= 0.0) {
            pushConvex(right, rightSize, points[i], bendsRight);
        }
    }
    pushConvex(right, rightSize, q, bendsRight);

    // Both chains end where the other starts: drop the repeated z and q.
    for (int32_t i = 0; i < leftSize; ++i) {
        result.addVertex(left[i]);
    }
    for (int32_t i = 1; i < rightSize - 1; ++i) {
        result.addVertex(right[i]);
    }

    if (result.vertexCount() == 4) {
        float xs[4], ys[4];
        for (int32_t i = 0; i < 4; ++i) {
            xs[i] = result.vertex(i).x;
            ys[i] = result.vertex(i).y;
        }
        const auto [x0, x1] = std::minmax_element(xs, xs + 4);
        const auto [y0, y1] = std::minmax_element(ys, ys + 4);
        // Four distinct hull corners on two x and two y values are the corners
        // of an axis-aligned rectangle, in whichever winding.
        bool axisAligned = true;
        for (int32_t i = 0; i < 4; ++i) {
            axisAligned = axisAligned && (xs[i] == *x0 || xs[i] == *x1) && (ys[i] == *y0 || ys[i] == *y1);
        }
        if (axisAligned) {
            result.m_isRectangle = true;
            result.m_rect = FRectF{*x0, *y0, *x1, *y1};
        }
    }
}

void convexHull(const FClipPolygon& source, FClipPolygon& result)
{
    FPointF points[FClipPolygon::k_capacity];
    const int32_t n = source.vertexCount();
    for (int32_t i = 0; i < n; ++i) {
        points[i] = source.vertex(i);
    }
    convexHullOfPoints(points, n, result);
}

void intersect(const FClipPolygon& a, const FClipPolygon& b, FClipPolygon& result)
{
    if (a.isRectangle() && b.isRectangle()) {
        result.fromFloatRect(intersectRects(a.rect(), b.rect()));
        return;
    }
    result.clear();
    if (a.vertexCount() < 3 || b.vertexCount() < 3) {
        return;
    }
    FPointF points[k_maxCollected];
    int32_t count = 0;
    collectAgainst(b, a, points, count);
    collectAgainst(a, b, points, count);
    if (count > 2) {
        convexHullOfPoints(points, count, result);
    }
}

bool contains(FPointF point, const FClipPolygon& polygon)
{
    if (polygon.isRectangle()) {
        const FRectF& r = polygon.rect();
        return r.left <= point.x && point.x < r.right && r.top <= point.y && point.y < r.bottom;
    }
    // Inside (or on the boundary) exactly when adding the point leaves the hull
    // as it was.
    const int32_t n = polygon.vertexCount();
    FPointF points[FClipPolygon::k_capacity + 1];
    for (int32_t i = 0; i < n; ++i) {
        points[i] = polygon.vertex(i);
    }
    points[n] = point;
    FClipPolygon hull;
    convexHullOfPoints(points, n + 1, hull);
    return equals(hull, polygon);
}

bool equals(const FClipPolygon& a, const FClipPolygon& b)
{
    if (a.isRectangle() && b.isRectangle()) {
        return rectEquals(a.rect(), b.rect());
    }
    if (a.vertexCount() != b.vertexCount()) {
        return false;
    }
    FClipPolygon sa = a;
    FClipPolygon sb = b;
    sa.sortByYX();
    sb.sortByYX();
    for (int32_t i = 0; i < sa.vertexCount(); ++i) {
        if (!(sa.vertex(i) == sb.vertex(i))) {
            return false;
        }
    }
    return true;
}

bool rectEquals(const FRectF& a, const FRectF& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
