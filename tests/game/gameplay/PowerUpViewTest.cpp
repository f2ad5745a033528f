// The power-up views over folder 6 on a common gameplay screen whose story
// operations are noted: the badge on its entry, the launch, the four small
// kinds' effects and ends, and a seeded run of firings, cancels, throws and
// view rebuilds in every phase of a power-up's life.
#include "game/gameplay/PowerUpTestSupport.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/GameSession.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/ComboBoostPowerUpView.h"
#include "game/gameplay/FlipPowerUpView.h"
#include "game/gameplay/StunPowerUpView.h"
#include "game/gameplay/ThrowPowerUpView.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace gameplaytest;
using namespace poweruptest;

namespace {

// 40 x 0.9f is 35.99999904 in double precision and truncates to 35; in
// single precision it rounds to 36 and would place the badge at 264.
TEST_F(PowerUpViewTest, TheBadgeSitsOnItsEntryAndFollowsItWhileReady)
{
    PowerUpTestScreen& s = screen();
    ActivePowerUp* record = addPowerUp(k_powerUpStun);
    PowerUpView* view = s.getPowerUpViewByUniqueId(record->uniqueId());
    FRefT<HudPanelEntry> entry = s.hud->entries[2];
    entry->setRect({200, 12, 300, 92});
    view->setWidgetSize(40, 40);
    view->setPanelEntry(entry);
    view->alignWithPanel();
    EXPECT_EQ(view->rect().left, 265);
    EXPECT_EQ(view->rect().top, 12);

    entry->setRect({400, 20, 500, 100});
    s.update(16);
    EXPECT_EQ(view->rect().left, 465);
    EXPECT_EQ(view->rect().top, 20);

    fire(play(), *record);
    EXPECT_FALSE(view->icon()->isVisible());
    entry->setRect({0, 30, 100, 110});
    s.update(16);
    EXPECT_EQ(view->rect().left, 465) << "a fired badge stays where it was";
}

// With one entry the clip still flies and the effect starts; with none the
// launch ends the power-up instead of leaving it fired for good.
TEST_F(PowerUpViewTest, AFiringWithOneEntryOrNoneStillEnds)
{
    PowerUpTestScreen& s = screen();
    s.hud->entries.resize(1);
    ActivePowerUp* stun = addPowerUp(k_powerUpStun);
    launch(*stun);
    EXPECT_TRUE(s.mapLocked);
    play().cancelPowerUp(stun, 0);
    s.update(16);

    s.hud->entries.clear();
    s.calls.clear();
    ActivePowerUp* throwing = addPowerUp(k_powerUpThrow);
    launch(*throwing);
    s.update(16);
    EXPECT_EQ(play().powerUpSlot(0), nullptr);
    EXPECT_TRUE(s.powerUpViews().empty());
    EXPECT_FALSE(called("throw 0"));
}

TEST_F(PowerUpViewTest, ThrowChargesWithThreeSoundsThenThrowsUnlessTheStoryTakesIt)
{
    PowerUpTestScreen& s = screen();
    ActivePowerUp* record = addPowerUp(k_powerUpThrow);
    auto* view = viewOf<ThrowPowerUpView>(record);
    fire(play(), *record);
    EXPECT_EQ(s.calls, (Lines{"event 8"}));
    module.take();
    // The clock starts at the update that starts the charge.
    std::vector<std::pair<int32_t, std::string>> sounds;
    int32_t clock = 0;
    int32_t chargeStart = -1;
    while (clock < 20000 && (chargeStart < 0 || view->isSoundSequenceRunning() || !called("throw 0"))) {
        s.update(10);
        clock += 10;
        for (const std::string& call : module.take()) {
            if (call == "sound launch at 63") continue;
            if (call == "sound charge start at 63") chargeStart = clock;
            sounds.emplace_back(clock, call);
        }
    }
    ASSERT_GE(chargeStart, 0);
    ASSERT_EQ(sounds.size(), 3u);
    EXPECT_EQ(sounds[0].second, "sound charge start at 63");
    EXPECT_EQ(sounds[1], std::make_pair(chargeStart + 510, std::string("sound charge loop at 63")));
    EXPECT_EQ(sounds[2], std::make_pair(chargeStart + 2010, std::string("sound charge end at 63")));
    EXPECT_EQ(s.calls, (Lines{"event 8", "event 9", "throw 0"}));
    // It stays until the player finds an item.
    EXPECT_EQ(play().powerUpSlot(0), record);

    // A story task that takes event 9 keeps the throw from the player.
    play().cancelPowerUp(record, 0);
    s.update(16);
    s.calls.clear();
    s.takeEvents = true;
    ActivePowerUp* second = addPowerUp(k_powerUpThrow);
    launch(*second);
    runUntil([&] { return called("event 9"); }, 20000);
    EXPECT_EQ(s.calls, (Lines{"event 8", "event 9"}));
}

// A view made for a record that fired before it was linked neither launches
// again nor touches a badge it has not made yet; it hides its badge.
TEST_F(PowerUpViewTest, ARebuiltViewOfAFiredRecordDoesNotLaunchAgain)
{
    PowerUpTestScreen& s = screen();
    ActivePowerUp* record = addPowerUp(k_powerUpStun);
    launch(*record);
    s.calls.clear();
    s.rebuildPowerUpViews();
    PowerUpView* view = s.getPowerUpViewByUniqueId(record->uniqueId());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->state(), ActivePowerUp::k_stateUsed);
    EXPECT_FALSE(view->isLaunching());
    EXPECT_FALSE(view->hasLaunched());
    EXPECT_FALSE(view->icon()->isVisible());
    s.update(5000);
    EXPECT_TRUE(s.calls.empty());
    play().cancelPowerUp(record, 0);
    EXPECT_FALSE(s.mapLocked);
}

