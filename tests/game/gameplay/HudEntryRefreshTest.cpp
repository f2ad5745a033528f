// The HUD-entry refresh: which entries of the strip are in play under each
// of the three rules (a vignette takes two of the five places), the hint
// target each picks, the tutorial's first five-entry strip, the single
// character tasks and the interrupt, and a hint target released with its
// sprite.
#include "game/widgets/HudTestSupport.h"

#include "game/gameplay/HudEntryRefresh.h"
#include "game/gameplay/HudEntryRefreshHost.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/HudPanelHost.h"
#include "game/widgets/SearchableSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace {

// The entries' host with the strip's own requests answered plainly.
class RefreshStripScreen : public hudtest::HudScreen, public HudPanelHost
{
public:
    bool isPanelPassThrough() const override { return false; }
    bool raiseStoryEvent(int32_t) override { return false; }
    void refreshEntriesOnSelection(int32_t) override {}
    void refreshEntriesNoSelection(int32_t) override {}
    void refreshEntriesWithHint(int32_t) override {}
    void onBonusItemDone() override {}
    FWidget* firstPowerUpView() override { return nullptr; }
    FRef scrollTickSound() override { return {}; }
    FRefT<FImage> sweepSparkleImage() override { return {}; }
};

// The story screen as the refresh sees it: a real strip on an entry host,
// the level's state chosen by the test and the calls it gets recorded.
class RefreshLevel : public HudEntryRefreshHost
{
public:
    explicit RefreshLevel(const std::string& layout, int32_t taskType = 6, int32_t questType = 1)
        : session(sessionWithTask(taskType)), taskType(taskType), questType(questType)
    {
        play.session = session.get();
        panel = makeRef(engineNew<HudPanel>(k_memObject, &screen, true));
        panel->setWidgetRect({100, 480, 700, 590});
        panel->setUp();
        screen.panel = panel.get();
        scene = makeRef(engineNew<FContainer>(k_memObject, &screen, true));
        for (char kind : layout)
            add(kind == 'V' ? 1 : 0);
    }
    ~RefreshLevel() override
    {
        panel = FRefT<HudPanel>();
        sprites.clear();
    }

    void add(int32_t kind)
    {
        SearchableObject& item = items.emplace_back();
        item.setState(SearchableObject::k_stateListed);
        item.setPlayer(0);
        item.setKind(kind);
        auto sprite = makeRef(engineNew<SearchableSprite>(k_memObject, scene.get(), true));
        sprite->setItem(&item);
        sprite->setImage(hudtest::sizedPicture(30, 30), true);
        sprites.push_back(sprite);
        panel->createEntry(item, *sprite, hudtest::sizedPicture(64, 64), {}, 0, {});
    }
    // The active entries as a string of 0 and 1 by index.
    std::string active() const
    {
        std::string out;
        for (int32_t k = 0; k < panel->entryCount(); ++k)
            out += panel->entryAt(k)->isActive() ? '1' : '0';
        return out;
    }
    // Whose entry the hint target's sprite is, -1 without one.
    int32_t targetEntry(HudEntryRefresh& refresh) const
    {
        SearchableSprite* target = refresh.hintTarget();
        for (std::size_t i = 0; i < sprites.size(); ++i)
            if (sprites[i].get() == target) return static_cast<int32_t>(i);
        return -1;
    }

    HudPanel* refreshPanel() override { return panel.get(); }
    bool refreshPanelFlight() const override { return panelFlight; }
    bool refreshInterruptRunning() const override { return interruptRunning; }
    int32_t refreshTaskType() const override { return taskType; }
    int32_t refreshQuestType() const override { return questType; }
    bool holdsSprite(const SearchableSprite* sprite) override
    {
        return std::any_of(sprites.begin(), sprites.end(), [&](const auto& s) { return s.get() == sprite; });
    }
    void placeHintOnSprite(SearchableSprite&) override { calls.push_back("hint"); }
    void cancelReminderVoice() override { calls.push_back("cancelReminder"); }

