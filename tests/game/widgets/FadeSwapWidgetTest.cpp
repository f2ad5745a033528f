#include "game/widgets/FadeSwapWidget.h"
#include "game/widgets/FadeSwapHost.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Event
{
    int32_t at;
    std::string what;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Event& e)
{
    return out << e.at << " " << e.what;
}

// A gameplay screen stand-in that records what the widget asks of it, with
// the simulated time of each call.
class SwapScreen : public FScreen, public FadeSwapHost
{
public:
    void reloadTexts(int32_t) override {}
    FRef swapSound(int32_t picture) override { return picture == 0 ? firstSound : secondSound; }
    void playSound(const FRef& sound, int32_t volume) override
    {
        const char* name = sound.get() == firstSound.get() ? "sound 972" : "sound 975";
        events.push_back({now, std::string(name) + " @" + std::to_string(volume)});
    }
    void onFadeSwapHalfway() override { events.push_back({now, "halfway"}); }
    void onFadeSwapFinished() override { events.push_back({now, "finished"}); }

    int32_t now = 0;
    std::vector<Event> events;
    FRef firstSound = makeRef(engineNew<int32_t>(k_memObject, 972));
    FRef secondSound = makeRef(engineNew<int32_t>(k_memObject, 975));
};

class FadeSwapTest : public ::testing::Test
{
protected:
    FadeSwapTest()
    {
        screen.setWidgetRect({0, 0, 800, 600});
        swap.setWidgetRect({0, 0, 800, 600});
        second = makeRef(engineNew<FContainer>(k_memObject, &swap, true));
        second->setWidgetRect({100, 100, 300, 300});
        imageA = makeRef(engineNew<FImageWidget>(k_memObject, second.get(), true));
        imageA->setWidgetRect({20, 40, 120, 100});
        first = makeRef(engineNew<FContainer>(k_memObject, &swap, true));
        first->setWidgetRect({400, 100, 600, 300});
        imageB = makeRef(engineNew<FImageWidget>(k_memObject, first.get(), true));
        imageB->setWidgetRect({0, 0, 50, 30});
        swap.setSprites(second, first);
    }

    // Runs frames of `frame` ms from the start; the times at which steps 2 to
    // 7 began.
    std::vector<int32_t> stepTimes(int32_t frame)
    {
        std::vector<int32_t> times;
        int32_t last = swap.step();
        for (int32_t t = 0; t < 4000 && swap.isRunning(); t += frame) {
            screen.now = t + frame;
            swap.updateTweens(frame);
            if (swap.step() != last) times.push_back(screen.now);
            last = swap.step();
        }
        return times;
    }
    uint8_t alphaOf(const FRefT<FImageWidget>& image) const
    {
        return static_cast<uint8_t>(image->colour() >> 24);
    }

    SwapScreen screen;
    FadeSwapWidget swap{&screen};
    FRefT<FContainer> second;
    FRefT<FContainer> first;
    FRefT<FImageWidget> imageA;
    FRefT<FImageWidget> imageB;
};

TEST_F(FadeSwapTest, SetSpritesMakesThePicturesTransparentAndZoomAboutTheirCentres)
{
    EXPECT_EQ(second->pivot(), (FPointI{70, 70}));
    EXPECT_EQ(first->pivot(), (FPointI{25, 15}));
    EXPECT_EQ(alphaOf(imageA), 0);
    EXPECT_EQ(alphaOf(imageB), 0);
    EXPECT_EQ(swap.imageA(), imageA.get());
    EXPECT_EQ(swap.imageB(), imageB.get());
}

TEST_F(FadeSwapTest, StepsBeginWhenTheirTweensEndAtEveryFrameLength)
{
    struct Case
    {
        int32_t frame;
        std::vector<int32_t> steps;
    };
    const Case cases[] = {
        {20, {300, 1040, 1340, 1640, 2380, 2680}},
        {40, {320, 1040, 1360, 1680, 2400, 2720}},
        {50, {300, 1000, 1300, 1600, 2300, 2600}},
        {1, {300, 1049, 1349, 1649, 2398, 2698}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        screen.events.clear();
        swap.start();
        EXPECT_EQ(swap.step(), 1);
        EXPECT_TRUE(swap.isVisible());
        EXPECT_EQ(stepTimes(c.frame), c.steps);
        const std::vector<Event> expected = {{c.steps[0], "sound 972 @63"},
                                             {c.steps[2], "halfway"},
                                             {c.steps[3], "sound 975 @63"},
                                             {c.steps[5], "finished"}};
        EXPECT_EQ(screen.events, expected);
        EXPECT_FALSE(swap.isRunning());
        EXPECT_FALSE(swap.isVisible());
        EXPECT_EQ(alphaOf(imageA), 0);
        EXPECT_EQ(alphaOf(imageB), 0);
    }
}

TEST_F(FadeSwapTest, EachPictureFadesInAndZoomsFromHalfSize)
{
    swap.start();
    EXPECT_FLOAT_EQ(second->scale().x, 0.5f);
    EXPECT_FLOAT_EQ(first->scale().x, 0.5f);
    for (int n = 0; n < 5; ++n)
        swap.updateTweens(30);
    EXPECT_EQ(alphaOf(imageA), 127);
    EXPECT_GT(second->scale().x, 0.5f);
    EXPECT_LT(second->scale().x, 1.0f);
    while (swap.step() < 2)
        swap.updateTweens(20);
    EXPECT_EQ(alphaOf(imageA), 255);
    EXPECT_FLOAT_EQ(second->scale().x, 1.0f);
    while (swap.step() < 4)
        swap.updateTweens(20);
    // The new zoom already advanced in the frame its fade began; the old one
    // stopped one frame short of its end.
    EXPECT_TRUE(swap.isShowingFirst() == false);
    EXPECT_EQ(alphaOf(imageA), 0);
    EXPECT_EQ(alphaOf(imageB), 0);
    EXPECT_NEAR(first->scale().x, 0.5f + 0.5f * 20 / 300, 1e-5);
    EXPECT_LT(second->scale().x, 1.5f);
    EXPECT_GT(second->scale().x, 1.4f);
}

TEST_F(FadeSwapTest, AnchorsFollowThePictureShown)
{
    const auto mid = [](const FRefT<FImageWidget>& image, bool right) {
        const FPointI at = image->getAbsolutePosition();
        return FPointI{right ? at.x + image->width() : at.x, at.y + image->height() / 2};
    };
    swap.start();
    EXPECT_EQ(swap.getLeftAnchor(), mid(imageA, false));
    EXPECT_EQ(swap.getRightAnchor().x - swap.getLeftAnchor().x, 100);
    while (swap.step() < 4)
        swap.updateTweens(20);
    EXPECT_EQ(swap.getLeftAnchor(), mid(imageB, false));
    EXPECT_EQ(swap.getRightAnchor(), mid(imageB, true));
    EXPECT_EQ(swap.getRightAnchor().x - swap.getLeftAnchor().x, 50);
}

TEST_F(FadeSwapTest, StartingAgainDropsTheHoldThatWasCounting)
{
    swap.start();
    for (int n = 0; n < 40; ++n)
        swap.updateTweens(20); // 800 ms: the first hold is counting
    ASSERT_EQ(swap.step(), 2);
    screen.events.clear();
    swap.start();
    EXPECT_EQ(alphaOf(imageA), 0);
    EXPECT_EQ(stepTimes(20), (std::vector<int32_t>{300, 1040, 1340, 1640, 2380, 2680}));
    EXPECT_EQ(screen.events.size(), 4u);
}

} // namespace
