#include "game/widgets/FlashSprite.h"
#include "game/widgets/WidgetGeometry.h"
#include "ui/FContainer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FinishCounter
{
    void onFinished(FlashSprite&) { ++count; }
    int count = 0;
};

class FlashSpriteTest : public ::testing::Test
{
protected:
    FlashSpriteTest()
    {
        panel.setWidgetRect({0, 0, 300, 200});
        sprite.setWidgetRect({5, 7, 15, 17});
        auto* callback = makeMemberDelegate(&counter, &FinishCounter::onFinished);
        sprite.setOnFinished(callback);
        engineFree(callback);
        sprite.prepare(0xFFFFFFFFu);
    }
    uint8_t alpha() const { return static_cast<uint8_t>(sprite.colour() >> 24); }

    FContainer panel;
    FImageWidget below{&panel};
    FlashSprite sprite{&panel};
    FImageWidget above{&panel};
    FinishCounter counter;
};

TEST_F(FlashSpriteTest, PrepareCoversTheFollowedWidgetHiddenAndTransparent)
{
    sprite.prepare(0xFF000000u);
    EXPECT_EQ(sprite.followed(), &panel);
    EXPECT_EQ(sprite.rect(), (FRectI{5, 7, 305, 207}));
    EXPECT_EQ(sprite.colour(), 0x00000000u);
    EXPECT_FALSE(sprite.isVisible());
    EXPECT_FALSE(sprite.isFlashing());
}

TEST_F(FlashSpriteTest, AlphaFollowsTheCurveAndTheFlashEndsAtSevenHundredMs)
{
    sprite.start();
    EXPECT_TRUE(sprite.isVisible());
    EXPECT_EQ(panel.children().back(), &sprite);
    struct Sample
    {
        int32_t at;
        uint8_t alpha;
    };
    const Sample samples[] = {{10, 50},   {49, 50},   {50, 150},  {99, 150},  {100, 255}, {150, 250},
                              {200, 245}, {250, 240}, {300, 230}, {350, 220}, {400, 210}, {450, 200},
                              {500, 180}, {550, 160}, {600, 110}, {649, 110}, {650, 50},  {699, 50}};
    int32_t now = 0;
    for (const Sample& s : samples) {
        sprite.update(s.at - now);
        now = s.at;
        SCOPED_TRACE(s.at);
        EXPECT_EQ(alpha(), s.alpha);
        EXPECT_TRUE(sprite.isFlashing());
    }
    EXPECT_EQ(counter.count, 0);
    sprite.update(1);
    EXPECT_FALSE(sprite.isFlashing());
    EXPECT_EQ(sprite.elapsed(), 0);
    EXPECT_EQ(alpha(), 0);
    EXPECT_EQ(counter.count, 1);
    EXPECT_TRUE(sprite.isVisible());
    EXPECT_EQ(panel.children().front(), &sprite);
    sprite.update(100);
    EXPECT_EQ(counter.count, 1);
}

TEST_F(FlashSpriteTest, AFrameThatJumpsPastTheLastStepStillEndsTheFlash)
{
    const std::vector<std::vector<int32_t>> frameRuns = {
        {690, 60},
        {650, 100},
        {800},
        {699, 5000},
        {20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 500},
    };
    for (const auto& frames : frameRuns) {
        SCOPED_TRACE(frames.back());
        counter.count = 0;
        sprite.start();
        for (int32_t ms : frames)
            sprite.update(ms);
        EXPECT_FALSE(sprite.isFlashing());
        EXPECT_EQ(counter.count, 1);
        EXPECT_EQ(alpha(), 0);
        EXPECT_TRUE(sprite.isVisible());
        EXPECT_EQ(panel.children().front(), &sprite);
    }
}

TEST_F(FlashSpriteTest, AHeldFlashStopsAtFullAlphaBehindItsSiblings)
{
    sprite.setHold(true);
    sprite.start(0xFF000000u);
    EXPECT_EQ(sprite.rect(), (FRectI{5, 7, 305, 207}));
    sprite.update(60);
    EXPECT_EQ(alpha(), 150);
    EXPECT_TRUE(sprite.isFlashing());
    sprite.update(40);
    EXPECT_FALSE(sprite.isFlashing());
    EXPECT_EQ(alpha(), 255);
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(panel.children().front(), &sprite);
    EXPECT_EQ(sprite.colour(), 0xFF000000u);
    sprite.update(1000);
    EXPECT_EQ(alpha(), 255);
}

TEST_F(FlashSpriteTest, StartingAgainWhileFlashingRestartsTheCurve)
{
    sprite.start();
    sprite.update(400);
    sprite.start();
    EXPECT_EQ(sprite.elapsed(), 0);
    sprite.update(400);
    EXPECT_TRUE(sprite.isFlashing());
    EXPECT_EQ(alpha(), 210);
    EXPECT_EQ(counter.count, 0);
}

TEST(WidgetGeometryTest, HelpersPlaceTheWidgetAndKeepItsSize)
{
    FContainer root;
    FImageWidget widget{&root};
    FImageWidget other{&root};
    struct Case
    {
        FRectI widget;
        FRectI other;
        FRectI centred;
    };
    const Case cases[] = {
        {{0, 0, 10, 20}, {100, 100, 151, 141}, {120, 110, 130, 130}},
        {{3, 3, 8, 8}, {-10, -10, 0, 0}, {-7, -7, -2, -2}},
        {{0, 0, 11, 11}, {0, 0, 5, 5}, {-3, -3, 8, 8}},
    };
    for (const Case& c : cases) {
        widget.setWidgetRect(c.widget);
        other.setWidgetRect(c.other);
        centerWidgetOnWidget(widget, other);
        EXPECT_EQ(widget.rect(), c.centred);
    }
    widget.setWidgetRect({10, 20, 40, 60});
    setWidgetRight(widget, 100);
    EXPECT_EQ(widget.rect(), (FRectI{70, 20, 100, 60}));
    sendToBack(other);
    EXPECT_EQ(root.children().front(), &other);
    sendToBack(other);
    EXPECT_EQ(root.children().front(), &other);
    EXPECT_EQ(root.children().size(), 2u);
}

} // namespace
