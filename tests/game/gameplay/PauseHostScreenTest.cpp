// The pause overlay over folder 24: its show and hide timelines, the audio
// pause, the button gates, the round trip through the options overlay and
// leaving the level through the loading screen.
#include "game/gameplay/GameplayTestSupport.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/GameSession.h"
#include "game/core/PowerUpKind.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/gameplay/PauseHostScreen.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

using namespace gameplaytest;

namespace {

// Notes the pause requests the options overlay's closing makes.
class TestPauseScreen : public PauseHostScreen
{
public:
    void requestPause() override
    {
        ++pauseRequests;
        m_pauseContainer->setVisible(true);
    }
    void showPauseBackdrop() override { ++backdrops; }

    int pauseRequests = 0;
    int backdrops = 0;
};

class PauseHostScreenTest : public testing::Test, protected HostedScreen<TestPauseScreen>
{
protected:
    PauseHostScreenTest()
    {
        module.run();
        module.showScreen(k_storyModeScreen);
        TestPauseScreen& s = screen();
        module.soundNames = {{"confirm", s.m_confirmSound.get()}, {"open", s.m_openSound.get()}};
        module.take();
    }

    void showPause()
    {
        screen().m_pauseContainer->setVisible(true);
        screen().update(0);
    }
    void openFully()
    {
        showPause();
        screen().update(PauseHostScreen::k_slideMs);
        screen().update(PauseHostScreen::k_coverFadeMs);
        ASSERT_TRUE(screen().m_pauseOpen);
        module.take();
    }
};

TEST_F(PauseHostScreenTest, ShowingPausesTheAudioSlidesOpenAndResumeSlidesBackAndResumes)
{
    TestPauseScreen& s = screen();
    showPause();
    EXPECT_EQ(module.take(), (Lines{"pause stop", "sound open at 63"}));
    EXPECT_TRUE(s.isPauseOpeningSlide());
    EXPECT_FALSE(s.m_pauseClosed);
    s.update(699);
    EXPECT_FALSE(s.m_pauseOpen);
    EXPECT_FALSE(s.m_pausePanel->isVisible());
    s.update(1);
    EXPECT_TRUE(s.m_pauseOpen);
    EXPECT_TRUE(s.m_pausePanel->isVisible());
    EXPECT_TRUE(s.dimImage()->isVisible());
    EXPECT_NE(s.pauseTopEmitter(), nullptr);
    s.update(100);
    EXPECT_EQ(s.m_pauseCover->widgetColour() >> 24, 0u);

    s.onResumeClicked();
    EXPECT_FALSE(s.m_pauseOpen);
    s.update(99);
    EXPECT_FALSE(s.isPauseClosingSlide());
    s.update(1);
    EXPECT_TRUE(s.isPauseClosingSlide());
    EXPECT_FALSE(s.m_pausePanel->isVisible());
    // The frame that ends the fade also moves the rollers by its time.
    s.update(698);
    EXPECT_FALSE(s.m_pauseClosed);
    module.take();
    s.update(1);
    EXPECT_TRUE(s.m_pauseClosed);
    EXPECT_FALSE(s.m_pauseContainer->isVisible());
    EXPECT_FALSE(s.dimImage()->isVisible());
    EXPECT_EQ(module.take(), (Lines{"resume force"}));
}

TEST_F(PauseHostScreenTest, ButtonsActOnlyWhileTheOverlayIsFullyOpen)
{
    TestPauseScreen& s = screen();
    showPause();
    module.take();
    // During the opening slide nothing acts.
    s.onResumeClicked();
    s.onOptionsClicked();
    s.onQuitToMenuClicked();
    s.onQuitToWorldMapClicked();
    EXPECT_TRUE(module.take().empty());
    EXPECT_FALSE(s.m_optionsRequested);
    EXPECT_EQ(s.queueSize(), 0u);
    s.update(700);
    s.update(100);
    ASSERT_TRUE(s.m_pauseOpen);
    // Resume then options at once: the options click is too late and the
    // level runs again instead of ending in the options overlay.
    s.onResumeClicked();
    s.onOptionsClicked();
    EXPECT_FALSE(s.m_optionsRequested);
    s.update(100);
    s.update(700);
    EXPECT_TRUE(s.m_pauseClosed);
    EXPECT_FALSE(s.m_openingSlide);
    EXPECT_FALSE(s.m_optionsFromPause);
}

TEST_F(PauseHostScreenTest, OptionsClosesIntoTheOptionsOverlayWhoseClosingOpensThePauseAgain)
{
    openFully();
    TestPauseScreen& s = screen();
    s.onOptionsClicked();
    s.update(100);
    s.update(700);
    EXPECT_TRUE(s.m_pauseClosed);
    EXPECT_TRUE(s.m_optionsFromPause);
    EXPECT_EQ(s.backdrops, 1);
    EXPECT_TRUE(s.m_openingSlide);
    // The audio stays paused behind the options overlay.
    EXPECT_EQ(std::count(module.calls.begin(), module.calls.end(), "resume force"), 0);
    s.update(700);
    s.update(50);
    ASSERT_TRUE(s.m_panelOpen);
    s.onOptionsCancelled();
    s.update(50);
    s.update(700);
    EXPECT_EQ(s.pauseRequests, 1);
    s.update(0);
    EXPECT_TRUE(s.isPauseOpeningSlide());
    s.update(700);
    EXPECT_TRUE(s.m_pauseOpen);
    EXPECT_FALSE(s.m_optionsFromPause);
}

TEST_F(PauseHostScreenTest, QuitQuestionsWaitAndConfirmedQuitsLeaveThroughTheLoadingScreen)
{
    module.getSaveManager()->attachDefaultFileSystem();
    module.initSaveData();
    struct Case
    {
        int32_t kind;
        int32_t pending;
        bool menuMusic;
    };
    for (const Case c : {Case{PauseHostScreen::k_quitToMapConfirmation, k_worldMapScreen, false},
                         Case{PauseHostScreen::k_quitToMenuConfirmation, k_mainMenuScreen, true}}) {
        SCOPED_TRACE(c.kind);
        module.showScreen(k_storyModeScreen);
        openFully();
        TestPauseScreen& s = screen();
        GameSession& play = *module.getGameSession();
        play.addActivePowerUp(k_powerUpCover);
        module.screens.clear();
        if (c.kind == PauseHostScreen::k_quitToMapConfirmation)
            s.onQuitToWorldMapClicked();
        else
            s.onQuitToMenuClicked();
        EXPECT_EQ(s.getFrontMessageKind(), c.kind);
        EXPECT_TRUE(s.m_pauseOpen);
        EXPECT_TRUE(module.screens.empty());
        s.onConfirmMessage(c.kind);
        EXPECT_EQ(module.pendingScreen(), c.pending);
        EXPECT_EQ(module.menuMusicRestart(), c.menuMusic);
        std::vector<ActivePowerUp*> left;
        play.copyActivePowerUps(left);
        EXPECT_TRUE(left.empty());
        ASSERT_FALSE(module.screens.empty());
        EXPECT_EQ(module.screens.back(), k_loadingScreen);
        const Lines calls = module.take();
        EXPECT_NE(std::find(calls.begin(), calls.end(), "stop all"), calls.end());
        EXPECT_NE(std::find(calls.begin(), calls.end(), "resume force"), calls.end());
    }
}

TEST_F(PauseHostScreenTest, WhileOpenOtherPointersAndButtonsAreIgnored)
{
    openFully();
    TestPauseScreen& s = screen();
    FButton& resume = *s.m_resumeButton;
    const FPointI corner = resume.getAbsolutePosition();
    const FPointI centre{corner.x + resume.width() / 2, corner.y + resume.height() / 2};
    s.onPointerDown(1, 8, centre);
    s.onPointerUp(1, 8, centre);
    s.onPointerDown(0, 9, centre);
    s.onPointerUp(0, 9, centre);
    EXPECT_TRUE(s.m_pauseOpen);
    s.onPointerDown(0, 8, centre);
    s.onPointerUp(0, 8, centre);
    EXPECT_FALSE(s.m_pauseOpen);
}

} // namespace
