// The legal notice: the pages fade in over 400 ms, stay 3000 ms and fade out
// over 400 ms, the body as opaque as the heading and the heading just above
// the body's text; the slide show changes clips every 6800 ms; after page 42
// the notices follow and the last one stays; any press leaves through the
// loading screen for the world map or the main menu, once.

#include "game/frontend/FrontEndTestSupport.h"

#include "game/core/InputCodes.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/LegalScreen.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

#include <gtest/gtest.h>

using namespace frontendtest;

namespace {

int textAlphaOf(const FLabel& label)
{
    return static_cast<int>(label.colourTable()[0] >> 24);
}

const FString& textOf(const FRef& text)
{
    return *text.as<FString>();
}

class LegalScreenTest : public testing::Test, protected FrontEndFixture
{
protected:
    LegalScreenTest() { realModule.run(); }

    // The legal screen, entered from a screen of kind `from`.
    LegalScreen& show(int32_t from)
    {
        realModule.showScreen(from);
        realModule.showScreen(k_legalScreen);
        held = realModule.currentScreen();
        return *static_cast<LegalScreen*>(held.get());
    }
    void run(LegalScreen& screen, int32_t ms, int32_t step = 10)
    {
        for (int32_t t = 0; t < ms; t += step) {
            screen.update(step);
            ASSERT_EQ(textAlphaOf(screen.bodyLabel()), textAlphaOf(screen.headingLabel()));
        }
    }
    // The heading's bottom sits half the body's text block above its anchor.
    static void expectHeadingOnBody(LegalScreen& screen)
    {
        FLabel& body = screen.bodyLabel();
        const int32_t lines = body.lineCount() == 0 ? 1 : static_cast<int32_t>(body.lineCount());
        EXPECT_EQ(screen.headingLabel().rect().bottom,
                  body.rect().top + body.height() / 2 - body.lineHeight() * lines / 2);
    }

