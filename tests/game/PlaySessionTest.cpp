#include "LevelFixture.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/HintCounter.h"
#include "game/core/StarMarker.h"

#include <gtest/gtest.h>

namespace {

using namespace GameDataText;

TEST(PlaySessionTest, WrongClicksTripThePenaltyWithinTheWindowOnly)
{
    // Steps: "0"/"1" a wrong click of that player, "uN" a frame of N ms, "off"
    // the penalty switched off.
    struct Case
    {
        const char* name;
        std::vector<std::string> steps;
        std::vector<std::string> calls;
        std::int32_t count0;
        std::int32_t count1;
    };
    const Case cases[] = {
        {"fourth click", {"0", "0", "1", "0", "0"}, {"event 4", "penalty 0"}, 0, 1},
        {"window ran out", {"0", "u100", "0", "0", "u4901", "0"}, {}, 1, 0},
        {"timer at the limit", {"0", "u5000", "0", "0", "0"}, {}, 4, 0},
        {"limit passed later", {"0", "u5000", "0", "0", "0", "u1"}, {}, 0, 0},
        {"penalty off", {"off", "0", "0", "0", "0", "0"}, {}, 5, 0},
        {"players apart", {"1", "1", "1", "0", "1"}, {"event 4", "penalty 1"}, 1, 0},
    };
    for (const Case& c : cases) {
        QuestText findZibbo;
        findZibbo.tasks = {0};
        LevelFixture level({findZibbo}, {});
        level.start(1);
        level.screen.calls.clear();
        for (const std::string& step : c.steps) {
            if (step == "off") {
                level.session.setPenaltyEnabled(false);
            } else if (step[0] == 'u') {
                level.session.update(std::stoi(step.substr(1)));
            } else {
                level.session.registerWrongHit(std::stoi(step));
            }
        }
        std::vector<std::string> penalties;
        for (const std::string& call : level.screen.calls) {
            if (call.rfind("event", 0) == 0 || call.rfind("penalty", 0) == 0) {
                penalties.push_back(call);
            }
        }
        EXPECT_EQ(penalties, c.calls) << c.name;
        EXPECT_EQ(level.session.wrongClickCount(0), c.count0) << c.name;
        EXPECT_EQ(level.session.wrongClickCount(1), c.count1) << c.name;
    }
}

TEST(PlaySessionTest, AFindGivesBackTheTimeRewardAndRunsTheCombo)
{
    QuestText q;
    q.tasks = {0};
    q.timeReward = 0.05;
    q.timerLen = 300000;
    LevelFixture level({q}, {});
    level.start(1);
    LevelTimer& timer = *level.session.getLevelTimer();
    timer.started = true;
    timer.setElapsed(20000);
    timer.onItemFound();
    EXPECT_EQ(timer.elapsed(), 5000);
    EXPECT_TRUE(timer.isComboActive());
    timer.onItemFound();
    EXPECT_EQ(timer.elapsed(), 0); // never below 0

    timer.update(1999);
    EXPECT_EQ(timer.elapsed(), 1999);
    EXPECT_FALSE(timer.isComboWarningShown());
    timer.update(1); // 1000 ms of the 3000 ms combo left
    EXPECT_TRUE(timer.isComboWarningShown());
    timer.update(1001);
    EXPECT_FALSE(timer.isComboActive());
    EXPECT_EQ(timer.comboLevel(), 1);

    // A paused clock stands still until the pause ends.
    timer.pauseFor(500);
    const std::int32_t before = timer.elapsed();
    timer.update(400);
    EXPECT_EQ(timer.elapsed(), before);
    timer.update(100); // the pause ends first, so this frame already counts
    EXPECT_EQ(timer.elapsed(), before + 100);

    // A quest without a pause time never stops the clock.
    timer.pauseFor(0);
    timer.update(100);
    EXPECT_TRUE(timer.resumed);
    EXPECT_EQ(timer.elapsed(), before + 200);
}

TEST(PlaySessionTest, StarMarksWarnPassAndComeBack)
{
    struct Case
    {
        double f;
        std::int32_t state;
        bool warned, passed, regained;
    };
    // One mark at 0.5 fed these fractions in order.
    const Case steps[] = {
        {0.10, 0, false, false, false}, {0.484, 0, false, false, false}, {0.49, 1, true, false, false},
        {0.495, 1, true, false, false}, {0.50, 2, true, true, false},    {0.49, 2, true, true, false},
        {0.40, 0, true, true, true},
    };
    StarMarker mark(0.5);
    for (const Case& s : steps) {
        mark.update(s.f);
        EXPECT_EQ(mark.state(), s.state) << s.f;
        EXPECT_EQ(mark.warned, s.warned) << s.f;
        EXPECT_EQ(mark.passed, s.passed) << s.f;
        EXPECT_EQ(mark.regained, s.regained) << s.f;
    }
    mark.setState(StarMarker::k_frozen);
    mark.update(0.9);
    EXPECT_EQ(mark.state(), StarMarker::k_frozen);

    QuestText q;
    q.tasks = {0};
    q.stars = {25, 50, 75};
    q.timerLen = 100000;
    LevelFixture level({q}, {});
    level.start(1);
    LevelTimer& timer = *level.session.getLevelTimer();
    timer.started = true;
    EXPECT_EQ(timer.countStarsLeft(), 3);
    timer.update(49000);
    timer.update(1000); // the marks see 49 %: the 50 % mark warns
    EXPECT_EQ(timer.stars()[1]->state(), StarMarker::k_warning);
    EXPECT_EQ(timer.countStarsLeft(), 2);
}

TEST(PlaySessionTest, HintsRechargeEveryThirtySecondsAndStopAtNinetyEight)
{
    HintCounter hints(nullptr);
    hints.recharging = true;
    hints.hints = 96;
    hints.update(30000);
    EXPECT_EQ(hints.hints, 96);
    hints.update(1);
    EXPECT_EQ(hints.hints, 97);
    EXPECT_EQ(hints.rechargeTimer, 1);
    for (int i = 0; i < 3; ++i) {
        hints.update(30000);
    }
    EXPECT_EQ(hints.hints, 98); // a full counter stays full

    hints.justUsed = true;
    hints.update(500);
    EXPECT_TRUE(hints.justUsed);
    hints.update(1);
    EXPECT_FALSE(hints.justUsed);
    EXPECT_EQ(hints.useTimer, 0);
}

struct StateLog
{
    void record(ActivePowerUp& powerUp) { states.push_back(powerUp.state()); }
    std::vector<std::int32_t> states;
};

TEST(PlaySessionTest, PowerUpSlotsEndWhatTheyReplace)
{
    GameSession session(nullptr, {});
    ActivePowerUp* first = session.addActivePowerUp(4);
    ActivePowerUp* second = session.addActivePowerUp(5);
    EXPECT_EQ(second->uniqueId(), first->uniqueId() + 1);
    StateLog log;
    auto* callback = makeMemberDelegate(&log, &StateLog::record);
    FRef listener = StateListeners<ActivePowerUp>::makeListener(callback);
    engineFree(callback);
    first->listeners().add(listener);

    session.setPowerUpSlot(first, false);
    session.setPowerUpSlot(first, false); // placed again: stays
    EXPECT_EQ(session.powerUpSlot(0), first);
    EXPECT_TRUE(log.states.empty());
    session.setPowerUpSlot(second, false);
    EXPECT_EQ(log.states, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(session.powerUpSlot(0), second);
    EXPECT_EQ(second->state(), ActivePowerUp::k_stateCreated);
    std::vector<ActivePowerUp*> listed;
    session.copyActivePowerUps(listed);
    EXPECT_EQ(listed, (std::vector<ActivePowerUp*>{second}));

    // A record no longer listed only clears the slot.
    second->setSlot(1);
    session.setPowerUpSlot(second, false);
    session.cancelPowerUp(first, 1);
    EXPECT_EQ(session.powerUpSlot(1), nullptr);
    session.copyActivePowerUps(listed);
    EXPECT_EQ(listed.size(), 1u);
}

TEST(PlaySessionTest, EndingPowerUpsClearsTheLinkOfTheirHidingObject)
{
    QuestText q;
    q.tasks = {6, 6};
    q.initialPowerUps = {0, 1, 2};
    LevelFixture level({q}, {{"PICTURES", numbered("World01Picture", 8)},
                             {"PICTUREMULTIPLES", numbered("World01Picture", 2, 3)},
                             {"VIGNETTES", numbered("World01Vignette", 2)}});
    SearchListGenerator& generator = level.start(1, 5);
    std::vector<SearchableObject*> hiding;
    for (SearchableObject* item : generator.items()) {
        if (item->linkedPowerUp() != nullptr) {
            EXPECT_EQ(item->linkedPowerUp()->linkedItem(), item);
            hiding.push_back(item);
        }
    }
    ASSERT_EQ(hiding.size(), 3u);
    // A new task drops every power-up; the objects must not keep pointers
    // to the deleted records, or a later find writes to freed memory.
    level.session.dropActivePowerUps();
    for (SearchableObject* item : hiding) {
        EXPECT_EQ(item->linkedPowerUp(), nullptr);
        item->markFound(0);
    }
}

TEST(PlaySessionTest, FindingAHidingObjectPlacesItsPowerUp)
{
    QuestText q;
    q.initialPowerUps = {2};
    LevelFixture level({q}, {{"PICTURES", numbered("World01Picture", 6)},
                             {"PICTUREMULTIPLES", numbered("World01Picture", 2, 3)},
                             {"VIGNETTES", numbered("World01Vignette", 2)}});
    SearchListGenerator& generator = level.start(1, 9);
    SearchableObject* hiding = nullptr;
    for (SearchableObject* item : generator.items()) {
        hiding = item->linkedPowerUp() != nullptr ? item : hiding;
    }
    ASSERT_NE(hiding, nullptr);
    ActivePowerUp* powerUp = hiding->linkedPowerUp();
    hiding->markFound(0);
    EXPECT_EQ(hiding->linkedPowerUp(), nullptr);
    EXPECT_EQ(powerUp->linkedItem(), nullptr);
    EXPECT_EQ(powerUp->state(), ActivePowerUp::k_stateUsed);
    EXPECT_EQ(powerUp->previousState(), ActivePowerUp::k_stateCreated);
    EXPECT_EQ(level.session.powerUpSlot(0), powerUp);
}

TEST(PlaySessionTest, QuestsAreSelectedByTypeInTheCurrentWorld)
{
    QuestText a;
    a.id = 2;
    a.type = 1;
    QuestText b;
    b.id = 3;
    b.type = 3;
    LevelFixture level({a, b}, {});
    level.session.selectQuest(3);
    EXPECT_EQ(level.session.currentQuest()->questId(), 3);
    level.session.selectQuest(5); // none: the current quest stays
    EXPECT_EQ(level.session.currentQuest()->questId(), 3);
    level.session.selectQuest(6);
    EXPECT_EQ(level.session.currentQuest(), &level.session.structure().specialQuest());
    EXPECT_EQ(level.session.findQuestByKey(2)->questType(), 1);
    EXPECT_EQ(level.session.findQuestByKey(9), nullptr);
    EXPECT_FALSE(level.session.getQuestFlagOfWorld(1));
    EXPECT_THROW(level.session.getWorldFlag(12), std::out_of_range);
    level.session.setMode(1);
    level.session.startLevel(&level.screen);
    EXPECT_EQ(level.session.getLevelTimer(), nullptr);
}

} // namespace
