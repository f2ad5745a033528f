// The system prompts on the screen built from folders 12, 27 and 30: which
// save errors, warnings and controller events push what, the no-saves
// confirmation and its answers, and the pause and resume of the game's
// sounds around them, through a game module that records what it is asked.
#include "PromptTestSupport.h"

#include "core/FKeyCode.h"
#include "game/screenbase/SystemMessageHost.h"
#include "ui/FAppUserInterfaceModule.h"

using namespace prompttest;
using Lines = std::vector<std::string>;

namespace {

using Screen = Recording<SystemMessageScreen>;

class RecordingGame : public FAppUserInterfaceModule, public SystemMessageHost
{
public:
    void pauseAudioAndCursor(bool stopEffects) override
    {
        calls.push_back(stopEffects ? "pause stop" : "pause");
    }
    void resumeAudioAndCursor(bool force) override { calls.push_back(force ? "resume force" : "resume"); }
    void disableSaving() override { calls.push_back("disable saving"); }
    void rebuildSaveData() override { calls.push_back("rebuild save data"); }
    void returnToSystemMenu() override { calls.push_back("system menu"); }

    Lines take() { return std::exchange(calls, {}); }

    Lines calls;
};

class SystemMessageScreenTest : public testing::Test, protected PromptFolders
{
protected:
    SystemMessageScreenTest() { EXPECT_EQ(SystemMessageScreen::host(), &game); }

    // Lets a fading panel finish its 300 ms.
    void settle() { screen.update(PromptScreen::k_fadeMs); }
    std::string front() const { return frontOf(screen); }