    RealScreenFactory factory{{k_legalScreen}};
    InlineGameModule realModule{&factory, cursorDevice};
    FRefT<FScreen> held;
};

TEST(LegalInputCodesTest, CodesMatchThemselvesAndTheirTwinsInEitherOrder)
{
    const struct
    {
        int32_t a;
        int32_t b;
        bool match;
    } cases[] = {{6, 8, true},   {8, 6, true},   {4, 17, true},  {17, 4, true},
                 {5, 18, true},  {18, 5, true},  {19, 19, true}, {8, 8, true},
                 {6, 17, false}, {4, 18, false}, {8, 19, false}, {5, 17, false}};
    for (const auto& c : cases)
        EXPECT_EQ(inputCodesMatch(c.a, c.b), c.match) << c.a << " " << c.b;
}

TEST_F(LegalScreenTest, APressLeavesOnceForTheWorldMapAfterTheAnimationOrALevelElseForTheMenu)
{
    const struct
    {
        int32_t from;
        int32_t pending;
    } cases[] = {{k_mainMenuScreen, k_mainMenuScreen},
                 {k_animationScreen, k_worldMapScreen},
                 {k_storyModeScreen, k_worldMapScreen},
                 {k_worldMapScreen, k_mainMenuScreen}};
    for (const auto& c : cases) {
        LegalScreen& screen = show(c.from);
        realModule.setPendingScreen(k_noScreen);
        run(screen, 100);
        screen.onPointerDown(1, 5, {10, 10});
        EXPECT_TRUE(screen.isDone());
        EXPECT_EQ(realModule.currentKind(), k_loadingScreen) << c.from;
        EXPECT_EQ(realModule.pendingScreen(), c.pending) << c.from;
        // A second press changes nothing.
        realModule.setPendingScreen(k_noScreen);
        screen.onPointerDown(0, 8, {10, 10});
        EXPECT_EQ(realModule.pendingScreen(), k_noScreen);
    }
}

TEST_F(LegalScreenTest, EachPageFadesInStaysAndFadesOutWithItsHeadingAboveTheBody)
{
    LegalScreen& screen = show(k_mainMenuScreen);
    FLabel& heading = screen.headingLabel();
    EXPECT_EQ(heading.text(), textOf(screen.headings().entries[0]));
    EXPECT_EQ(screen.bodyLabel().text(), textOf(screen.bodies().entries[0]));
    EXPECT_FALSE(screen.m_hiddenLabel->isVisible());
    expectHeadingOnBody(screen);

    run(screen, LegalScreen::k_fadeMs);
    EXPECT_EQ(textAlphaOf(heading), 255);
    // A timer armed by a completion counts the rest of that update too.
    run(screen, LegalScreen::k_pageMs - 10);
    EXPECT_EQ(textAlphaOf(heading), 255);
    run(screen, LegalScreen::k_fadeMs + 10);
    // Page 2 comes in: the lists' second entries.
    EXPECT_EQ(heading.text(), textOf(screen.headings().entries[1]));
    EXPECT_EQ(screen.bodyLabel().text(), textOf(screen.bodies().entries[1]));
    expectHeadingOnBody(screen);
    run(screen, 100);
    EXPECT_GT(textAlphaOf(heading), 0);
    EXPECT_LT(textAlphaOf(heading), 255);
}

TEST_F(LegalScreenTest, TheSlideShowStartsAfter500MsAndChangesClipsEvery6800Ms)
{
    LegalScreen& screen = show(k_mainMenuScreen);
    VideoSprite& video = screen.videoSprite();
    EXPECT_EQ(video.video().get(), screen.videos().entries[0].get());
    EXPECT_EQ(video.loops(), -1);
    EXPECT_EQ(video.frameTime(), 83);
    const FRectI& r = video.rect();
    EXPECT_EQ(FPointI(r.left + video.width() / 2, r.top + video.height() / 2), screen.videoCentre());
    run(screen, LegalScreen::k_startMs);
    EXPECT_EQ(video.widgetColour() >> 24, 0u);
    run(screen, LegalScreen::k_fadeMs + LegalScreen::k_videoMs - 20);
    EXPECT_EQ(video.widgetColour() >> 24, 255u);
    run(screen, LegalScreen::k_fadeMs + 20);
    EXPECT_EQ(video.video().get(), screen.videos().entries[1].get());
    run(screen, LegalScreen::k_fadeMs + LegalScreen::k_videoMs + LegalScreen::k_fadeMs);
    EXPECT_EQ(video.video().get(), screen.videos().entries[2].get());
}

TEST_F(LegalScreenTest, AfterPage42TheNoticesFollowAndTheLastStays)
{
    LegalScreen& screen = show(k_mainMenuScreen);
    // Until page 42 has faded out and the first notice begins.
    for (int32_t t = 0; t < 200000 && !screen.m_noticeFade.isActive(); t += 50)
        run(screen, 50, 50);
    ASSERT_TRUE(screen.m_noticeFade.isActive());
    EXPECT_EQ(screen.headings().position, 41u);
    EXPECT_EQ(screen.noticeLabel().text(), textOf(screen.notices().entries[0]));
    // The first notice fades in over 800 ms while the page and the slide show fade out.
    run(screen, LegalScreen::k_fadeMs, 50);
    EXPECT_EQ(textAlphaOf(screen.headingLabel()), 0);
    EXPECT_EQ(screen.videoSprite().widgetColour() >> 24, 0u);
    EXPECT_LT(textAlphaOf(screen.noticeLabel()), 255);
    run(screen, LegalScreen::k_fadeMs, 50);
    EXPECT_EQ(textAlphaOf(screen.noticeLabel()), 255);

    for (int32_t t = 0; t < 100000 && screen.notices().position < 12; t += 50)
        run(screen, 50, 50);
    EXPECT_EQ(screen.noticeLabel().text(), textOf(screen.notices().entries[12]));
    run(screen, 20000, 50);
    EXPECT_EQ(screen.noticeLabel().text(), textOf(screen.notices().entries[12]));
    EXPECT_EQ(textAlphaOf(screen.noticeLabel()), 255);
    EXPECT_FALSE(screen.m_noticeTimer.isActive());
}

} // namespace