    RecordingPlayServices play;
    std::unique_ptr<GameSession> session;
    RefreshStripScreen screen;
    FRefT<HudPanel> panel;
    FRefT<FContainer> scene;
    std::deque<SearchableObject> items;
    std::vector<FRefT<SearchableSprite>> sprites;
    bool panelFlight = true;
    bool interruptRunning = false;
    int32_t taskType;
    int32_t questType;
    std::vector<std::string> calls;
};

struct RefreshCase
{
    const char* layout;
    HudEntryRefresh::Rule rule;
    int32_t visible;
    int32_t vignettes;
    const char* active;
    int32_t target; // hint target's entry after the rule ran, -1 for none
};

TEST(HudEntryRefreshTest, EachRuleCountsVignettesAsTwoPlacesAndActivatesTheFirstEntries)
{
    using R = HudEntryRefresh;
    const RefreshCase cases[] = {
        {"PPPPP", R::k_withHint, 5, 0, "11111", 2},
        {"VVPPP", R::k_withHint, 3, 2, "11100", 1},
        {"VVPPP", R::k_noSelection, 4, 1, "11110", -1},
        {"VVPPP", R::k_onSelection, 4, 1, "11110", -1},
        {"VPVP", R::k_noSelection, 4, 2, "1111", -1},
        {"VPVP", R::k_onSelection, 2, 2, "1100", -1},
        {"PPPPV", R::k_withHint, 5, 1, "11111", 2},
        {"PPPPPPP", R::k_withHint, 5, 0, "1111100", 2},
        {"P", R::k_withHint, 1, 0, "1", 0},
        {"PPV", R::k_withHint, 3, 1, "111", 1},
        {"VVV", R::k_onSelection, 2, 2, "110", -1},
    };
    for (const RefreshCase& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + " rule " + std::to_string(c.rule));
        RefreshLevel level(c.layout);
        const HudEntryRefresh::Count count = HudEntryRefresh::countEntries(c.rule, *level.panel);
        EXPECT_EQ(count.visible, c.visible);
        EXPECT_EQ(count.vignettes, c.vignettes);
        HudEntryRefresh refresh(level);
        refresh.refresh(c.rule);
        EXPECT_EQ(level.active(), c.active);
        EXPECT_EQ(level.targetEntry(refresh), c.target);
    }
}

TEST(HudEntryRefreshTest, AFullStripIsNotCentredAndAShortOneIs)
{
    RefreshLevel full("PPPPP");
    HudEntryRefresh(full).refresh(HudEntryRefresh::k_withHint);
    EXPECT_FALSE(full.panel->isCentring());

    RefreshLevel vignettes("VVPPP");
    HudEntryRefresh(vignettes).refresh(HudEntryRefresh::k_withHint);
    EXPECT_FALSE(vignettes.panel->isCentring()); // 3 + 2 fills the strip

    RefreshLevel shortStrip("PP");
    HudEntryRefresh(shortStrip).refresh(HudEntryRefresh::k_noSelection);
    EXPECT_TRUE(shortStrip.panel->isCentring());
}

TEST(HudEntryRefreshTest, TheTutorialsFirstFullStripKeepsTheTargetAndTheNextCancelsTheReminderOnce)
{
    RefreshLevel level("PPPPP", 6, 6);
    HudEntryRefresh refresh(level);
    refresh.setHintTarget(level.sprites[4].get());
    level.calls.clear();
    refresh.refresh(HudEntryRefresh::k_withHint);
    EXPECT_EQ(level.targetEntry(refresh), 4);
    EXPECT_TRUE(refresh.isTutorialFiveShown());
    EXPECT_TRUE(refresh.isReminderCancelPending());
    EXPECT_TRUE(level.calls.empty());

    refresh.refresh(HudEntryRefresh::k_withHint);
    EXPECT_EQ(level.targetEntry(refresh), 2);
    EXPECT_FALSE(refresh.isReminderCancelPending());
    EXPECT_EQ(std::count(level.calls.begin(), level.calls.end(), "cancelReminder"), 1);
    refresh.refresh(HudEntryRefresh::k_withHint);
    EXPECT_EQ(std::count(level.calls.begin(), level.calls.end(), "cancelReminder"), 1);
    EXPECT_TRUE(refresh.isTutorialFiveShown());

    // Outside the tutorial quest the first full strip targets entry 2 at once.
    RefreshLevel quest("PPPPP", 6, 1);
    HudEntryRefresh other(quest);
    other.refresh(HudEntryRefresh::k_withHint);
    EXPECT_EQ(quest.targetEntry(other), 2);
    EXPECT_FALSE(other.isTutorialFiveShown());
}

