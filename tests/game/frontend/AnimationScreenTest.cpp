// The closing animation: it starts with its first update, and after the clip
// holds 800 ms, fades out over 800 ms and waits 3000 ms before the legal
// notice follows through the loading screen; presses change nothing.

#include "game/frontend/FrontEndTestSupport.h"

#include "core/FKeyCode.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/AnimationScreen.h"
#include "game/widgets/VideoSprite.h"

#include <gtest/gtest.h>

using namespace frontendtest;

namespace {

class AnimationScreenTest : public testing::Test, protected FrontEndFixture
{
protected:
    AnimationScreenTest() { realModule.run(); }

    AnimationScreen& show()
    {
        realModule.showScreen(k_animationScreen);
        held = realModule.currentScreen();
        return *static_cast<AnimationScreen*>(held.get());
    }
    // Updates in steps of `step` ms for `ms` in all.
    void run(AnimationScreen& screen, int32_t ms, int32_t step = 10)
    {
        for (int32_t t = 0; t < ms; t += step) {
            screen.update(step);
            realModule.drain();
        }
    }

    RealScreenFactory factory{{k_animationScreen}};
    InlineGameModule realModule{&factory, cursorDevice};
    FRefT<FScreen> held;
};

TEST_F(AnimationScreenTest, ThePlayerCoversTheScreenAtItsOwnRate)
{
    AnimationScreen& screen = show();
    VideoSprite& player = screen.playerSprite();
    EXPECT_EQ(player.frameRate(), AnimationScreen::k_frameRate);
    EXPECT_EQ(player.frameTime(), AnimationScreen::k_frameTimeMs);
    EXPECT_EQ(player.loops(), 0);
    EXPECT_EQ(player.width(), screen.width());
    EXPECT_EQ(player.height(), screen.height());
    // Nothing plays before the first update.
    EXPECT_FALSE(screen.m_started);
    EXPECT_FALSE(player.isPlaying());
    screen.update(10);
    EXPECT_TRUE(screen.m_started);
    EXPECT_TRUE(player.isPlaying());
}

TEST_F(AnimationScreenTest, AfterTheClipItHoldsFadesWaitsAndGoesToTheLegalNoticeWhateverWasPending)
{
    realModule.setPendingScreen(k_mainMenuScreen);
    AnimationScreen& screen = show();
    VideoSprite& player = screen.playerSprite();
    screen.update(10);
    int32_t played = 0;
    while (player.isPlaying() && played < 5000) {
        // Presses and keys skip nothing.
        screen.onPointerDown(0, 8, {400, 300});
        screen.onKeyDown(FKeyCode::k_enter);
        run(screen, 10);
        played += 10;
    }
    ASSERT_FALSE(player.isPlaying());
    // Twelve frames of 41 ms.
    EXPECT_NEAR(played, FrontEndFixture::k_closingFrames * AnimationScreen::k_frameTimeMs, 20);
    EXPECT_TRUE(screen.m_holdTimer.isActive());

    run(screen, AnimationScreen::k_holdMs - 10);
    EXPECT_FALSE(screen.m_fade.isActive());
    EXPECT_EQ(player.widgetColour() >> 24, 255u);
    run(screen, 10);
    EXPECT_TRUE(screen.m_fade.isActive());
    run(screen, AnimationScreen::k_fadeMs);
    EXPECT_EQ(player.widgetColour() >> 24, 0u);
    EXPECT_TRUE(screen.m_waitTimer.isActive());

    // The wait counts the rest of the update that armed it.
    run(screen, AnimationScreen::k_waitMs - 30);
    EXPECT_EQ(realModule.currentKind(), k_animationScreen);
    run(screen, 30);
    EXPECT_EQ(realModule.currentKind(), k_loadingScreen);
    EXPECT_EQ(realModule.pendingScreen(), k_legalScreen);
}

} // namespace
