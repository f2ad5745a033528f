// The first world's tutorial played on the story mode screen: story events
// start its steps, each is heard out and clicked away, closing chains the
// next, the steps change the play as they come, and the last one leaves the
// tutorial marked as seen in the player's profile.
#include "game/gameplay/StoryScreenTestSupport.h"

#include "game/core/GameSaveData.h"
#include "game/core/HintCounter.h"
#include "game/core/LevelTimer.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/StoryEvent.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/gameplay/StoryTaskList.h"
#include "game/gameplay/StoryTeller.h"
#include "game/widgets/MapView.h"

#include <gtest/gtest.h>

using namespace storytest;

namespace {

class TutorialScreen : public StoryModeScreen
{
public:
    using StoryModeScreen::raiseStoryEvent;
};

class StoryTutorialTest : public testing::Test, protected StoryScreenLevel<TutorialScreen>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(loadQuest({0}, StoryTeller::k_tutorialQuest, true));
        // The world map's question was answered with the tutorial.
        session().setSpecialQuest(true);
        module.beginNewProfile();
        module.saveData().newProfile()->name = FString("Ann");
        module.saveData().setEditProfileSlot(0);
        ASSERT_TRUE(module.commitNewProfile());
        module.profileManager()->saveProfile(0);
        ASSERT_NE(profile(), nullptr);
        module.showScreen(k_storyModeScreen);
        module.take();
    }

    PlayerProfile* profile() { return module.profileManager()->getCurrentProfile(); }
    StoryTaskList& script() { return screen().storyTeller()->script(); }
    void run(int32_t ms)
    {
        for (int32_t t = 0; t < ms; t += 100)
            screen().update(100);
    }
    // Hears the running step out and clicks it away; the close follows
    // 300 ms after the frame that takes the click. The key closed.
    int32_t clickThrough()
    {
        const int32_t key = script().runningRecord()->m_orderKey;
        // The longest delay (2000 ms) and the second the step shows.
        run(3100);
        EXPECT_TRUE(screen().m_closeAllowed) << "step " << key;
        screen().onPointerUp(0, 8, {300, 200});
        run(400);
        return key;
    }
};

TEST_F(StoryTutorialTest, TheStepsFollowTheirEventsAndTheLastOneIsRemembered)
{
    TutorialScreen& s = screen();
    ASSERT_EQ(script().records().size(), 17u);
    ASSERT_FALSE(profile()->flag(PlayerProfile::k_seenNomblersTutorial));
    SearchListGenerator& generator = *session().getSearchListGenerator();
    LevelTimer& timer = *session().getLevelTimer();

    // The level is ready: the greeting waits its 500 ms, then the speaker
    // comes up, the search holds and a wild click costs nothing.
    ASSERT_TRUE(s.raiseStoryEvent(k_eventLevelReady));
    run(400);
    EXPECT_FALSE(s.m_speakerFrame->isVisible());
    run(100);
    EXPECT_TRUE(s.m_speakerFrame->isVisible());
    EXPECT_FALSE(session().isPenaltyEnabled());
    EXPECT_TRUE(timer.stopped);
    EXPECT_FALSE(timer.resumed);
    EXPECT_TRUE(s.mapView()->isInputBlocked());
    // Not before the step has shown for a second may it be clicked away.
    run(800);
    EXPECT_FALSE(s.m_closeAllowed);
    s.onPointerUp(0, 8, {300, 200});
    run(400);
    EXPECT_EQ(script().runningRecord()->m_orderKey, 0);
    std::vector<int32_t> closed;
    closed.push_back(clickThrough());
    // Closing chained the next step (key 1), which waits for nothing more.
    ASSERT_TRUE(script().isRecordRunning());
    closed.push_back(clickThrough());
    EXPECT_FALSE(script().isRecordRunning());

    // Each further event starts its step; closing chains the steps keyed
    // right after it. Before the hints come, the stock stands at 8: only
    // one hint is added, up to 9.
    for (int32_t event : {k_eventSwapFollowUp, k_eventTutorialZibboTaskStarted, k_eventPictureSearchStarted,
                          k_eventFoundAnimationEnded, k_eventFoundAnimationEnded, k_eventFoundAnimationEnded,
                          k_eventFoundAnimationEnded, k_eventRequested19, k_eventScrollTaskStarted,
                          k_eventPenaltyEnded, k_eventDrabbTaskStarted, k_eventDrabbTaskEnded}) {
        if (event == k_eventFoundAnimationEnded) generator.hintCounter().hints = 8;
        if (!s.raiseStoryEvent(event)) continue;
        while (script().isRecordRunning())
            closed.push_back(clickThrough());
        if (event == k_eventPictureSearchStarted) {
            EXPECT_TRUE(session().isPenaltyEnabled());
        }
        if (event == k_eventFoundAnimationEnded) {
            EXPECT_EQ(generator.hintCounter().hints, 9);
        }
    }
    std::vector<int32_t> keys(17);
    for (int32_t i = 0; i < 17; ++i)
        keys[i] = i;
    EXPECT_EQ(closed, keys);
    // The last step closed: the tutorial is seen, and the next save keeps it.
    EXPECT_TRUE(profile()->flag(PlayerProfile::k_seenNomblersTutorial));
    EXPECT_TRUE(profile()->isChanged());
    // Nothing is left running or waiting; the play runs again undimmed.
    for (const StoryTaskRecord& record : script().records())
        EXPECT_EQ(record.m_state, StoryTaskRecord::k_done) << record.m_orderKey;
    EXPECT_TRUE(timer.resumed);
    run(1000);
    EXPECT_FALSE(s.m_speakerFrame->isVisible());
}

TEST_F(StoryTutorialTest, TheCancelEventClosesTheScriptForGood)
{
    TutorialScreen& s = screen();
    ASSERT_TRUE(s.raiseStoryEvent(k_eventLevelReady));
    EXPECT_FALSE(s.raiseStoryEvent(k_eventPromptCancelled));
    // The running greeting can still be heard out and closed; nothing follows.
    run(500);
    clickThrough();
    EXPECT_FALSE(script().isRecordRunning());
    EXPECT_FALSE(s.raiseStoryEvent(k_eventSwapFollowUp));
    EXPECT_FALSE(profile()->flag(PlayerProfile::k_seenNomblersTutorial));
}

} // namespace
