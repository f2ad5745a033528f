// The splash screen: the storage check and the load step two updates later,
// the blinking label once the main menu is cached and no prompt is open, the
// press that goes on, and the save-error prompts 5, 6 and 7, whose "go on
// without saving" runs the load step again only after the menu build ended.

#include "game/SaveFolder.h"
#include "game/frontend/FrontEndTestSupport.h"

#include "core/FKeyCode.h"
#include "game/core/GameSession.h"
#include "game/core/GameStructure.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/ZibboSplashScreen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace frontendtest;

namespace {

// The real splash screen; the main menu is a plain prompt screen whose build
// can be held back.
class SplashFactory : public prompttest::PromptFactory<SystemMessageScreen>
{
public:
    FRefT<FScreen> createScreen(int32_t kind) override
    {
        if (kind == k_splashScreen) return real.createScreen(kind);
        if (kind == k_mainMenuScreen) {
            ++menuBuilds;
            while (holdMenu.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return prompttest::PromptFactory<SystemMessageScreen>::createScreen(kind);
    }
    GameScreenFactory real;
    std::atomic<bool> holdMenu{false};
    std::atomic<int> menuBuilds{0};
};

// The saves go to a scratch data folder, never the user's own.
class SplashScreenTest : public SaveFolderTest, protected FrontEndFixture
{
protected:
    SplashScreenTest() { splashModule.run(); }
    void SetUp() override
    {
        SaveFolderTest::SetUp();
        splashModule.getSaveManager()->attachDefaultFileSystem();
    }

    ZibboSplashScreen& show()
    {
        splashModule.showScreen(k_splashScreen);
        held = splashModule.currentScreen();
        return *static_cast<ZibboSplashScreen*>(held.get());
    }
    // One update, then the background build's result is taken in.
    void step(ZibboSplashScreen& screen, int32_t ms = 20)
    {
        screen.update(ms);
        settle();
    }
    void settle()
    {
        for (int i = 0; i < 500 && splashModule.hasPendingLoad() && !factory.holdMenu.load(); ++i) {
            splashModule.drain();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        splashModule.drain();
    }
    void confirm(ZibboSplashScreen& screen)
    {
        screen.update(PromptScreen::k_fadeMs);
        screen.onKeyDown(FKeyCode::k_enter);
        screen.update(PromptScreen::k_fadeMs);
    }

    SplashFactory factory;
    InlineGameModule splashModule{&factory, cursorDevice};
    FRefT<FScreen> held;
};

TEST_F(SplashScreenTest, TheLoadStepRunsTwoUpdatesLaterAndTheLabelBlinksOnceTheMenuIsCached)
{
    ZibboSplashScreen& screen = show();
    EXPECT_EQ(screen.countdown(), 2);
    EXPECT_TRUE(splashModule.quitQuestion().needsConfirmation());
    EXPECT_FALSE(screen.m_readyGroup->isVisible());

    step(screen);
    EXPECT_EQ(screen.loadStepRuns(), 0);
    step(screen);
    EXPECT_EQ(screen.loadStepRuns(), 1);
    ASSERT_FALSE(splashModule.getGameSession().isNull());
    EXPECT_GT(splashModule.getGameSession()->structure().worlds().size(), 0u);

    // A press before the label shows stays on the splash screen.
    step(screen);
    EXPECT_TRUE(screen.isReady());
    EXPECT_TRUE(screen.m_readyGroup->isVisible());
    EXPECT_EQ(factory.menuBuilds.load(), 1);

    // The label fades in, then out, then in again, 750 ms each.
    auto* label = static_cast<FLabel*>(screen.m_pressLabel.get());
    const auto alpha = [label] { return static_cast<int>(label->colourTable()[0] >> 24); };
    step(screen, ZibboSplashScreen::k_blinkMs);
    EXPECT_EQ(alpha(), 255);
    step(screen, ZibboSplashScreen::k_blinkMs);
    EXPECT_EQ(alpha(), 0);
    step(screen, ZibboSplashScreen::k_blinkMs);
    EXPECT_EQ(alpha(), 255);

    screen.onKeyDown('a');
    EXPECT_EQ(splashModule.currentKind(), k_mainMenuScreen);
}

TEST_F(SplashScreenTest, PressesBeforeTheMenuIsReadyStayAndTheFirstAfterItLeaves)
{
    ZibboSplashScreen& screen = show();
    screen.onPointerDown(0, 8, {400, 300});
    screen.onKeyDown('x');
    EXPECT_EQ(splashModule.currentKind(), k_splashScreen);
    step(screen);
    step(screen);
    step(screen);
    ASSERT_TRUE(screen.isReady());
    screen.onPointerDown(2, 9, {10, 10});
    EXPECT_EQ(splashModule.currentKind(), k_mainMenuScreen);
}

TEST_F(SplashScreenTest, ASaveErrorHoldsTheLoadStepAndGoingOnWithoutSavingRunsItAgain)
{
    struct Case
    {
        const char* name;
        bool warning;
    } const cases[] = {{"error", false}, {"warning", true}};
    for (const Case& c : cases) {
        ZibboSplashScreen& screen = show();
        if (c.warning)
            screen.onSaveGameWarning(1, 0);
        else
            screen.onSaveGameError(3);
        const int32_t first = screen.getFrontMessageKind();
        EXPECT_EQ(first, c.warning ? 6 : 5) << c.name;
        // While the prompt is open the countdown stands still.
        for (int i = 0; i < 4; ++i)
            step(screen);
        EXPECT_EQ(screen.loadStepRuns(), 0) << c.name;
        EXPECT_FALSE(screen.isReady());

        confirm(screen);
        EXPECT_EQ(screen.getFrontMessageKind(), 7) << c.name;
        confirm(screen);
        EXPECT_EQ(screen.getFrontMessageKind(), 0) << c.name;
        EXPECT_TRUE(splashModule.getSaveManager()->savesDisabled());
        step(screen);
        step(screen);
        EXPECT_EQ(screen.loadStepRuns(), 1) << c.name;
        step(screen);
        EXPECT_TRUE(screen.isReady()) << c.name;
    }
}

TEST_F(SplashScreenTest, ASaveFileDamagedBeforeTheLoadStepIsShownOnceAfterIt)
{
    writeFile("globalsDL.dat", "<root><lastProfile>Bo</lastProfile></root>");
    writeFile("globalsDL.dat.crc", std::string(20, 'x'));
    ZibboSplashScreen& screen = show();
    step(screen);
    EXPECT_EQ(screen.getFrontMessageKind(), 0);
    step(screen);
    EXPECT_EQ(screen.loadStepRuns(), 1);
    EXPECT_EQ(screen.getFrontMessageKind(), SystemMessageScreen::k_saveGameError);
    // The prompt holds the label back although the menu is built.
    step(screen);
    EXPECT_FALSE(screen.isReady());

    confirm(screen);
    EXPECT_EQ(screen.getFrontMessageKind(), SystemMessageScreen::k_noSavesConfirmation);
    confirm(screen);
    step(screen);
    step(screen);
    EXPECT_EQ(screen.loadStepRuns(), 2);
    // The rebuilt file loads: nothing more to show.
    EXPECT_EQ(screen.getFrontMessageKind(), 0);
    step(screen);
    EXPECT_TRUE(screen.isReady());
}

TEST_F(SplashScreenTest, GoingOnWithoutSavingDuringTheMenuBuildWaitsForItAndLoadsOnceMore)
{
    factory.holdMenu = true;
    ZibboSplashScreen& screen = show();
    step(screen);
    step(screen);
    EXPECT_EQ(screen.loadStepRuns(), 1);
    ASSERT_TRUE(splashModule.hasPendingLoad());

    screen.onSaveGameError(3);
    confirm(screen);
    confirm(screen);
    EXPECT_EQ(screen.getFrontMessageKind(), 0);
    for (int i = 0; i < 5; ++i)
        step(screen);
    // The build still runs: no second load step, no second request.
    EXPECT_EQ(screen.loadStepRuns(), 1);
    EXPECT_FALSE(screen.isReady());

    factory.holdMenu = false;
    settle();
    for (int i = 0; i < 4; ++i)
        step(screen);
    EXPECT_EQ(screen.loadStepRuns(), 2);
    EXPECT_EQ(factory.menuBuilds.load(), 1);
    EXPECT_TRUE(screen.isReady());
}

} // namespace
