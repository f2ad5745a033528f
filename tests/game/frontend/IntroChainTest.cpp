// The start-up chain over the game module and the game's own folders: the
// intro, the slides and the intro animation run by themselves on a simulated
// clock, presses skip none of them, and the animation is timed by its video.

#include "game/frontend/FrontEndTestSupport.h"

#include "core/FDebug.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/IntroAnimationScreen.h"
#include "game/frontend/IntroScreen.h"
#include "game/frontend/IntroSlidesScreen.h"
#include "game/widgets/VideoSprite.h"

#include <gtest/gtest.h>

using namespace frontendtest;

namespace {

int alphaOf(const FWidget& widget)
{
    return static_cast<int>(widget.widgetColour() >> 24);
}

class IntroChainTest : public testing::Test, protected FrontEndFixture
{
};

TEST_F(IntroChainTest, TheIntroSetsTheTitleFadesBothPicturesAndLastsAbout3350Ms)
{
    start();
    ASSERT_EQ(module.currentKind(), k_introScreen);
    FRefT<FScreen> held = module.currentScreen();
    auto& intro = *static_cast<IntroScreen*>(held.get());
    EXPECT_EQ(graph.windowTitle(), "");

    advance(FrontEndFixture::k_stepMs);
    EXPECT_EQ(graph.windowTitle(), "Zibbo Far Afield");
    EXPECT_FALSE(intro.m_pictureB->isVisible());

    // Picture A is opaque after its fade; picture B then comes in on top.
    advance(400);
    EXPECT_EQ(alphaOf(*intro.m_pictureA), 255);
    EXPECT_TRUE(intro.m_pictureB->isVisible());
    EXPECT_EQ(intro.children().back(), intro.m_pictureB.get());

    // B stays opaque through the hold, then fades; A stays to the end.
    advance(1000);
    EXPECT_EQ(alphaOf(*intro.m_pictureB), 255);
    const int32_t rest = runUntil(k_introSlidesScreen, 5000);
    const int32_t total = 10 + 400 + 1000 + rest;
    EXPECT_GE(total, 3350);
    EXPECT_LE(total, 3350 + 6 * FrontEndFixture::k_stepMs);
    EXPECT_EQ(alphaOf(*intro.m_pictureA), 255);
    EXPECT_EQ(alphaOf(*intro.m_pictureB), 0);
}

TEST_F(IntroChainTest, TheSlidesLastAbout3250MsAndHideTheSlideBeforeTheCoverFades)
{
    start();
    ASSERT_GE(runUntil(k_introSlidesScreen, 5000), 0);
    FRefT<FScreen> held = module.currentScreen();
    auto& slides = *static_cast<IntroSlidesScreen*>(held.get());
    EXPECT_TRUE(slides.slide().isVisible());
    EXPECT_EQ(slides.children().back(), &slides.slide());
    EXPECT_FALSE(slides.slide().getImage().isNull());

    const int32_t start = clock;
    // The cover fade runs only once the slide is gone.
    while (!slides.m_coverFade.isActive() && module.currentKind() == k_introSlidesScreen)
        advance(FrontEndFixture::k_stepMs);
    EXPECT_FALSE(slides.slide().isVisible());
    EXPECT_GE(alphaOf(*slides.m_cover), 245);
    runUntil(k_introAnimationScreen, 5000);
    const int32_t total = clock - start;
    EXPECT_GE(total, 3250);
    EXPECT_LE(total, 3250 + 6 * FrontEndFixture::k_stepMs);
}

TEST_F(IntroChainTest, PressesAndKeysSkipNothingAndTheChainReachesTheSplashRequest)
{
    start();
    struct Step
    {
        int32_t kind;
        int32_t longerThan;
    } const steps[] = {{k_introSlidesScreen, 3300}, {k_introAnimationScreen, 3200}};
    for (const Step& step : steps) {
        const int32_t begin = clock;
        while (module.currentKind() != step.kind && clock - begin < 10000) {
            module.onPointerDown(0, 8, {400, 300});
            module.onPointerUp(0, 8, {400, 300});
            module.onKeyDown(0xE001);
            advance(FrontEndFixture::k_stepMs);
        }
        EXPECT_GT(clock - begin, step.longerThan) << step.kind;
    }
    // 30 frames at 50 ms: the splash screen follows after about 1500 ms.
    const int32_t took = runUntil(k_splashScreen, 3000);
    EXPECT_GE(took, 1450);
    EXPECT_LE(took, 1600);
}

TEST(IntroAnimationFrameTimeTest, TheFrameTimeFollowsTheVideosRateAndARateOf0IsReportedByAsset)
{
    struct Case
    {
        uint32_t fps;
        int32_t frameTime; // -1: refused
    } const cases[] = {{24, 41}, {20, 50}, {30, 33}, {1, 1000}, {0, -1}};
    for (const Case& c : cases) {
        FrontEndFixture fixture;
        writeVideo(fixture.scratch.path() / "017" / "006633_0.gwvideo", 5, c.fps);
        RecordingErrorHandler handler;
        std::string failure;
        FRefT<FScreen> screen;
        try {
            screen = FRefT<FScreen>(makeRef<FScreen>(engineNew<IntroAnimationScreen>(k_memObject)));
        } catch (const FDebug::VellumcoreException&) {
            failure = handler.texts.empty() ? "(no text)" : handler.texts.front().toUtf8();
        }
        if (c.frameTime < 0) {
            // The file's reader refuses it before the screen sees a rate;
            // either way the build ends in a report instead of a division.
            EXPECT_NE(failure, "");
            EXPECT_TRUE(screen.isNull());
            continue;
        }
        ASSERT_EQ(failure, "") << c.fps;
        auto& animation = *static_cast<IntroAnimationScreen*>(screen.get());
        EXPECT_EQ(animation.player().frameRate(), static_cast<int32_t>(c.fps));
        EXPECT_EQ(animation.player().frameTime(), c.frameTime) << c.fps;
    }
}

TEST_F(IntroChainTest, AnyPressOnTheClickToContinueScreenAsksForTheSlides)
{
    for (int32_t button : {8, 9, 6, 0}) {
        module.showScreen(k_clickToContinueScreen);
        ASSERT_EQ(module.currentKind(), k_clickToContinueScreen);
        module.currentScreen()->onPointerDown(1, button, {10, 10});
        EXPECT_EQ(module.currentKind(), k_introSlidesScreen) << button;
    }
}

} // namespace
