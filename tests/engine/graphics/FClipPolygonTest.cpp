#include "graphics/FClipPolygon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

std::vector<FPointF> vertices(const FClipPolygon& p)
{
    std::vector<FPointF> v;
    for (int32_t i = 0; i < p.vertexCount(); ++i) {
        v.push_back(p.vertex(i));
    }
    return v;
}

FClipPolygon polygonOf(std::vector<FPointF> points)
{
    FClipPolygon p;
    convexHullOfPoints(points.data(), static_cast<int32_t>(points.size()), p);
    return p;
}

double signedArea(const std::vector<FPointF>& v)
{
    double a = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        const FPointF p = v[i];
        const FPointF q = v[(i + 1) % v.size()];
        a += double(p.x) * q.y - double(q.x) * p.y;
    }
    return a / 2;
}

// (b - a) x (c - a) in double.
double turn(FPointF a, FPointF b, FPointF c)
{
    return (double(b.x) - a.x) * (double(c.y) - a.y) - (double(b.y) - a.y) * (double(c.x) - a.x);
}

// Distance of p inside the convex polygon v (negative outside), for either
// winding.
double insideDistance(const std::vector<FPointF>& v, FPointF p)
{
    const double sign = signedArea(v) >= 0 ? 1.0 : -1.0;
    double d = 1e30;
    for (size_t i = 0; i < v.size(); ++i) {
        const FPointF a = v[i];
        const FPointF b = v[(i + 1) % v.size()];
        const double len = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
        d = std::min(d, sign * turn(a, b, p) / len);
    }
    return d;
}

bool isStrictlyConvex(const std::vector<FPointF>& v)
{
    if (v.size() < 3) {
        return false;
    }
    int sign = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        const double t = turn(v[i], v[(i + 1) % v.size()], v[(i + 2) % v.size()]);
        const int s = t > 0 ? 1 : (t < 0 ? -1 : 0);
        if (s == 0 || (sign != 0 && s != sign)) {
            return false;
        }
        sign = s;
    }
    return true;
}

// Sutherland-Hodgman: subject clipped by the convex polygon clip, in double.
double referenceIntersectionArea(const std::vector<FPointF>& subject, const std::vector<FPointF>& clip)
{
    struct P
    {
        double x, y;
    };
    std::vector<P> out;
    for (FPointF s : subject) {
        out.push_back({s.x, s.y});
    }
    const double sign = signedArea(clip) >= 0 ? 1.0 : -1.0;
    for (size_t i = 0; i < clip.size() && !out.empty(); ++i) {
        const P a{clip[i].x, clip[i].y};
        const P b{clip[(i + 1) % clip.size()].x, clip[(i + 1) % clip.size()].y};
        auto side = [&](P p) { return sign * ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)); };
        std::vector<P> in = out;
        out.clear();
        for (size_t j = 0; j < in.size(); ++j) {
            const P cur = in[j];
            const P prev = in[(j + in.size() - 1) % in.size()];
            const double sc = side(cur), sp = side(prev);
            if ((sc >= 0) != (sp >= 0)) {
                const double t = sp / (sp - sc);
                out.push_back({prev.x + t * (cur.x - prev.x), prev.y + t * (cur.y - prev.y)});
            }
            if (sc >= 0) {
                out.push_back(cur);
            }
        }
    }
    std::vector<FPointF> f;
    for (P p : out) {
        f.push_back({static_cast<float>(p.x), static_cast<float>(p.y)});
    }
    return f.size() < 3 ? 0.0 : std::abs(signedArea(f));
}

TEST(ClipPolygon, HoldsAtMostFortyVertices)
{
    FClipPolygon p;
    for (int i = 0; i < 41; ++i) {
        p.addVertex({float(i), float(i)});
    }
    EXPECT_EQ(p.vertexCount(), 40);
    EXPECT_EQ(p.vertex(39), (FPointF{39, 39}));
    EXPECT_TRUE(p.isSorted()) << "points arrived in (y, x) order";
}

