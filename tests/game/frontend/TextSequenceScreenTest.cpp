// The closing texts: the typewriter's pace, the line end
// once the text is whole and the voice over (or cut), the press rules, the
// grace time that belongs to its own entry, and the black flash before the
// closing animation, which is built in the background meanwhile.

#include "game/frontend/FrontEndTestSupport.h"

#include "game/core/ScreenKind.h"
#include "game/frontend/TextSequenceScreen.h"
#include "game/widgets/FlashSprite.h"
#include "ui/FLabel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace frontendtest;

namespace {

class TextSequenceScreenTest : public testing::Test, protected FrontEndFixture
{
protected:
    TextSequenceScreenTest() { realModule.run(); }

    TextSequenceScreen& show()
    {
        realModule.showScreen(k_textSequenceScreen);
        held = realModule.currentScreen();
        return *static_cast<TextSequenceScreen*>(held.get());
    }
    void run(TextSequenceScreen& screen, int32_t ms, int32_t step = 5)
    {
        for (int32_t t = 0; t < ms; t += step) {
            screen.update(step);
            realModule.drain();
        }
    }
    // Starts the current entry again with `text`, its voice still playing.
    static void retype(TextSequenceScreen& screen, const char* text)
    {
        screen.m_currentText = FString(text);
        screen.textLabel().setText(FString());
        screen.m_typedCount = 0;
        screen.m_wordEnd = 0;
        screen.m_typingTime = 0;
        screen.m_typing = true;
        screen.m_textComplete = false;
        screen.m_voiceDone = false;
    }
    RealScreenFactory factory{{k_textSequenceScreen}};
    InlineGameModule realModule{&factory, cursorDevice};
    FRefT<FScreen> held;
};

TEST_F(TextSequenceScreenTest, ATwentyUnitTextIsWholeAt1365MsAndLeftOverTimeCarriesOver)
{
    TextSequenceScreen& screen = show();
    retype(screen, "abcdefghijklmnopqrst");
    // Uneven updates: what is left of one step counts in the next.
    for (int32_t t = 0; t < 1300; t += 20)
        screen.update(20);
    EXPECT_EQ(screen.textLabel().text(), FString("abcdefghijklmnopqrst"));
    EXPECT_FALSE(screen.m_textComplete);
    screen.update(64);
    EXPECT_FALSE(screen.m_textComplete);
    screen.update(1);
    EXPECT_TRUE(screen.m_textComplete);
    // The typewriter stays on: the next press completes the line.
    EXPECT_TRUE(screen.m_typing);
}

TEST_F(TextSequenceScreenTest, APressCompletesTheLineAndTheNextEntryFollowsAfterGraceAndPause)
{
    TextSequenceScreen& screen = show();
    retype(screen, "Every world has shown you its treasures");
    run(screen, 200);
    screen.onPointerDown(0, 8, {400, 300});
    EXPECT_EQ(screen.textLabel().text(), FString("Every world has shown you its treasures"));
    EXPECT_FALSE(screen.m_typing);
    EXPECT_TRUE(screen.m_textComplete);
    // The cut voice counts as over 700 ms later; the pause adds 600 ms.
    run(screen, TextSequenceScreen::k_voiceGraceMs - 10);
    EXPECT_FALSE(screen.m_linePauseTimer.isActive());
    run(screen, 20);
    EXPECT_TRUE(screen.m_linePauseTimer.isActive());
    EXPECT_EQ(screen.m_index, 0u);
    run(screen, TextSequenceScreen::k_linePauseMs);
    EXPECT_EQ(screen.m_index, 1u);
    EXPECT_TRUE(screen.m_typing);
}

TEST_F(TextSequenceScreenTest, AGraceTimeLeftFromOneEntryNeverEndsTheNext)
{
    TextSequenceScreen& screen = show();
    retype(screen, "A short line");
    run(screen, 100);
    screen.onPointerDown(0, 8, {400, 300});
    run(screen, 50);
    // A second press cuts the voice at once: the pause starts now.
    screen.onPointerDown(0, 8, {400, 300});
    run(screen, TextSequenceScreen::k_linePauseMs + 10);
    ASSERT_EQ(screen.m_index, 1u);
    // The second entry's voice plays; the first entry's grace would end now.
    screen.m_voiceDone = false;
    run(screen, 200);
    EXPECT_FALSE(screen.m_voiceDone);
    EXPECT_FALSE(screen.m_voiceGraceTimer.isActive());
}

TEST_F(TextSequenceScreenTest, APressAfterAWrappedTextWasTypedGoesOnInsteadOfStartingItAgain)
{
    TextSequenceScreen& screen = show();
    const char* text =
        "Thank you for searching with Zibbo through every one of the twelve worlds, your journey "
        "is complete";
    retype(screen, text);
    run(screen, static_cast<int32_t>(FString(text).length() + 1) * TextSequenceScreen::k_characterMs);
    ASSERT_TRUE(screen.m_textComplete);
    ASSERT_TRUE(screen.m_typing);
    screen.onPointerDown(0, 8, {400, 300});
    EXPECT_EQ(screen.textLabel().text(), FString(text));
    EXPECT_EQ(screen.m_index, 0u);
    EXPECT_FALSE(screen.m_typing);
    EXPECT_TRUE(screen.m_voiceGraceTimer.isActive());
}

TEST_F(TextSequenceScreenTest, AfterTheLastEntryTheScreenFlashesToBlackAndThenShowsTheAnimation)
{
    TextSequenceScreen& screen = show();
    int32_t ms = 0;
    while (realModule.currentKind() == k_textSequenceScreen && ms < 20000) {
        run(screen, 10);
        ms += 10;
        if (screen.m_finished && realModule.currentKind() == k_textSequenceScreen) {
            // The switch waits for full black.
            EXPECT_TRUE(screen.flashSprite().isVisible());
        }
        if (realModule.hasPendingLoad()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(realModule.currentKind(), k_animationScreen);
    EXPECT_TRUE(screen.m_finished);
    EXPECT_FALSE(screen.textLabel().isVisible());
    EXPECT_EQ(screen.flashSprite().widgetColour(), TextSequenceScreen::k_black);
    EXPECT_EQ(screen.children().back(), &screen.flashSprite());
    // The animation was asked for once, in the background.
    const std::vector<int32_t> kinds = factory.requested();
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), k_animationScreen), 1);
}

} // namespace