// Seeded runs of firings, ends, throws and rebuilds at random moments of the
// launch and the effect: the screen's views follow the session's records,
// each view is deleted once, and at the end the map is free and upright.
TEST_F(PowerUpViewTest, RandomFiringsEndsAndRebuildsLeaveNothingBehind)
{
    PowerUpTestScreen& s = screen();
    const int32_t kinds[] = {k_powerUpThrow, k_powerUpComboBoost, k_powerUpStun, k_powerUpFlip};
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        auto pick = [&](int32_t n) { return static_cast<int32_t>(random() % static_cast<uint32_t>(n)); };
        for (int32_t step = 0; step < 60; ++step) {
            std::vector<ActivePowerUp*> records;
            play().copyActivePowerUps(records);
            switch (pick(6)) {
            case 0:
                if (records.size() < 4) addPowerUp(kinds[pick(4)]);
                break;
            case 1:
                for (ActivePowerUp* record : records) {
                    if (record->state() == ActivePowerUp::k_stateCreated) {
                        fire(play(), *record);
                        break;
                    }
                }
                break;
            case 2:
                if (ActivePowerUp* held = play().powerUpSlot(0)) play().cancelPowerUp(held, 0);
                break;
            case 3:
                // The screen's throw ends a Throw as a found item does.
                if (ActivePowerUp* held = play().powerUpSlot(0);
                    held != nullptr && held->kind() == k_powerUpThrow)
                    play().cancelPowerUp(held, 0);
                break;
            case 4:
                s.rebuildPowerUpViews();
                break;
            default:
                s.update(1 + pick(900));
                break;
            }
            std::vector<ActivePowerUp*> live;
            play().copyActivePowerUps(live);
            // Every live record has exactly one view; ended ones keep theirs
            // only until the next update.
            for (ActivePowerUp* record : live) {
                const auto views =
                    std::count_if(s.powerUpViews().begin(), s.powerUpViews().end(),
                                  [&](const PowerUpView* v) { return v->uniqueId() == record->uniqueId(); });
                ASSERT_EQ(views, 1);
            }
        }
        play().cancelAllPowerUps();
        s.update(16);
        EXPECT_TRUE(s.powerUpViews().empty());
        EXPECT_FALSE(s.mapLocked);
        // A rebuilt Flip does not know whether its map turned; every other
        // path turns it back.
        s.flipped = false;
        s.calls.clear();
    }
}

} // namespace
