#include "game/widgets/MapHintGeometry.h"

#include <gtest/gtest.h>

namespace {

using namespace MapHintGeometry;

TEST(MapHintGeometryTest, TheHintRectangleKeepsTheItemInsideTheWindowAndTheWindowInsideTheScene)
{
    const ViewMetrics window{640, 480, 2400, 1600, 1.0f};
    const ViewMetrics zoomed{640, 480, 1800, 1200, 0.75f};
    struct Case
    {
        const char* name;
        FRectI item;
        ViewMetrics view;
        int32_t rx;
        int32_t ry;
        FRectI expected;
    };
    const Case cases[] = {
        // A 640 x 480 window, item (100, 100) to (140, 150): left at most 36,
        // top at most 52, never above or left of (2, 2).
        {"no offset: held 10 % from the item", {100, 100, 140, 150}, window, 0, 0, {36, 52, 676, 532}},
        {"largest offset: held 2 inside the scene", {100, 100, 140, 150}, window, 639, 479, {2, 2, 642, 482}},
        {"an offset within the margins", {100, 100, 140, 150}, window, 80, 60, {20, 40, 660, 520}},
        // The right edge comes first, then the bottom keeps 15 %.
        {"right and bottom margins", {1000, 1000, 1100, 1100}, window, 639, 479, {524, 692, 1164, 1172}},
        {"at the far corner of the scene", {2350, 1560, 2390, 1590}, window, 0, 0, {1758, 1118, 2398, 1598}},
        {"zoomed item", {100, 100, 140, 150}, zoomed, 0, 0, {11, 27, 651, 507}},
    };
    for (const Case& c : cases) {
        const FRectI r = hintRect(c.item, c.view, c.rx, c.ry);
        EXPECT_EQ(r, c.expected) << c.name;
        EXPECT_EQ(r.right - r.left, c.view.viewWidth) << c.name;
        EXPECT_EQ(r.bottom - r.top, c.view.viewHeight) << c.name;
    }
}

TEST(MapHintGeometryTest, MiniMapBandsCoverEverythingOutsideTheHint)
{
    const FRectI miniMap{10, 20, 250, 180};
    const auto bands = miniMapBands({600, 400, 1240, 880}, miniMap, {2400, 1600});
    EXPECT_EQ(bands[0], (FRectI{10, 20, 70, 180}));
    EXPECT_EQ(bands[1], (FRectI{134, 20, 250, 180}));
    EXPECT_EQ(bands[2], (FRectI{70, 20, 134, 60}));
    EXPECT_EQ(bands[3], (FRectI{70, 108, 134, 180}));
    // No content to measure against: no bands rather than a division by zero.
    for (const FRectI& band : miniMapBands({600, 400, 1240, 880}, miniMap, {0, 0}))
        EXPECT_EQ(band, FRectI{});
}

TEST(MapHintGeometryTest, TheViewFrameShowsTheWindowOnTheMiniMap)
{
    const FRectI miniMap{10, 20, 250, 180};
    struct Case
    {
        const char* name;
        ViewMetrics view;
        FPointI contentPosition;
        FRectI expected;
    };
    const Case cases[] = {
        {"zoom 1", {800, 600, 2400, 1600, 1.0f}, {-1200, -800}, {130, 100, 210, 160}},
        // The size follows the zoomed content, the position the unzoomed scene.
        {"zoom 0.75", {800, 600, 1800, 1200, 0.75f}, {-900, -600}, {100, 80, 206, 160}},
        {"top-left", {800, 600, 2400, 1600, 1.0f}, {0, 0}, {10, 20, 90, 80}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(viewFrameRect(miniMap, c.view, {1.0f, 1.0f}, c.contentPosition), c.expected) << c.name;
    EXPECT_EQ(viewFrameRect(miniMap, {800, 600, 2400, 1600, 1.0f}, {2.0f, 2.0f}, {0, 0}),
              (FRectI{10, 20, 50, 50}));
}

TEST(MapHintGeometryTest, ProximityTiersByDistanceFromTheItem)
{
    // A hint 640 wide: bands at 560, 400, 240 and 106 pixels.
    using C = CursorClip;
    struct Case
    {
        double distance;
        bool over;
        Proximity expected;
    };
    const Case cases[] = {
        {2000, false, {8, C::k_cold, 0}}, {561, false, {8, C::k_cold, 0}}, {560, false, {7, C::k_cold, 1}},
        {401, false, {7, C::k_cold, 1}},  {400, false, {6, C::k_warm, 2}}, {241, false, {6, C::k_warm, 2}},
        {240, false, {5, C::k_warm, 3}},  {107, false, {5, C::k_warm, 3}}, {106, false, {4, C::k_hot, 4}},
        {0, false, {4, C::k_hot, 4}},     {900, true, {9, C::k_hot, 5}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(proximityOf(c.distance, 640, c.over), c.expected) << c.distance;
    EXPECT_EQ(proximityOff(), (Proximity{0, C::k_default, 6}));
}

} // namespace
