// The story script: the per-world step tables, the trigger rules, the delay
// before a step is presented, and a long run of random events.
#include "game/gameplay/StoryTaskList.h"
#include "game/gameplay/StoryScriptHost.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The screen as the script sees it: voices by id are remembered, the
// presented steps are recorded by key.
class ScriptScreen : public StoryScriptHost
{
public:
    FRef storyVoice(const std::string& id) override
    {
        askedIds.push_back(id);
        return FRef();
    }
    FRef storyInterruptLine() override
    {
        askedIds.push_back("interrupt");
        return FRef();
    }
    int32_t storyQuestType() const override { return quest; }
    void onStoryLevelReady(bool playTrack) override { tracks.push_back(playTrack); }
    void presentStoryRecord(StoryTaskRecord& record) override { presented.push_back(record.m_orderKey); }

    int32_t quest = 0;
    std::vector<std::string> askedIds;
    std::vector<bool> tracks;
    std::vector<int32_t> presented;
};

struct ScriptFixture
{
    explicit ScriptFixture(int32_t world, bool tutorial = true, int32_t quest = 0)
    {
        screen.quest = quest;
        list.buildWorldTaskScript(world, tutorial, true);
    }
    // Starts with the event and closes the step it started; the key closed.
    int32_t run(int32_t event)
    {
        EXPECT_TRUE(list.triggerEvent(event)) << "event " << event;
        const StoryTaskRecord* record = list.runningRecord();
        if (record == nullptr) return -1;
        const int32_t key = record->m_orderKey;
        list.closeRunning();
        return key;
    }
    int32_t runningKey() const
    {
        const StoryTaskRecord* record = list.runningRecord();
        return record != nullptr ? record->m_orderKey : -1;
    }

    ScriptScreen screen;
    StoryTaskList list{screen};
};

std::vector<int32_t> triggersOf(const StoryTaskList& list)
{
    std::vector<int32_t> triggers;
    for (const StoryTaskRecord& record : list.records())
        triggers.push_back(record.m_trigger);
    return triggers;
}

TEST(StoryTaskListTest, EachWorldBuildsItsTable)
{
    struct Case
    {
        int32_t world;
        bool tutorial;
        int32_t quest;
        std::vector<int32_t> triggers;
        bool enabled;
    };
    const Case cases[] = {
        {0, true, 0, {0, 2, 14, 2, 20, 2, 3, 2, 11, 2, 2, 19, 12, 2, 5, 15, 16}, true},
        {0, false, 0, {15, 16}, false},
        {1, true, 0, {3, 7, 2}, true},
        {1, true, 1, {3, 7, 2, 18, 2}, true},
        {1, false, 1, {18, 2}, false},
        // Without its tutorial and outside its quest the second world has no step.
        {1, false, 0, {}, false},
        {2, true, 0, {17}, true},
        {11, false, 1, {17}, false},
        {12, true, 0, {}, false},
        {-1, true, 0, {}, false},
    };
    for (const Case& c : cases) {
        ScriptFixture f(c.world, c.tutorial, c.quest);
        const std::string what = "world " + std::to_string(c.world) + (c.tutorial ? " tutorial" : "") +
                                 " quest " + std::to_string(c.quest);
        EXPECT_EQ(triggersOf(f.list), c.triggers) << what;
        EXPECT_EQ(f.list.isEnabled(), c.enabled) << what;
        for (std::size_t i = 0; i < f.list.records().size(); ++i) {
            EXPECT_EQ(f.list.records()[i].m_orderKey, static_cast<int32_t>(i)) << what;
            EXPECT_EQ(f.list.records()[i].m_state, StoryTaskRecord::k_waiting) << what;
        }
        EXPECT_EQ(f.list.finalRecord(), f.list.records().empty() ? nullptr : &f.list.records().back())
            << what;
    }
}

