// The power-up views over folder 6 on a common gameplay screen whose story
// operations are noted: the badge on its entry, the launch, the four small
// kinds' effects and ends, and a seeded run of firings, cancels, throws and
// view rebuilds in every phase of a power-up's life.
#include "game/gameplay/GameplayTestSupport.h"
#include "support/ScreenFiles.h"

#include "asset/FRawDataModule.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameSession.h"
#include "game/core/PowerUpKind.h"
#include "game/core/ScreenKind.h"
#include "game/gameplay/ComboBoostPowerUpView.h"
#include "game/gameplay/FlipPowerUpView.h"
#include "game/gameplay/StunPowerUpView.h"
#include "game/gameplay/ThrowPowerUpView.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <fstream>
#include <random>

using namespace gameplaytest;

namespace {

// A HUD panel of bare entries.
class PowerUpTestHud : public FContainer, public HudEntryPanel
{
public:
    explicit PowerUpTestHud(FContainer* parent) : FContainer(parent, true) {}

    HudPanelEntry* createEntry(SearchableObject&, SearchableSprite&, const FRefT<FImage>&,
                               const FRefT<FImage>&, int32_t, const FRefT<FString>&) override
    {
        return nullptr;
    }
    int32_t entryCount() const override { return static_cast<int32_t>(entries.size()); }
    FRefT<HudPanelEntry> entryAt(int32_t index) const override
    {
        return entries.at(static_cast<std::size_t>(index));
    }
    void scrollToEntry(HudPanelEntry&) override {}
    FPointI panelPosition() override { return getAbsolutePosition(); }

    void addEntries(int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            entries.push_back(makeRef(engineNew<HudPanelEntry>(k_memObject, this)));
            entries.back()->setRect({100 * i, 0, 100 * i + 100, 80});
        }
    }

    std::deque<FRefT<HudPanelEntry>> entries;
};

// Notes the story operations the views call; the stun locks the map until
// it is lifted, the flip turns the map, the combo steps stop at 9.
class PowerUpTestScreen : public TestCommonScreen
{
public:
    PowerUpTestScreen()
    {
        hud = makeRef(engineNew<PowerUpTestHud>(k_memObject, this));
        hud->setWidgetRect({0, 500, 800, 580});
    }

    HudEntryPanel* getPlayerPanel(int32_t) override { return hud.get(); }
    int32_t getPanelEntryCount(int32_t) const override { return hud->entryCount(); }
    void playWrongHitPenalty(std::int32_t player) override
    {
        calls.push_back("penalty " + std::to_string(player));
        mapLocked = true;
    }
    void endWrongHitPenalty(int32_t player) override
    {
        calls.push_back("penalty end " + std::to_string(player));
        mapLocked = false;
    }
    void throwAtPlayer(int32_t player) override { calls.push_back("throw " + std::to_string(player)); }
    void toggleFlip(int32_t player) override
    {
        calls.push_back("flip " + std::to_string(player));
        flipped = !flipped;
    }
    void addComboStep() override
    {
        calls.push_back("combo");
        combo = std::min(combo + 1, 9);
    }
    bool raiseStoryEvent(std::int32_t event) override
    {
        calls.push_back("event " + std::to_string(event));
        return takeEvents;
    }

    FRefT<PowerUpTestHud> hud;
    Lines calls;
    bool mapLocked = false;
    bool flipped = false;
    bool takeEvents = false;
    int32_t combo = 0;

protected:
    // The screen's own views, not the test views of the base.
    PowerUpView* createPowerUpView(int32_t kind, HudEntryPanel* panel) override
    {
        return CommonUIScreen::createPowerUpView(kind, panel);
    }
};

// The first world's folder, which the screen binds for its scene.
struct PowerUpWorldFolder
{
    explicit PowerUpWorldFolder(const std::filesystem::path& scratch)
    {
        writeScreenFiles(WORLD_MANIFESTS "/036.lua", scratch);
        std::ofstream(scratch / "012" / "006644_0.dat", std::ios::binary)
            << "<root><World0><Anims count=\"0\"></Anims></World0></root>";
    }
};

class PowerUpViewTest : public testing::Test, protected HostedScreen<PowerUpTestScreen>
{
protected:
    PowerUpWorldFolder worldFolder{scratch.path()};
    FRawDataModule rawData;

    PowerUpViewTest()
    {
        module.run();
        module.initSaveData();
        module.getGameSession()->setCurrentWorld(0, nullptr);
        module.showScreen(k_storyModeScreen);
        PowerUpTestScreen& s = screen();
        s.hud->addEntries(3);
        module.soundNames = {{"launch", s.m_launchSound.get()},
                             {"charge start", s.m_chargeStartSound.get()},
                             {"charge loop", s.m_chargeLoopSound.get()},
                             {"charge end", s.m_chargeEndSound.get()}};
        module.take();
    }

    GameSession& play() { return *module.getGameSession(); }

    // A record of the kind for player 0 with its view, fired as a found item
    // fires it.
    ActivePowerUp* addPowerUp(int32_t kind)
    {
        ActivePowerUp* record = play().addActivePowerUp(kind);
        screen().addIndividualPowerUpView(*record);
        return record;
    }
    static void fire(GameSession& session, ActivePowerUp& record)
    {
        record.setState(ActivePowerUp::k_stateUsed);
        session.setPowerUpSlot(&record, false);
    }
    // Runs the screen in steps of `step` ms until `done` holds, at most
    // `limit` ms; the time it took.
    template <class Done> int32_t runUntil(Done done, int32_t limit, int32_t step = 5)
    {
        int32_t ms = 0;
        while (!done() && ms < limit) {
            screen().update(step);
            ms += step;
        }
        return ms;
    }
    template <class View> View* viewOf(const ActivePowerUp* record)
    {
        return dynamic_cast<View*>(screen().getPowerUpViewByUniqueId(record->uniqueId()));
    }
    bool called(const std::string& call) const
    {
        const Lines& calls = const_cast<PowerUpViewTest*>(this)->screen().calls;
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
    // Fires the record and runs its launch to the start of its effect.
    int32_t launch(ActivePowerUp& record)
    {
        const int32_t id = record.uniqueId();
        fire(play(), record);
        // Looked up each frame: a launch that ends its power-up deletes the view.
        return runUntil(
            [&] {
                PowerUpView* view = screen().getPowerUpViewByUniqueId(id);
                return view == nullptr || !view->isLaunching();
            },
            20000);
    }
};

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
