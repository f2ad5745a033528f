#include "graphics/FClipStack.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

FPointF mapPoint(const FMatrix3& m, FPointF p)
{
    const FVector3 v = transformPoint(m, {p.x, p.y, 1.0f});
    return {v.x / v.z, v.y / v.z};
}

FClipPolygon rectPolygon(FRectI r)
{
    FClipPolygon p;
    p.fromIntRect(r);
    return p;
}

class ClipStackTest : public ::testing::Test
{
protected:
    // A plain widget: no origin, rotation or scale.
    int32_t push(FRectI rect, bool clip = true)
    {
        return m_stack.pushClip({0, 0}, rect, 0.0f, {1, 1}, {0, 0}, false, false, clip);
    }

    FClipStack m_stack{{800, 600}};
};

TEST_F(ClipStackTest, AnEmptyStackIsTheWholeApplication)
{
    EXPECT_TRUE(m_stack.empty());
    EXPECT_EQ(m_stack.top(), nullptr);
    EXPECT_EQ(m_stack.topHandle().get(), nullptr);
    EXPECT_EQ(m_stack.topResult(), FClipState::k_unchanged);
    EXPECT_TRUE(equals(m_stack.topClipPolygon(), rectPolygon({0, 0, 800, 600})));
    EXPECT_EQ(m_stack.topWorld(), FMatrix3());
    EXPECT_EQ(m_stack.topInverseWorld(), FMatrix3());
    m_stack.setTopResult(FClipState::k_empty);
    EXPECT_EQ(m_stack.topResult(), FClipState::k_unchanged);
    m_stack.pop();
    EXPECT_TRUE(m_stack.empty());

    m_stack.setApplicationSize({1024, 768});
    EXPECT_TRUE(equals(m_stack.topClipPolygon(), rectPolygon({0, 0, 1024, 768})));
}

TEST_F(ClipStackTest, NestedWidgetsAreUnchangedClippedOrEmpty)
{
    struct Step
    {
        const char* what;
        FRectI rect; // in the parent's content coordinates
        bool clip;
        int32_t result;
        FRectI region; // in application coordinates
    } steps[] = {
        {"container inside the application",
         {100, 50, 300, 250},
         true,
         FClipState::k_unchanged,
         {100, 50, 300, 250}},
        {"child over the container's corner",
         {150, 100, 300, 300},
         true,
         FClipState::k_clipped,
         {250, 150, 300, 250}},
        {"grandchild inside the cut region",
         {10, 10, 40, 40},
         true,
         FClipState::k_unchanged,
         {260, 160, 290, 190}},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(push(s.rect, s.clip), s.result) << s.what;
        EXPECT_EQ(m_stack.topResult(), s.result) << s.what;
        EXPECT_TRUE(equals(m_stack.topClipPolygon(), rectPolygon(s.region))) << s.what;
    }
    EXPECT_EQ(m_stack.depth(), 3u);
    EXPECT_EQ(mapPoint(m_stack.topWorld(), {0, 0}), (FPointF{260, 160}));
    EXPECT_EQ(mapPoint(m_stack.topInverseWorld(), {260, 160}), (FPointF{0, 0}));

    m_stack.pop();
    EXPECT_EQ(m_stack.topResult(), FClipState::k_clipped);
    m_stack.setTopResult(FClipState::k_unchanged);
    EXPECT_EQ(m_stack.top()->result, FClipState::k_unchanged);
}