TEST(StoryTaskListTest, TablesCarryTheirPresentation)
{
    ScriptFixture first(0);
    const auto& r = first.list.records();
    EXPECT_EQ(r[0].m_callback, StoryCallback::k_tutorialStart);
    EXPECT_EQ(r[0].m_delay, 500);
    EXPECT_FALSE(r[2].m_speaker);
    EXPECT_TRUE(r[3].m_reminder);
    EXPECT_EQ(r[7].m_callback, StoryCallback::k_resumeTimerAndCancelReminder);
    EXPECT_TRUE(r[7].m_reminder);
    EXPECT_EQ(r[7].m_artKind, 1);
    EXPECT_EQ(r[8].m_callback, StoryCallback::k_hintSprites);
    EXPECT_EQ(r[9].m_callback, StoryCallback::k_cursorClip);
    EXPECT_EQ(r[9].m_artKind, 7);
    EXPECT_EQ(r[15].m_delay, 2000);
    int reminders = 0;
    for (const StoryTaskRecord& record : r)
        reminders += record.m_reminder ? 1 : 0;
    EXPECT_EQ(reminders, 2);
    // Every line of the world's script is asked for by a voice id of the
    // grammar: "KTQ", the world, the line, the speaker.
    ASSERT_EQ(first.screen.askedIds.size(), 17u);
    EXPECT_EQ(first.screen.askedIds[0], "KTQ_01_01_sm");
    EXPECT_EQ(first.screen.askedIds[15], "KTQ_01dq_01_sm");

    ScriptFixture photo(1, false, 1);
    EXPECT_TRUE(photo.list.records()[0].m_video);
    EXPECT_TRUE(photo.list.records()[1].m_speaker);
    ScriptFixture later(4, true, 1);
    EXPECT_TRUE(later.list.records()[0].m_video);
    EXPECT_EQ(later.screen.askedIds, std::vector<std::string>{"interrupt"});
    ScriptFixture plain(4, true, 0);
    EXPECT_FALSE(plain.list.records()[0].m_video);
}

TEST(StoryTaskListTest, EventTwoStartsOnlyTheStepRightAfterTheLastDone)
{
    ScriptFixture f(0);
    // Nothing is done yet: a closing event starts nothing.
    EXPECT_FALSE(f.list.triggerEvent(2));
    EXPECT_EQ(f.run(0), 0);
    EXPECT_EQ(f.run(2), 1);
    // Key 2 waits for event 14; the trigger-2 step at key 3 must wait for it.
    EXPECT_FALSE(f.list.triggerEvent(2));
    EXPECT_EQ(f.list.records()[3].m_state, StoryTaskRecord::k_waiting);
    EXPECT_EQ(f.run(14), 2);
    EXPECT_EQ(f.run(2), 3);
    EXPECT_EQ(f.list.lastCompleted(), &f.list.records()[3]);
}

TEST(StoryTaskListTest, EventElevenStartsOnItsFourthOccurrence)
{
    ScriptFixture f(0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(f.list.triggerEvent(11)) << i;
        EXPECT_EQ(f.list.itemAnimatedCount(), i + 1);
    }
    EXPECT_TRUE(f.list.triggerEvent(11));
    EXPECT_EQ(f.runningKey(), 8);
    f.list.closeRunning();
    // Done: later occurrences find no waiting step.
    EXPECT_FALSE(f.list.triggerEvent(11));
}

TEST(StoryTaskListTest, EventOneClosesTheListButTheRunningStepStillCloses)
{
    ScriptFixture f(0);
    ASSERT_TRUE(f.list.triggerEvent(0));
    EXPECT_FALSE(f.list.triggerEvent(1));
    EXPECT_TRUE(f.list.isClosed());
    EXPECT_EQ(f.runningKey(), 0);
    const StoryScript::Closed closed = f.list.closeRunning();
    EXPECT_TRUE(closed.closed);
    EXPECT_FALSE(closed.final);
    for (int32_t code : {0, 2, 3, 14, 20, 1})
        EXPECT_FALSE(f.list.triggerEvent(code)) << code;
    EXPECT_EQ(f.list.records()[1].m_state, StoryTaskRecord::k_waiting);
}

TEST(StoryTaskListTest, AStepWaitsForItsDelayAndARunningStepHoldsOthersBack)
{
    ScriptFixture f(0);
    ASSERT_TRUE(f.list.triggerEvent(0));
    // Event 3 has a waiting step (key 6) but one step runs already.
    EXPECT_FALSE(f.list.triggerEvent(3));
    EXPECT_EQ(f.list.records()[6].m_state, StoryTaskRecord::k_waiting);
    f.list.update(499);
    EXPECT_TRUE(f.screen.presented.empty());
    f.list.update(1);
    EXPECT_EQ(f.screen.presented, std::vector<int32_t>{0});
    f.list.update(1000);
    EXPECT_EQ(f.screen.presented.size(), 1u);
    f.list.closeRunning();
    // A step of delay 0 is presented at the next frame's step.
    ASSERT_TRUE(f.list.triggerEvent(3));
    EXPECT_EQ(f.screen.presented.size(), 1u);
    f.list.update(16);
    EXPECT_EQ(f.screen.presented, (std::vector<int32_t>{0, 6}));
    // A step closed before its delay ran out is never presented.
    f.list.closeRunning();
    ASSERT_TRUE(f.list.triggerEvent(14));
    f.list.closeRunning();
    f.list.update(5000);
    EXPECT_EQ(f.screen.presented.size(), 2u);
}

