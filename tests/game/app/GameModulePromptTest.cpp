// The game module's prompts on the current prompt screen (folders 12, 27 and
// 30). Closing the window: at once before the splash screen has shown, or
// while the window is minimised or inactive; otherwise the quit question,
// which yes ends and no withdraws, giving the screen its buttons back and
// resuming the sounds. And the module's save data behind the system prompts.
#include "game/FakeCursorDevice.h"
#include "game/app/InlineGameModule.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSession.h"
#include "game/core/GameplayScreen.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/screenbase/PromptTestSupport.h"

#include "core/FKeyCode.h"
#include "io/FNativePath.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

using namespace prompttest;
using Lines = std::vector<std::string>;

namespace {

using Screen = Recording<SystemMessageScreen>;

// A level screen whose pause overlay the test opens.
class LevelScreen : public Screen, public GameplayScreen
{
public:
    bool isPauseOverlayOpen() const override { return overlayOpen; }
    bool raiseStoryEvent(std::int32_t) override { return false; }
    void playWrongHitPenalty(std::int32_t) override {}
    bool isPictureSearchMode() const override { return false; }
    void clearOwnedItemQueue() override {}
    void onTaskBegun() override {}
    void onTaskAdvanced() override {}
    void endTask() override {}
    void showAnimatedOverlay(StoryTaskStepper&) override {}
    void stagedSequenceBegin() override {}
    void stagedSequenceShow() override {}
    void stagedSequenceRun() override {}
    void stagedSequenceEnd() override {}
    FRefT<std::istream> openSearchData(std::int32_t) override { return FRefT<std::istream>(); }

    bool overlayOpen = false;
};

// A start-up screen that cannot ask anything.
class PlainScreen : public FScreen
{
public:
    void reloadTexts(int32_t) override {}
};

// Prompt screens, but a level for the story mode and a plain start-up screen
// for the intro.
class GameScreens : public PromptFactory<Screen>
{
public:
    FRefT<FScreen> createScreen(int32_t kind) override
    {
        if (kind == k_introScreen)
            return FRefT<FScreen>(makeRef<FScreen>(engineNew<PlainScreen>(k_memObject)));
        if (kind == k_storyModeScreen)
            return FRefT<FScreen>(makeRef<FScreen>(engineNew<LevelScreen>(k_memObject)));
        return PromptFactory<Screen>::createScreen(kind);
    }
};

// Runs inline and notes the pauses and resumes the quit path asks for.
class GameModule : public InlineGameModule
{
public:
    using InlineGameModule::InlineGameModule;
    void pauseAudioAndCursor(bool stopEffects) override
    {
        calls.push_back(stopEffects ? "pause stop" : "pause");
        ZibboUserInterface::pauseAudioAndCursor(stopEffects);
    }
    void resumeAudioAndCursor(bool force) override
    {
        calls.push_back(force ? "resume force" : "resume");
        ZibboUserInterface::resumeAudioAndCursor(force);
    }
    Lines take() { return std::exchange(calls, {}); }