TEST_F(ClipStackTest, ChildrenOfAnEmptyRegionAreEmptyUnlessTheyDoNotClip)
{
    push({100, 50, 300, 250});
    EXPECT_EQ(push({500, 500, 600, 600}), FClipState::k_empty) << "entirely outside its container";
    EXPECT_EQ(m_stack.topClipPolygon().vertexCount(), 0);
    EXPECT_EQ(push({0, 0, 10, 10}), FClipState::k_empty);
    EXPECT_EQ(m_stack.topClipPolygon().vertexCount(), 0);
    m_stack.pop();

    // Without clipping the region is the whole application, whatever the parent.
    EXPECT_EQ(push({0, 0, 10, 10}, false), FClipState::k_clipped);
    EXPECT_TRUE(equals(m_stack.topClipPolygon(), rectPolygon({0, 0, 800, 600})));
    m_stack.pop();
    m_stack.pop();
    m_stack.pop();
    EXPECT_EQ(push({0, 0, 800, 600}, false), FClipState::k_unchanged) << "the widget is the application";

    EXPECT_EQ(push({20, 20, 20, 80}), FClipState::k_empty) << "no width";
}

TEST_F(ClipStackTest, TransformsOfContainersCarryOverToTheirChildren)
{
    push({0, 0, 800, 600});
    // A 200 x 200 container at (100, 100), turned by 90 degrees about its centre.
    EXPECT_EQ(m_stack.pushClip({0, 0}, {100, 100, 300, 300}, 90.0f, {1, 1}, {100, 100}, false, true, true),
              FClipState::k_unchanged);
    EXPECT_TRUE(equals(m_stack.topClipPolygon(), rectPolygon({100, 100, 300, 300})));
    // Its top-left quarter lands in the bottom-left quarter on screen.
    EXPECT_EQ(push({10, 10, 90, 90}), FClipState::k_unchanged);
    const FClipPolygon& region = m_stack.topClipPolygon();
    ASSERT_EQ(region.vertexCount(), 4);
    FRectF bounds{1e9f, 1e9f, -1e9f, -1e9f};
    for (int32_t i = 0; i < 4; ++i) {
        const FPointF v = region.vertex(i);
        bounds = FRectF{std::min(bounds.left, v.x), std::min(bounds.top, v.y), std::max(bounds.right, v.x),
                        std::max(bounds.bottom, v.y)};
    }
    EXPECT_NEAR(bounds.left, 110, 1e-3);
    EXPECT_NEAR(bounds.top, 210, 1e-3);
    EXPECT_NEAR(bounds.right, 190, 1e-3);
    EXPECT_NEAR(bounds.bottom, 290, 1e-3);

    const FPointF corner = mapPoint(m_stack.topWorld(), {0, 0});
    EXPECT_NEAR(corner.x, 110, 1e-3);
    EXPECT_NEAR(corner.y, 290, 1e-3);
    const FPointF back = mapPoint(m_stack.topInverseWorld(), mapPoint(m_stack.topWorld(), {37, 11}));
    EXPECT_NEAR(back.x, 37, 1e-3);
    EXPECT_NEAR(back.y, 11, 1e-3);
    m_stack.pop();

    // Turned by 45 degrees about (100, 100), its child's square meets the
    // container's edges and is cut.
    m_stack.pop();
    m_stack.pushClip({0, 0}, {100, 100, 300, 300}, 45.0f, {1, 1}, {100, 100}, false, true, true);
    EXPECT_EQ(push({50, 50, 150, 150}), FClipState::k_unchanged) << "the centre square fits once turned";
    m_stack.pop();
    EXPECT_EQ(push({0, 0, 200, 200}), FClipState::k_clipped);
    EXPECT_GE(m_stack.topClipPolygon().vertexCount(), 5);
    EXPECT_FALSE(m_stack.topClipPolygon().isRectangle());
    m_stack.pop();
    m_stack.pop();

    // Scaled by 2 about the container's corner, with an origin that shifts
    // the content.
    m_stack.pushClip({10, 0}, {100, 100, 300, 300}, 0.0f, {2, 2}, {0, 0}, true, false, true);
    EXPECT_EQ(push({10, 0, 60, 50}), FClipState::k_unchanged);
    EXPECT_TRUE(equals(m_stack.topClipPolygon(), rectPolygon({110, 100, 210, 200})));
}

} // namespace