TEST(StoryTaskListTest, TheLevelReadyEventPlaysTheTrackOnlyInTheFirstWorldsTutorial)
{
    ScriptFixture first(0);
    first.list.triggerEvent(0);
    ScriptFixture untaught(0, false);
    untaught.list.triggerEvent(0);
    ScriptFixture third(2);
    third.list.triggerEvent(0);
    EXPECT_EQ(first.screen.tracks, std::vector<bool>{true});
    EXPECT_EQ(untaught.screen.tracks, std::vector<bool>{false});
    EXPECT_EQ(third.screen.tracks, std::vector<bool>{false});
    // A closed list does not hear it.
    first.list.triggerEvent(1);
    first.list.triggerEvent(0);
    EXPECT_EQ(first.screen.tracks.size(), 1u);
}

TEST(StoryTaskListTest, TheTutorialRunsToItsFinalStep)
{
    ScriptFixture f(0);
    // The events of the first world's tutorial in the order play raises them;
    // each started step is closed (which raises event 2 in the screen).
    const int32_t events[] = {0, 2, 14, 2, 20, 2, 3, 2, 11, 11, 11, 11, 2, 2, 19, 12, 2, 5, 15, 16};
    std::vector<int32_t> keys;
    bool finalSeen = false;
    for (int32_t event : events) {
        if (!f.list.triggerEvent(event)) continue;
        f.list.update(2000);
        const StoryScript::Closed closed = f.list.closeRunning();
        EXPECT_FALSE(finalSeen) << "a step after the final one";
        finalSeen = closed.final;
        keys.push_back(static_cast<int32_t>(f.screen.presented.back()));
    }
    std::vector<int32_t> expected(17);
    for (int32_t i = 0; i < 17; ++i)
        expected[i] = i;
    EXPECT_EQ(keys, expected);
    EXPECT_TRUE(finalSeen);
    // The single step of a later world is its final one.
    ScriptFixture later(6);
    ASSERT_TRUE(later.list.triggerEvent(17));
    EXPECT_TRUE(later.list.closeRunning().final);
}

TEST(StoryTaskListTest, RandomEventStreamsKeepTheRules)
{
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int32_t> code(-5, 25);
        std::uniform_int_distribution<int32_t> action(0, 3);
        ScriptFixture f(static_cast<int32_t>(seed % 3), seed % 4 != 0, static_cast<int32_t>(seed % 2));
        bool closed = false;
        for (int step = 0; step < 400; ++step) {
            std::vector<int32_t> before;
            for (const StoryTaskRecord& record : f.list.records())
                before.push_back(record.m_state);
            const int32_t last = f.list.lastCompleted() != nullptr ? f.list.lastCompleted()->m_orderKey : -1;
            const int32_t running = f.runningKey();
            bool started = false;
            int32_t event = -100;
            switch (action(random)) {
            case 0:
                f.list.closeRunning();
                break;
            case 1:
                f.list.update(300);
                break;
            default:
                event = code(random);
                started = f.list.triggerEvent(event);
                break;
            }
            if (event == 1) closed = true;
            const std::string what = "seed " + std::to_string(seed) + " step " + std::to_string(step);
            int runningCount = 0;
            for (std::size_t i = 0; i < f.list.records().size(); ++i) {
                const StoryTaskRecord& record = f.list.records()[i];
                runningCount += record.m_state == StoryTaskRecord::k_running ? 1 : 0;
                if (before[i] == StoryTaskRecord::k_done) {
                    EXPECT_EQ(record.m_state, StoryTaskRecord::k_done) << what;
                }
            }
            ASSERT_LE(runningCount, 1) << what;
            EXPECT_EQ(runningCount == 1, f.list.isRecordRunning()) << what;
            if (closed) {
                EXPECT_FALSE(started) << what;
            }
            if (started) {
                EXPECT_EQ(running, -1) << what;
                const StoryTaskRecord* now = f.list.runningRecord();
                ASSERT_NE(now, nullptr) << what;
                EXPECT_EQ(now->m_trigger, event) << what;
                if (event == 2) {
                    EXPECT_EQ(now->m_orderKey, last + 1) << what;
                }
                if (event == 11) {
                    EXPECT_GE(f.list.itemAnimatedCount(), 4) << what;
                }
            }
        }
    }
}

} // namespace
