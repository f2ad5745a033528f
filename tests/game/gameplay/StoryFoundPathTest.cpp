// A find through the running game's own path: the game module's play-field
// services are installed, so a short press on a hidden item of a level sees
// the session's current task, and the story screen's found effect (task
// types 0 to 5) or its special animation (type 4) takes the find.
#include "game/gameplay/StoryScreenTestSupport.h"

#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/SearchableObject.h"
#include "game/core/StoryEvent.h"
#include "game/core/TaskType.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/PlayFieldServices.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/VideoSprite.h"

#include <gtest/gtest.h>

namespace {

// Notes which found handler the searchable sprite called; each still runs.
class FoundPathScreen : public StoryModeScreen
{
public:
    void playFoundEffect(int32_t player, int32_t taskType, SearchableSprite& sprite) override
    {
        calls.push_back("effect " + std::to_string(player) + " " + std::to_string(taskType));
        StoryModeScreen::playFoundEffect(player, taskType, sprite);
    }
    void playStagedFoundSequence(SearchableSprite& sprite) override
    {
        calls.push_back("special");
        StoryModeScreen::playStagedFoundSequence(sprite);
    }
    void reportSpriteFound(int32_t player, SearchableSprite& sprite) override
    {
        calls.push_back("report " + std::to_string(player));
        StoryModeScreen::reportSpriteFound(player, sprite);
    }
    bool raiseStoryEvent(int32_t event) override
    {
        events.push_back(event);
        return StoryModeScreen::raiseStoryEvent(event);
    }

    std::vector<std::string> calls;
    std::vector<int32_t> events;
};

struct FoundPathCase
{
    int32_t taskType;
    const char* handler;
};

class StoryFoundPathTest : public testing::TestWithParam<FoundPathCase>,
                           protected storytest::StoryScreenLevel<FoundPathScreen>
{
protected:
    // Frames of 16 ms until `done` or the frame budget runs out.
    template <class Done> bool runUntil(Done done, int32_t frames = 200)
    {
        for (int32_t i = 0; i < frames && !done(); ++i)
            screen().update(16);
        return done();
    }
};

TEST_P(StoryFoundPathTest, AShortPressOnAnItemReachesTheHandlerOfTheTaskAndCommitsTheFind)
{
    const FoundPathCase c = GetParam();
    start({c.taskType});
    FoundPathScreen& s = screen();
    // The game module's services answer the widgets with its own session.
    ASSERT_NE(PlayFieldServices::instance(), nullptr);
    EXPECT_EQ(PlayFieldServices::instance()->gameSession(), &session());
    ASSERT_TRUE(runUntil([&] { return !s.getTaskSprites()->empty(); }));
    ASSERT_EQ(session().getCurrentTaskType(), c.taskType);
    FRefT<SearchableSprite> sprite = s.getTaskSprites()->front();
    SearchableObject* item = sprite->item();
    ASSERT_NE(item, nullptr);
    // Listed for the one player.
    EXPECT_EQ(item->player(), 0);

    // A story line that runs at the task's start holds the first item until
    // it closes.
    if (sprite->isLocked()) s.completeStoryStep();
    ASSERT_FALSE(sprite->isLocked());
    // Press and release 100 ms later, through the sprite's own handlers.
    if (HudPanelEntry* entry = sprite->panelEntry()) entry->setActive(true);
    const FPointI centre = FWidget::getRectCenter(sprite->mapRect());
    sprite->onPointerDown(0, 8, centre);
    sprite->update(100);
    sprite->onPointerUp(0, 8, centre);
    EXPECT_TRUE(sprite->isFound());
    EXPECT_EQ(s.calls, (std::vector<std::string>{c.handler}));
    if (std::string(c.handler).rfind("effect", 0) == 0) {
        // The found effect shows; its end commits the find.
        EXPECT_TRUE(s.foundEffect(0)->isVisible());
        EXPECT_EQ(s.lastFoundSprite(0), sprite.get());
        EXPECT_EQ(item->state(), SearchableObject::k_stateListed);
    }
    ASSERT_TRUE(runUntil([&] { return item->state() == SearchableObject::k_stateFound; }));
    EXPECT_FALSE(s.foundEffect(0)->isVisible());
    EXPECT_EQ(s.lastFoundSprite(0), nullptr);
    // The special animation gave the level clock back.
    LevelTimer* timer = session().getLevelTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->started);
}

INSTANTIATE_TEST_SUITE_P(CharacterTasks, StoryFoundPathTest,
                         testing::Values(FoundPathCase{k_taskFindZibbo, "effect 0 0"},
                                         FoundPathCase{k_taskFindZibboSecondForm, "effect 0 5"},
                                         FoundPathCase{k_taskFindDrabb, "special"}));

TEST_P(StoryFoundPathTest, TheEndOfAWrongClickPenaltyRaisesStoryEventFive)
{
    start({GetParam().taskType});
    FoundPathScreen& s = screen();
    ASSERT_TRUE(runUntil([&] { return !s.getTaskSprites()->empty(); }));
    s.playWrongHitPenalty(0);
    ASSERT_TRUE(s.isStunned(0));
    s.events.clear();
    // The penalty's end, where a shake, its timer and a Stun's end all lead.
    s.endWrongHitPenalty(0);
    EXPECT_FALSE(s.isStunned(0));
    EXPECT_EQ(s.events, (std::vector<int32_t>{k_eventPenaltyEnded}));
}

} // namespace
