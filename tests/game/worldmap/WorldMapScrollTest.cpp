// The scrolling arithmetic: margin, limits, glide steps and the coasting's
// decay.
#include "game/worldmap/WorldMapScroll.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(WorldMapScrollTest, MarginGrowsWithTheWidth)
{
    EXPECT_EQ(WorldMapScroll::margin(640), 300);
    EXPECT_EQ(WorldMapScroll::margin(800), 375);
    EXPECT_EQ(WorldMapScroll::margin(1024), 480);
    EXPECT_EQ(WorldMapScroll::margin(0), 0);
}

TEST(WorldMapScrollTest, ClampKeepsTheOffsetInsideTheLimits)
{
    // 800 x 600 screen, 1550 x 1350 picture: x in [-375, 1125], y in [-375, 1125].
    struct Case
    {
        FPointI in;
        FPointI out;
    };
    const Case cases[] = {
        {{0, 0}, {0, 0}},
        {{-400, 10}, {-375, 10}},
        {{10, -1000}, {10, -375}},
        {{2000, 2000}, {1125, 1125}},
        {{1125, -375}, {1125, -375}},
    };
    for (const Case& c : cases) {
        const FPointI got = WorldMapScroll::clampOffset(c.in, {800, 600}, {1550, 1350});
        EXPECT_EQ(got.x, c.out.x) << c.in.x;
        EXPECT_EQ(got.y, c.out.y) << c.in.y;
    }
}

TEST(WorldMapScrollTest, AGlideOfAThousandPixelsTakesFortyPercentEachStep)
{
    FPointI scroll{0, 0};
    const FPointI target{1000, 0};
    std::vector<int32_t> moves;
    while (true) {
        const FPointI next = WorldMapScroll::glideStep(scroll, target);
        if (next.x == scroll.x) break;
        moves.push_back(next.x - scroll.x);
        scroll = next;
    }
    ASSERT_GE(moves.size(), 3u);
    EXPECT_EQ(moves[0], 400);
    EXPECT_EQ(moves[1], 240);
    EXPECT_EQ(moves[2], 144);
    // The steps stop within 2 px of the target.
    EXPECT_LE(target.x - scroll.x, 2);
    EXPECT_GE(target.x - scroll.x, 0);
}

TEST(WorldMapScrollTest, GlideTargetCentresTheMapPoint)
{
    EXPECT_EQ(WorldMapScroll::glideTarget({500, 400}, {1.0f, 1.0f}, {0, 0, 800, 600}).x, 100);
    EXPECT_EQ(WorldMapScroll::glideTarget({500, 400}, {1.0f, 1.0f}, {0, 0, 800, 600}).y, 100);
    EXPECT_EQ(WorldMapScroll::glideTarget({500, 400}, {2.0f, 0.5f}, {0, 0, 801, 601}).x, 600);
    EXPECT_EQ(WorldMapScroll::glideTarget({500, 400}, {2.0f, 0.5f}, {0, 0, 801, 601}).y, -100);
}

TEST(WorldMapScrollTest, CoastingHalvesUntilBelowThree)
{
    const std::vector<int32_t> expected{40, 20, 10, 5, 3, 0};
    int32_t v = 40;
    for (std::size_t i = 1; i < expected.size(); ++i) {
        v = WorldMapScroll::decayVelocity(v);
        EXPECT_EQ(v, expected[i]) << i;
    }
    int32_t w = -40;
    for (std::size_t i = 1; i < expected.size(); ++i) {
        w = WorldMapScroll::decayVelocity(w);
        EXPECT_EQ(w, -expected[i]) << i;
    }
    EXPECT_EQ(WorldMapScroll::decayVelocity(0), 0);
    EXPECT_EQ(WorldMapScroll::decayVelocity(5), 3);
    EXPECT_EQ(WorldMapScroll::decayVelocity(4), 0);
}

TEST(WorldMapScrollTest, EveryGlideEndsInsideTheLimits)
{
    std::mt19937 random(14);
    std::uniform_int_distribution<int32_t> coordinate(-5000, 5000);
    const FPointI screen{800, 600};
    const FPointI picture{1550, 1350};
    for (int run = 0; run < 500; ++run) {
        FPointI scroll =
            WorldMapScroll::clampOffset({coordinate(random), coordinate(random)}, screen, picture);
        const FPointI target{coordinate(random), coordinate(random)};
        for (int step = 0; step < 100; ++step) {
            const FPointI next =
                WorldMapScroll::clampOffset(WorldMapScroll::glideStep(scroll, target), screen, picture);
            if (next.x == scroll.x && next.y == scroll.y) break;
            scroll = next;
        }
        EXPECT_GE(scroll.x, -375);
        EXPECT_LE(scroll.x, 1125);
        EXPECT_GE(scroll.y, -375);
        EXPECT_LE(scroll.y, 1125);
    }
}

} // namespace