    RecordingGame game;
    Screen screen;
};

TEST_F(SystemMessageScreenTest, SaveErrorsPushByTheirIdAndAlwaysPause)
{
    struct Case
    {
        int32_t id;
        const char* pushed;
    };
    const Case cases[] = {
        {0, "none"},
        {1, "none"},
        {2, "kind 5 type 0 option -1"},
        {3, "kind 5 type 1 option -1"},
        {4, "kind 5 type 0 option -1"},
        {5, "kind 5 type 0 option -1"},
        {6, "kind 5 type 1 option -1"},
        {9, "none"},
        {13, "none"},
        {14, "none"},
        {17, "none"},
        {18, "kind 5 type 0 option -1"},
        {19, "kind 5 type 0 option -1"},
        {20, "none"},
        {-1, "none"},
    };
    for (const Case& c : cases) {
        Screen fresh;
        fresh.onSaveGameError(c.id);
        EXPECT_EQ(frontOf(fresh), c.pushed) << "error " << c.id;
        if (fresh.queueSize() != 0) {
            // Notices leave on confirm; questions stay for the confirmation.
            EXPECT_EQ(fresh.frontMessage().popOnConfirm,
                      fresh.frontMessage().type == PromptMessage::k_notice);
            EXPECT_TRUE(fresh.frontMessage().fade);
            EXPECT_EQ(fresh.frontMessage().text.get(), nullptr);
        }
        EXPECT_EQ(game.take(), Lines{"pause"}) << "error " << c.id;
    }
}

TEST_F(SystemMessageScreenTest, SaveWarningsOneAndTwoAskAndEveryWarningPauses)
{
    const struct
    {
        int32_t id;
        const char* pushed;
    } cases[] = {{0, "none"}, {1, "kind 6 type 1 option -1"}, {2, "kind 6 type 1 option -1"}, {3, "none"}};
    for (const auto& c : cases) {
        Screen fresh;
        fresh.onSaveGameWarning(c.id, 77);
        EXPECT_EQ(frontOf(fresh), c.pushed) << "warning " << c.id;
        if (fresh.queueSize() != 0) {
            EXPECT_FALSE(fresh.frontMessage().popOnConfirm);
        }
        EXPECT_EQ(game.take(), Lines{"pause"}) << "warning " << c.id;
    }
}

TEST_F(SystemMessageScreenTest, ConfirmingTheErrorNoticeOffersToGoOnWithoutSaving)
{
    screen.onSaveGameError(2);
    screen.onKeyDown(FKeyCode::k_enter);
    // The notice left the queue; the confirmation took its place.
    EXPECT_EQ(screen.take(), Lines{"confirm 5 (front 0, size 0)"});
    EXPECT_EQ(front(), "kind 7 type 0 option 1");
    EXPECT_EQ(screen.m_messageLabel->text().toUtf8(), "There are no saved games yet. Start a new game?");
    EXPECT_TRUE(shown(screen.m_confirmButton));
    EXPECT_TRUE(shown(screen.m_cancelButton));
    EXPECT_EQ(screen.m_confirmButton->caption().text().toUtf8(), "Yes");
    EXPECT_EQ(screen.m_cancelButton->caption().text().toUtf8(), "No");
    EXPECT_EQ(game.take(), (Lines{"pause", "pause"}));
}

TEST_F(SystemMessageScreenTest, ConfirmingTheConfirmationDisablesSavingResumesAndClearsEverything)
{
    screen.onSaveGameWarning(2, 0);
    settle();
    screen.onKeyDown(FKeyCode::k_enter);
    settle();
    // The warning stays queued under the confirmation.
    EXPECT_EQ(front(), "kind 7 type 0 option 1");
    EXPECT_EQ(screen.queueSize(), 2u);
    screen.onKeyDown(FKeyCode::k_enter);
    EXPECT_EQ(screen.queueSize(), 0u);
    EXPECT_EQ(game.take(), (Lines{"pause", "pause", "disable saving", "resume"}));
}

TEST_F(SystemMessageScreenTest, CancellingTheConfirmationResumesAndBringsBackTheQuestionUnderIt)
{
    screen.onSaveGameError(3);
    settle();
    screen.onKeyDown(FKeyCode::k_enter);
    settle();
    screen.onCancelClicked(*screen.m_cancelButton);
    EXPECT_EQ(front(), "kind 5 type 1 option -1");
    EXPECT_TRUE(screen.isOpen());
    EXPECT_EQ(game.take(), (Lines{"pause", "pause", "resume"}));
}

TEST_F(SystemMessageScreenTest, CancellingTheSaveQuestionsClearsTheQueue)
{
    // The error question: the save data is rebuilt and the sounds resume.
    screen.pushMessage(textRef("the screen's own"), PromptMessage::k_confirmOnly, 13, true, false);
    screen.onSaveGameError(6);
    settle();
    screen.onCancelClicked(*screen.m_cancelButton);
    settle();
    EXPECT_EQ(screen.queueSize(), 0u);
    EXPECT_EQ(game.take(), (Lines{"pause", "rebuild save data", "resume"}));

    // The warning question: off to the machine's menu, nothing resumes.
    screen.onSaveGameWarning(1, 0);
    settle();
    screen.onCancelClicked(*screen.m_cancelButton);
    settle();
    EXPECT_EQ(screen.queueSize(), 0u);
    EXPECT_EQ(game.take(), (Lines{"pause", "system menu"}));
}

TEST_F(SystemMessageScreenTest, AControllerLossIsANoticeThatEnterPopsWithoutResuming)
{
    screen.onControllerLost(1);
    EXPECT_EQ(front(), "kind 3 type 0 option -1");
    EXPECT_FALSE(shown(screen.m_confirmButton));
    screen.onKeyDown(FKeyCode::k_enter);
    EXPECT_EQ(screen.take(), Lines{"confirm 3 (front 0, size 0)"});
    EXPECT_EQ(game.take(), Lines{"pause"});
}

TEST_F(SystemMessageScreenTest, DismissingTheControllerPromptEndsTheSeriesAtItsBase)
{
    screen.pushMessage(textRef("own"), PromptMessage::k_confirmOnly, 13, true, false);
    screen.onControllerLost(0);
    EXPECT_EQ(screen.queueBase(), 1);
    EXPECT_FALSE(screen.isReady());
    screen.pushControllerNotice(0);
    // The second prompt of the series keeps the base.
    EXPECT_EQ(screen.queueBase(), 1);
    game.take();

    screen.dismissControllerPrompt(0, true);
    EXPECT_EQ(screen.queueSize(), 2u);
    EXPECT_TRUE(game.take().empty());
    screen.dismissControllerPrompt(0, true);
    EXPECT_EQ(screen.queueSize(), 1u);
    EXPECT_EQ(game.take(), Lines{"resume"});
    EXPECT_TRUE(screen.isReady());
    EXPECT_TRUE(screen.take().empty());

    // No controller prompt at the front: nothing happens.
    screen.dismissControllerPrompt(0, true);
    EXPECT_EQ(screen.queueSize(), 1u);
    EXPECT_TRUE(game.take().empty());
}

TEST_F(SystemMessageScreenTest, ALowBatteryChangesNothing)
{
    screen.onDeviceEvent5(2);
    EXPECT_EQ(screen.queueSize(), 0u);
    EXPECT_TRUE(game.take().empty());
    EXPECT_TRUE(screen.isReady());
}

} // namespace