    Lines calls;
};

// The save folder below a scratch folder while it lives, never the user's own.
class ScratchDataHome
{
public:
    ScratchDataHome()
    {
        char pattern[] = "/tmp/zibbo-prompt-saves-XXXXXX";
        if (mkdtemp(pattern) != nullptr) m_base = pattern;
        EXPECT_FALSE(m_base.empty());
        const char* previous = std::getenv("XDG_DATA_HOME");
        m_hadPrevious = previous != nullptr;
        if (m_hadPrevious) m_previous = previous;
        setenv("XDG_DATA_HOME", m_base.c_str(), 1);
    }
    ~ScratchDataHome()
    {
        if (m_hadPrevious) {
            setenv("XDG_DATA_HOME", m_previous.c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
        std::error_code ignored;
        if (!m_base.empty()) std::filesystem::remove_all(m_base, ignored);
    }
    ScratchDataHome(const ScratchDataHome&) = delete;
    ScratchDataHome& operator=(const ScratchDataHome&) = delete;

private:
    std::string m_base;
    std::string m_previous;
    bool m_hadPrevious = false;
};

class GameModulePromptTest : public testing::Test, protected PromptFolders
{
protected:
    GameModulePromptTest()
    {
        module.run();
        show(k_mainMenuScreen);
    }

    void show(int32_t kind) { module.showScreen(kind); }

    Screen& screen() { return *static_cast<Screen*>(module.currentScreen().get()); }
    // Asks, and lets the question fade in.
    void ask()
    {
        module.setQuitNeedsConfirmation(true);
        module.quit(5);
        screen().update(PromptScreen::k_fadeMs);
    }

    GameScreens factory;
    FakeCursorDevice cursorDevice;
    GameModule module{&factory, cursorDevice};
};

TEST_F(GameModulePromptTest, BeforeTheSplashScreenClosingQuitsAtOnce)
{
    module.quit(3);
    EXPECT_TRUE(module.isQuitting());
    EXPECT_FALSE(module.isQuitPending());
    EXPECT_EQ(module.quitQuestion().exitCode(), 3);
    EXPECT_EQ(screen().queueSize(), 0u);
    EXPECT_TRUE(module.take().empty());
}

TEST_F(GameModulePromptTest, AfterTheSplashScreenClosingAsksAndClosingAgainDoesNothing)
{
    ask();
    EXPECT_FALSE(module.isQuitting());
    EXPECT_TRUE(module.isQuitPending());
    EXPECT_EQ(frontOf(screen()), "kind 21 type 1 option -1");
    EXPECT_TRUE(screen().frontMessage().popOnConfirm);
    EXPECT_EQ(screen().m_messageLabel->text().toUtf8(), "Do you really want to quit?");
    EXPECT_EQ(screen().m_confirmButton->caption().text().toUtf8(), "OK");
    EXPECT_EQ(screen().m_cancelButton->caption().text().toUtf8(), "Cancel");
    EXPECT_EQ(module.take(), Lines{"pause"});

    module.quit(6);
    EXPECT_EQ(screen().queueSize(), 1u);
    EXPECT_FALSE(module.isQuitting());
    EXPECT_EQ(module.quitQuestion().exitCode(), 5);
    EXPECT_TRUE(module.take().empty());
}

TEST_F(GameModulePromptTest, YesByClickEndsTheApplication)
{
    ask();
    click(*screen().m_confirmButton);
    EXPECT_TRUE(module.isQuitting());
    EXPECT_FALSE(module.isQuitPending());
    // The screen's own confirm handler never heard of it.
    EXPECT_TRUE(screen().take().empty());
}

TEST_F(GameModulePromptTest, YesByEnterEndsTheApplicationAsTheClickDoes)
{
    ask();
    screen().onKeyDown(FKeyCode::k_enter);
    EXPECT_TRUE(module.isQuitting());
    EXPECT_FALSE(module.isQuitPending());
    EXPECT_TRUE(screen().take().empty());
}

TEST_F(GameModulePromptTest, NoWithdrawsTheQuestionResumesAndGivesTheButtonsBack)
{
    ask();
    module.take();
    click(*screen().m_cancelButton);
    screen().update(PromptScreen::k_fadeMs);
    EXPECT_FALSE(module.isQuitting());
    EXPECT_FALSE(module.isQuitPending());
    EXPECT_EQ(screen().queueSize(), 0u);
    EXPECT_EQ(module.take(), Lines{"resume"});
    // Neither the screen's confirm nor its cancel handler ran.
    EXPECT_TRUE(screen().take().empty());

    // The screen's own handlers answer its next prompt.
    screen().pushMessage(textRef("own"), PromptMessage::k_confirmAndCancel, 13, true, false);
    click(*screen().m_cancelButton);
    EXPECT_EQ(screen().take(), Lines{"cancel (front 13, size 1)"});

    // And the window can be closed again.
    ask();
    EXPECT_EQ(frontOf(screen()), "kind 21 type 1 option -1");
}

TEST_F(GameModulePromptTest, NoOnALevelWithItsPauseOverlayOpenLeavesTheGamePaused)
{
    for (bool overlayOpen : {true, false}) {
        show(k_storyModeScreen);
        static_cast<LevelScreen&>(screen()).overlayOpen = overlayOpen;
        ask();
        click(*screen().m_cancelButton);
        EXPECT_FALSE(module.isQuitPending());
        EXPECT_EQ(module.take(), overlayOpen ? Lines{"pause"} : (Lines{"pause", "resume"}))
            << "overlay open " << overlayOpen;
        show(k_mainMenuScreen);
    }
}

TEST_F(GameModulePromptTest, AScreenThatCannotAskLetsTheWindowCloseAtOnce)
{
    // Left pending with nobody to answer, the window could never close.
    show(k_introScreen);
    module.setQuitNeedsConfirmation(true);
    module.quit(4);
    EXPECT_TRUE(module.isQuitting());
    EXPECT_FALSE(module.isQuitPending());
}

TEST_F(GameModulePromptTest, AMinimisedWindowQuitsAtOnce)
{
    module.setQuitNeedsConfirmation(true);
    module.minimizeWindow(FString("test"));
    module.drain();
    module.quit(2);
    EXPECT_TRUE(module.isQuitting());
    EXPECT_EQ(screen().queueSize(), 0u);
    EXPECT_TRUE(module.take().empty());
}

TEST_F(GameModulePromptTest, AnInactiveWindowQuitsAtOnce)
{
    module.setQuitNeedsConfirmation(true);
    module.onDeactivated();
    module.quit(2);
    EXPECT_TRUE(module.isQuitting());
    EXPECT_EQ(screen().queueSize(), 0u);
    EXPECT_TRUE(module.take().empty());
    module.onActivated();
}

TEST_F(GameModulePromptTest, TheSystemPromptsReachTheSaveData)
{
    const ScratchDataHome dataHome;
    module.getSaveManager()->attachDefaultFileSystem();
    ASSERT_TRUE(module.getGameSession().isNull());
    // Cancelling a save error question makes the save data anew.
    screen().onSaveGameError(3);
    screen().update(PromptScreen::k_fadeMs);
    screen().onCancelClicked(*screen().m_cancelButton);
    screen().update(PromptScreen::k_fadeMs);
    EXPECT_FALSE(module.getGameSession().isNull());
    EXPECT_FALSE(module.getSaveManager()->savesDisabled());

    // Going on without saving turns saving off.
    screen().pushNoSavesConfirmation();
    screen().onKeyDown(FKeyCode::k_enter);
    EXPECT_TRUE(module.getSaveManager()->savesDisabled());
    EXPECT_EQ(screen().queueSize(), 0u);
    EXPECT_EQ(module.take(), (Lines{"pause", "resume", "pause", "resume"}));
}

TEST_F(GameModulePromptTest, ADamagedSaveFileReachesThePlayerAsASaveErrorOnce)
{
    const ScratchDataHome dataHome;
    module.getSaveManager()->attachDefaultFileSystem();
    module.initSaveData();
    EXPECT_FALSE(module.showPendingSaveError(screen()));

    const std::filesystem::path folder = FNativePath::toNative(module.getSaveManager()->fileSystem()->root());
    std::filesystem::remove(folder / "globalsDL.dat.crc");
    module.initSaveData();
    module.take();
    ASSERT_TRUE(module.showPendingSaveError(screen()));
    EXPECT_EQ(screen().getFrontMessageKind(), SystemMessageScreen::k_saveGameError);
    EXPECT_EQ(screen().queueSize(), 1u);
    EXPECT_EQ(module.take(), Lines{"pause"});
    EXPECT_FALSE(module.showPendingSaveError(screen()));
    EXPECT_EQ(screen().queueSize(), 1u);
}

} // namespace