TEST(ClipPolygon, SortsByYThenXAndReusesRemovedSlots)
{
    FClipPolygon p;
    const FPointF input[] = {{5, 2}, {1, 9}, {3, 2}, {0, 0}, {7, 9}, {2, 5}};
    for (FPointF q : input) {
        p.addVertex(q);
    }
    EXPECT_FALSE(p.isSorted());
    p.sortByYX();
    EXPECT_TRUE(p.isSorted());
    const std::vector<FPointF> sorted{{0, 0}, {3, 2}, {5, 2}, {2, 5}, {1, 9}, {7, 9}};
    EXPECT_EQ(vertices(p), sorted);

    p.removeVertex(1);
    p.removeVertex(0);
    p.addVertex({8, 9});
    const std::vector<FPointF> after{{5, 2}, {2, 5}, {1, 9}, {7, 9}, {8, 9}};
    EXPECT_EQ(vertices(p), after);
    // The store holds six slots; a removed one is taken again before a new one.
    for (int i = 0; i < 35; ++i) {
        p.addVertex({9, 9});
    }
    EXPECT_EQ(p.vertexCount(), 40);
}

TEST(ClipPolygon, RectanglesWithoutAreaAreEmpty)
{
    FClipPolygon p;
    p.fromIntRect({10, 20, 30, 60});
    EXPECT_TRUE(p.isRectangle());
    EXPECT_EQ(vertices(p), (std::vector<FPointF>{{10, 20}, {10, 60}, {30, 60}, {30, 20}}));
    p.fromIntRect({10, 20, 10, 60});
    EXPECT_FALSE(p.isRectangle());
    EXPECT_EQ(p.vertexCount(), 0);
    EXPECT_EQ(p.rect(), (FRectF{10, 20, 10, 60}));
    p.fromFloatRect({1.5f, 2, 3, 2});
    EXPECT_EQ(p.vertexCount(), 0);
}

TEST(ClipPolygon, HullDropsInnerCollinearAndRepeatedPoints)
{
    const FClipPolygon hull =
        polygonOf({{0, 0}, {10, 0}, {5, 0}, {10, 10}, {0, 10}, {5, 5}, {10, 10}, {0, 5}});
    EXPECT_EQ(vertices(hull), (std::vector<FPointF>{{0, 0}, {0, 10}, {10, 10}, {10, 0}}));
    EXPECT_TRUE(hull.isRectangle());
    EXPECT_EQ(hull.rect(), (FRectF{0, 0, 10, 10}));

    const FClipPolygon diamond = polygonOf({{5, 0}, {10, 5}, {5, 10}, {0, 5}});
    EXPECT_EQ(diamond.vertexCount(), 4);
    EXPECT_FALSE(diamond.isRectangle());

    EXPECT_EQ(polygonOf({{0, 0}, {1, 1}, {2, 2}, {3, 3}}).vertexCount(), 2) << "a line has no area";
    EXPECT_EQ(polygonOf({{0, 0}, {1, 1}}).vertexCount(), 0);
}