TEST(HudEntryRefreshTest, OneCharacterTasksAndTheInterruptKeepTheirOneEntry)
{
    for (int32_t task : {0, 1, 2, 3, 4, 7}) {
        SCOPED_TRACE(task);
        RefreshLevel level("PPP", task);
        HudEntryRefresh refresh(level);
        level.panel->entryAt(0)->setActive(false);
        level.panel->entryAt(1)->setActive(false);
        refresh.refresh(HudEntryRefresh::k_withHint);
        // Entry 0 on, the others untouched.
        EXPECT_EQ(level.active(), "101");
        EXPECT_EQ(level.targetEntry(refresh), 0);
    }
    RefreshLevel level("PPPP");
    level.interruptRunning = true;
    HudEntryRefresh refresh(level);
    for (auto rule :
         {HudEntryRefresh::k_noSelection, HudEntryRefresh::k_onSelection, HudEntryRefresh::k_withHint}) {
        level.panel->entryAt(0)->setActive(true);
        refresh.refresh(rule);
        EXPECT_EQ(level.active(), "0001");
    }
    EXPECT_EQ(level.targetEntry(refresh), 3);
}

TEST(HudEntryRefreshTest, WithoutPanelFlightOrEntriesNothingChanges)
{
    RefreshLevel level("PPP");
    level.panelFlight = false;
    for (int32_t k = 0; k < 3; ++k)
        level.panel->entryAt(k)->setActive(false);
    HudEntryRefresh refresh(level);
    refresh.refresh(HudEntryRefresh::k_withHint);
    refresh.refresh(HudEntryRefresh::k_noSelection);
    EXPECT_EQ(level.active(), "000");
    refresh.setHintTarget(level.sprites[0].get());
    EXPECT_EQ(refresh.hintTarget(), nullptr);
    // The on-selection rule has no panel-flight guard.
    refresh.refresh(HudEntryRefresh::k_onSelection);
    EXPECT_EQ(level.active(), "111");

    // An empty strip: no entry is read.
    RefreshLevel empty("");
    HudEntryRefresh none(empty);
    for (auto rule :
         {HudEntryRefresh::k_noSelection, HudEntryRefresh::k_onSelection, HudEntryRefresh::k_withHint})
        none.refresh(rule);
    EXPECT_EQ(none.hintTarget(), nullptr);
    EXPECT_TRUE(empty.calls.empty());
}

TEST(HudEntryRefreshTest, TheHintTargetSelectsItsEntryAndIsDroppedWhenItsSpriteGoes)
{
    RefreshLevel level("PPP");
    HudEntryRefresh refresh(level);
    refresh.setHintTarget(nullptr);
    EXPECT_EQ(refresh.hintTarget(), nullptr);
    refresh.setHintTarget(level.sprites[1].get());
    EXPECT_EQ(level.calls, (std::vector<std::string>{"hint"}));
    EXPECT_EQ(refresh.hintTarget(), level.sprites[1].get());
    EXPECT_TRUE(level.panel->entryAt(1)->isSelected());
    EXPECT_FALSE(level.panel->entryAt(0)->isSelected());

    // A sprite the level does not hold never becomes the target.
    auto stranger = makeRef(engineNew<SearchableSprite>(k_memObject, level.scene.get(), true));
    refresh.setHintTarget(stranger.get());
    EXPECT_EQ(refresh.hintTarget(), level.sprites[1].get());

    // The level lets the sprites go (a new task): the target goes with them.
    level.sprites.clear();
    EXPECT_EQ(refresh.hintTarget(), nullptr);
}

} // namespace
