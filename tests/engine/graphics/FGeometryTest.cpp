#include "graphics/FGeometry.h"

#include <gtest/gtest.h>

#include <random>

#include "graphics/FClipState.h"
#include "graphics/FColorF.h"
#include "graphics/FMatrix3.h"

namespace {

FPointF mapPoint(const FMatrix3& m, FPointF p)
{
    const FVector3 v = transformPoint(m, {p.x, p.y, 1.0f});
    return {v.x / v.z, v.y / v.z};
}

void expectNear(FPointF actual, FPointF expected, float tolerance, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
}

TEST(Matrix3, ProductAppliesTheLeftMatrixFirst)
{
    FMatrix3 scale;
    scale.m00 = 2.0f;
    scale.m11 = 3.0f;
    FMatrix3 move;
    move.m20 = 10.0f;
    move.m21 = 20.0f;
    FMatrix3 m = scale;
    multiply(m, move);
    expectNear(mapPoint(m, {1, 1}), {12, 23}, 0, "scale then move");
    m = move;
    multiply(m, scale);
    expectNear(mapPoint(m, {1, 1}), {22, 63}, 0, "move then scale");

    const FVector3 v = transformPoint(move, {1, 2, 0});
    EXPECT_EQ(v.x, 1.0f) << "z = 0 takes no translation";
    EXPECT_EQ(v.y, 2.0f);
    EXPECT_EQ(v.z, 0.0f);
}

TEST(Matrix3, SingularMatricesAreNotInvertedAndLeaveTheOutputAlone)
{
    FMatrix3 zeroScale;
    zeroScale.m00 = 0.0f;
    FMatrix3 out;
    out.m20 = 42.0f;
    const FMatrix3 kept = out;
    EXPECT_FALSE(invert(zeroScale, out));
    EXPECT_EQ(out, kept);

    FMatrix3 collapsed; // second row a multiple of the first
    collapsed.m00 = 1.0f;
    collapsed.m01 = 2.0f;
    collapsed.m10 = 2.0f;
    collapsed.m11 = 4.0f;
    EXPECT_FALSE(invert(collapsed, out));
    EXPECT_EQ(out, kept);
}

TEST(Matrix3, InverseUndoesRandomAffineMatrices)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-3.0f, 3.0f);
    for (int n = 0; n < 200; ++n) {
        FMatrix3 m;
        m.m00 = value(random);
        m.m01 = value(random);
        m.m10 = value(random);
        m.m11 = value(random);
        m.m20 = value(random) * 100;
        m.m21 = value(random) * 100;
        const float det = m.m00 * m.m11 - m.m01 * m.m10;
        if (std::abs(det) < 0.1f) {
            continue;
        }
        FMatrix3 inverse;
        ASSERT_TRUE(invert(m, inverse));
        FMatrix3 product = m;
        multiply(product, inverse);
        const float* p = &product.m00;
        const FMatrix3 identity;
        const float* e = &identity.m00;
        for (int i = 0; i < 9; ++i) {
            EXPECT_NEAR(p[i], e[i], 1e-3f) << "matrix " << n << " entry " << i;
        }
    }
}

TEST(Geometry, RotationTurnsAboutTheCentre)
{
    expectNear(rotatePoint(90.0, {1, 0}, {0, 0}), {0, 1}, 1e-6f, "quarter turn");
    expectNear(rotatePoint(180.0, {5, 7}, {3, 4}), {1, 1}, 1e-5f, "half turn about (3, 4)");
    expectNear(rotatePoint(-90.0, {3, 4}, {3, 4}), {3, 4}, 0, "the centre stays");
}

TEST(Geometry, YXOrderComparesYFirst)
{
    struct Case
    {
        FPointF a, b;
        bool less;
    } cases[] = {
        {{1, 2}, {0, 3}, true},  {{1, 2}, {0, 2}, false}, {{0, 2}, {1, 2}, true},
        {{1, 2}, {1, 2}, false}, {{0, 3}, {1, 2}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lessByYX(c.a, c.b), c.less) << c.a.x << "," << c.a.y << " < " << c.b.x << "," << c.b.y;
    }
}

TEST(Geometry, RectanglesFlipAndIntersect)
{
    EXPECT_EQ(flipRectInHeight(FRectI{1, 2, 5, 10}, 100), (FRectF{1, 90, 5, 98}));
    EXPECT_EQ(intersectRects({0, 0, 10, 10}, {5, -5, 20, 8}), (FRectF{5, 0, 10, 8}));
    EXPECT_EQ(intersectRects({0, 0, 10, 10}, {20, 30, 40, 50}), (FRectF{20, 30, 20, 30}));
}

TEST(ColorF, ChannelsConvertTruncatingWithoutClamping)
{
    const FColorF c = FColorF::fromRgba8({255, 0, 51, 3});
    EXPECT_EQ(c.c[0], 1.0f);
    EXPECT_EQ(c.c[1], 0.0f);
    EXPECT_EQ(c.c[2], 0.2f);
    EXPECT_EQ(c.c[3], 0.0117647061f);
    const FColorF w = FColorF::fromRgba16({65535, 0, 32768, 1});
    EXPECT_EQ(w.c[0], 1.0f);
    EXPECT_EQ(w.c[3], 1.0f / 65535.0f);

    const FColorF f{{1.0f, 0.999f, 2.0f, -1.0f}};
    EXPECT_EQ(f.toRgba8(), (std::array<uint8_t, 4>{255, 254, 254, 1}));
    EXPECT_EQ(f.toRgba16(), (std::array<uint16_t, 4>{65535, 65469, 65534, 1}));
}

TEST(ClipStateMatrices, ScaleAndRotationKeepThePivot)
{
    FClipState s;
    s.rect = {0, 0, 40, 40};
    s.pivot = {10, 20};
    s.angle = 90.0f;
    s.isRotated = true;
    s.computeMatrices();
    expectNear(mapPoint(s.local, {10, 20}), {10, 20}, 1e-4f, "pivot");
    // Turned by -90 degrees (the screen's y points down).
    expectNear(mapPoint(s.local, {20, 20}), {10, 10}, 1e-4f, "rotated point");
    expectNear(mapPoint(s.inverseLocal, {10, 10}), {20, 20}, 1e-4f, "inverse maps back");
    expectNear(mapPoint(s.inverseLocal, mapPoint(s.local, {13, -7})), {13, -7}, 1e-4f, "round trip");

    FClipState t;
    t.rect = {100, 50, 140, 90};
    t.origin = {5, 6};
    t.pivot = {20, 20};
    t.scaleX = 2.0f;
    t.scaleY = 0.5f;
    t.isScaled = true;
    t.computeMatrices();
    // Scaled about the pivot, then moved by the corner less the origin.
    expectNear(mapPoint(t.local, {20, 20}), {115, 64}, 0, "pivot moves with the corner");
    expectNear(mapPoint(t.local, {30, 40}), {135, 74}, 0, "scaled point");
    expectNear(mapPoint(t.offset, {0, 0}), {100, 50}, 0, "offset");

    FClipState unscaled = t;
    unscaled.isScaled = false;
    unscaled.computeMatrices();
    expectNear(mapPoint(unscaled.local, {30, 40}), {125, 84}, 0, "scale ignored unless flagged");

    FClipState flat;
    flat.rect = t.rect;
    flat.scaleX = 2.0f;
    flat.scaleY = 0.0f;
    flat.isScaled = true;
    flat.computeMatrices();
    EXPECT_EQ(flat.inverseLocal, FMatrix3()) << "a singular local leaves the inverse as it was";
}

} // namespace