TEST(ClipPolygon, PointTests)
{
    FClipPolygon rect;
    rect.fromIntRect({10, 20, 30, 40});
    const FClipPolygon diamond = polygonOf({{5, 0}, {10, 5}, {5, 10}, {0, 5}});
    struct Case
    {
        const FClipPolygon* polygon;
        FPointF point;
        bool inside;
    } cases[] = {
        {&rect, {10, 20}, true},   {&rect, {29.9f, 39.9f}, true},  {&rect, {30, 25}, false},
        {&rect, {15, 40}, false},  {&rect, {9.9f, 25}, false},     {&diamond, {5, 5}, true},
        {&diamond, {5, 0}, true},  {&diamond, {7.5f, 2.5f}, true}, {&diamond, {8, 2}, false},
        {&diamond, {0, 0}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(contains(c.point, *c.polygon), c.inside) << c.point.x << "," << c.point.y;
    }
}

TEST(ClipPolygon, EqualityIgnoresVertexOrder)
{
    FClipPolygon a = polygonOf({{5, 0}, {10, 5}, {5, 10}, {0, 5}});
    FClipPolygon b;
    for (FPointF p : std::vector<FPointF>{{0, 5}, {5, 10}, {10, 5}, {5, 0}}) {
        b.addVertex(p);
    }
    EXPECT_TRUE(equals(a, b));
    b.removeVertex(0);
    EXPECT_FALSE(equals(a, b));
    FClipPolygon r1, r2;
    r1.fromIntRect({0, 0, 4, 4});
    r2.fromFloatRect({0, 0, 4, 4});
    EXPECT_TRUE(equals(r1, r2));
    r2.fromFloatRect({0, 0, 4, 5});
    EXPECT_FALSE(equals(r1, r2));
}

TEST(ClipPolygon, SegmentCrossings)
{
    struct Case
    {
        const char* what;
        FPointF p, v, e0, e1;
        bool crosses;
        FPointF at;
    } cases[] = {
        {"plain cross", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true, {5, 5}},
        {"steep segment measured on y", {1, 0}, {1, 10}, {0, 4}, {10, 4}, true, {1, 4}},
        {"touching at an end", {0, 0}, {10, 0}, {10, -5}, {10, 5}, true, {10, 0}},
        {"beyond the segment", {0, 0}, {4, 0}, {5, -5}, {5, 5}, false, {}},
        {"beyond the edge", {0, 0}, {10, 0}, {5, 1}, {5, 5}, false, {}},
        {"degenerate segment", {3, 3}, {3, 3}, {0, 0}, {10, 10}, false, {}},
        {"degenerate edge", {0, 0}, {10, 10}, {5, 5}, {5, 5}, false, {}},
        // |d| = 10 * 0.00008 = 0.0008: nearer parallel than the tolerance
        {"nearly parallel", {0, 0}, {10, 0}, {0, -0.00004f}, {10, 0.00004f}, false, {}},
        // |d| = 10 * 0.0002 = 0.002
        {"shallow but past the tolerance", {0, 0}, {10, 0}, {0, -0.0001f}, {10, 0.0001f}, true, {5, 0}},
    };
    for (const Case& c : cases) {
        FPointF at{-1, -1};
        EXPECT_EQ(segmentCrossing(c.p, c.v, c.e0, c.e1, at), c.crosses) << c.what;
        if (c.crosses) {
            EXPECT_NEAR(at.x, c.at.x, 1e-4f) << c.what;
            EXPECT_NEAR(at.y, c.at.y, 1e-4f) << c.what;
        }
    }
}

TEST(ClipPolygon, RectangleIntersectionsStayRectangles)
{
    FClipPolygon a, b, r;
    a.fromIntRect({0, 0, 100, 50});
    b.fromIntRect({60, 20, 200, 300});
    intersect(a, b, r);
    EXPECT_TRUE(r.isRectangle());
    EXPECT_EQ(r.rect(), (FRectF{60, 20, 100, 50}));
    EXPECT_EQ(r.vertexCount(), 4);

    b.fromIntRect({150, 0, 200, 50});
    intersect(a, b, r);
    EXPECT_EQ(r.vertexCount(), 0);
    EXPECT_EQ(r.rect().right - r.rect().left, 0.0f);

    FClipPolygon empty;
    intersect(polygonOf({{0, 0}, {10, 0}, {5, 8}}), empty, r);
    EXPECT_EQ(r.vertexCount(), 0);
}

TEST(ClipPolygon, TurnedSquareCutBySquareIsAnOctagon)
{
    std::vector<FPointF> turned;
    for (int i = 0; i < 4; ++i) {
        const double a = (90.0 * i) * 3.14159265358979 / 180.0;
        turned.push_back(
            {float(50 + 10 * std::sqrt(2.0) * std::cos(a)), float(50 + 10 * std::sqrt(2.0) * std::sin(a))});
    }
    // Rotated by 45 degrees, the square's corners point up, down, left, right.
    FClipPolygon diamond = polygonOf(turned);
    FClipPolygon square, r;
    square.fromIntRect({40, 40, 60, 60});
    intersect(square, diamond, r);
    const std::vector<FPointF> v = vertices(r);
    EXPECT_EQ(v.size(), 8u);
    EXPECT_TRUE(isStrictlyConvex(v));
    EXPECT_FALSE(r.isRectangle());
    EXPECT_NEAR(std::abs(signedArea(v)), referenceIntersectionArea(vertices(square), turned), 1e-2);
}

// Random convex polygons: the intersection lies inside both, is convex, and
// covers the area that clipping one by the other covers.
TEST(ClipPolygon, RandomIntersectionsAreConvexAndInsideBoth)
{
    std::mt19937 random(20240601);
    std::uniform_real_distribution<float> coordinate(0.0f, 200.0f);
    std::uniform_int_distribution<int> count(3, 40);
    auto randomPolygon = [&] {
        std::vector<FPointF> points(static_cast<size_t>(count(random)));
        for (FPointF& p : points) {
            p = {coordinate(random), coordinate(random)};
        }
        return polygonOf(points);
    };
    int overlapping = 0;
    for (int n = 0; n < 400; ++n) {
        const FClipPolygon a = randomPolygon();
        const FClipPolygon b = randomPolygon();
        if (a.vertexCount() < 3 || b.vertexCount() < 3) {
            continue;
        }
        FClipPolygon r;
        intersect(a, b, r);
        const std::vector<FPointF> va = vertices(a), vb = vertices(b), vr = vertices(r);
        const double expectedArea = referenceIntersectionArea(va, vb);
        if (vr.empty()) {
            EXPECT_LT(expectedArea, 0.5) << "case " << n;
            continue;
        }
        ++overlapping;
        ASSERT_GE(vr.size(), 3u) << "case " << n;
        EXPECT_TRUE(isStrictlyConvex(vr)) << "case " << n;
        for (FPointF p : vr) {
            EXPECT_GE(insideDistance(va, p), -1e-3) << "case " << n;
            EXPECT_GE(insideDistance(vb, p), -1e-3) << "case " << n;
        }
        EXPECT_NEAR(std::abs(signedArea(vr)), expectedArea, 0.05 + 1e-4 * expectedArea) << "case " << n;
    }
    EXPECT_GT(overlapping, 100) << "the random cases must exercise real overlaps";
}

TEST(ClipPolygon, RandomHullsEncloseTheirPoints)
{
    std::mt19937 random(99);
    std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f);
    for (int n = 0; n < 300; ++n) {
        std::vector<FPointF> points(static_cast<size_t>(3 + n % 38));
        for (FPointF& p : points) {
            p = {coordinate(random), coordinate(random)};
        }
        FClipPolygon source;
        for (FPointF p : points) {
            source.addVertex(p);
        }
        FClipPolygon hull;
        convexHull(source, hull);
        const std::vector<FPointF> v = vertices(hull);
        ASSERT_TRUE(isStrictlyConvex(v)) << "case " << n;
        // Top first, then down the left side: anticlockwise on a y-down screen,
        // which this area formula counts negative.
        EXPECT_LT(signedArea(v), 0) << "case " << n;
        EXPECT_EQ(v[0].y, std::min_element(points.begin(), points.end(), lessByYX)->y);
        for (FPointF p : v) {
            EXPECT_NE(std::find(points.begin(), points.end(), p), points.end())
                << "hull vertices are input points";
        }
        for (FPointF p : points) {
            EXPECT_GE(insideDistance(v, p), -1e-4) << "case " << n;
            EXPECT_TRUE(contains(p, hull)) << "case " << n;
        }
        // Points well outside are outside.
        EXPECT_FALSE(contains({200, 200}, hull));
    }
}

} // namespace
