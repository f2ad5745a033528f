// The searchable sprite: the 300 ms click rule in frame time, the gates of
// press and release, the find handed on by task type, the item-state
// listener and the hint sprite's own polling.
#include "PlayFieldTestSupport.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/core/SearchListGenerator.h"
#include "game/widgets/HintSearchableSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

constexpr FPointI k_scene{400, 300};
constexpr FRectI k_itemRect{100, 50, 140, 90};
constexpr FPointI k_onItem{120, 70};
constexpr int32_t k_leftButton = 8;

class SearchableSpriteTest : public ::testing::Test
{
public:
    void build(int taskType, bool hint = false, int questType = 1)
    {
        session = sessionWithTask(taskType, questType);
        services.session = session.get();
        services.paused = false;
        screen.map = makeRef(engineNew<MapView>(k_memObject, &screen, true));
        screen.map->setWidgetRect({0, 0, 640, 480});
        item.setState(SearchableObject::k_stateListed);
        item.setPlayer(0);
        FContainer* content = screen.map->content();
        if (hint) {
            sprite = makeRef<SearchableSprite>(engineNew<HintSearchableSprite>(k_memObject, content, true));
        } else {
            sprite = makeRef(engineNew<SearchableSprite>(k_memObject, content, true));
        }
        sprite->setItem(&item);
        sprite->setImage(itemPicture(k_scene, k_itemRect), true);
        sprite->prepare();
        if (!hint) {
            item.listeners().add(sprite->stateListener());
            item.listeners().notify(item);
        }
    }

    // A press, `heldMs` of frames, a release, all on the item.
    void click(int32_t heldMs)
    {
        sprite->onPointerDown(0, k_leftButton, k_onItem);
        sprite->update(heldMs);
        sprite->onPointerUp(0, k_leftButton, k_onItem);
    }

    ActivePowerUp* placePowerUp(int32_t kind, int32_t slot)
    {
        ActivePowerUp* powerUp = session->addActivePowerUp(kind);
        powerUp->setSlot(slot);
        session->setPowerUpSlot(powerUp, true);
        return powerUp;
    }

    RecordingPlayServices services;
    std::unique_ptr<GameSession> session;
    PlayScreen screen;
    FRefT<SearchableSprite> sprite;
    SearchableObject item;
};

TEST_F(SearchableSpriteTest, AClickFindsWithinThreeHundredMillisecondsOfFrameTime)
{
    struct Case
    {
        const char* name;
        std::vector<int32_t> frames;
        bool found;
    };
    const Case cases[] = {
        {"300 ms in one frame", {300}, true},
        {"300 ms over frames", {100, 100, 100}, true},
        {"301 ms", {300, 1}, false},
        {"press and release within a frame", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        build(6);
        sprite->onPointerDown(0, k_leftButton, k_onItem);
        EXPECT_TRUE(sprite->isPressing());
        for (int32_t ms : c.frames)
            sprite->update(ms);
        sprite->onPointerUp(0, k_leftButton, k_onItem);
        EXPECT_EQ(sprite->isFound(), c.found);
        EXPECT_EQ(sprite->isHitTestDisabled(), c.found);
        EXPECT_FALSE(sprite->isPressing());
        EXPECT_EQ(sprite->pressTime(), 0);
    }
}

TEST_F(SearchableSpriteTest, AReleaseWithoutItsOwnPressIsJudgedWithNoPressTime)
{
    build(6);
    sprite->update(5000); // not pressing: nothing counts
    sprite->onPointerUp(0, k_leftButton, k_onItem);
    EXPECT_TRUE(sprite->isFound());
}

TEST_F(SearchableSpriteTest, APausedReleaseLeavesThePressOpenAndTheNextReleaseJudgesTheWholeTime)
{
    build(6);
    sprite->onPointerDown(0, k_leftButton, k_onItem);
    sprite->update(200);
    services.paused = true;
    sprite->onPointerUp(0, k_leftButton, k_onItem);
    EXPECT_TRUE(sprite->isPressing());
    EXPECT_EQ(sprite->pressTime(), 200);
    sprite->update(101);
    services.paused = false;
    sprite->onPointerUp(0, k_leftButton, k_onItem);
    EXPECT_FALSE(sprite->isFound());
    EXPECT_EQ(sprite->pressTime(), 0);
}

TEST_F(SearchableSpriteTest, GatesOfPressAndRelease)
{
    struct Case
    {
        const char* name;
        std::function<void(SearchableSpriteTest&)> arrange;
        bool pressTaken;
        bool found;
    };
    const Case cases[] = {
        {"plain", [](SearchableSpriteTest&) {}, true, true},
        {"alpha 254", [](SearchableSpriteTest& t) { t.sprite->setWidgetAlpha(254); }, false, false},
        {"hit test disabled", [](SearchableSpriteTest& t) { t.sprite->setHitTestDisabled(true); }, false,
         false},
        {"hidden: release still finds", [](SearchableSpriteTest& t) { t.sprite->setVisible(false); }, false,
         true},
        {"item waiting", [](SearchableSpriteTest& t) { t.item.setState(SearchableObject::k_stateMarked); },
         false, false},
        {"game paused", [](SearchableSpriteTest& t) { t.services.paused = true; }, false, false},
        {"cover in the other player's slot", [](SearchableSpriteTest& t) { t.placePowerUp(4, 1); }, false,
         false},
        {"cover in the owner's own slot", [](SearchableSpriteTest& t) { t.placePowerUp(4, 0); }, true, true},
        {"cover of player 1 against an item of player 1",
         [](SearchableSpriteTest& t) {
             t.item.setPlayer(1);
             t.placePowerUp(4, 0);
         },
         false, false},
        {"another kind in the other slot", [](SearchableSpriteTest& t) { t.placePowerUp(3, 1); }, true, true},
        {"locked", [](SearchableSpriteTest& t) { t.sprite->setLocked(true); }, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        item = SearchableObject();
        build(6);
        c.arrange(*this);
        sprite->onPointerDown(0, k_leftButton, k_onItem);
        EXPECT_EQ(sprite->isPressing(), c.pressTaken);
        sprite->onPointerUp(0, k_leftButton, k_onItem);
        EXPECT_EQ(sprite->isFound(), c.found);
    }
}

TEST_F(SearchableSpriteTest, TheAlphaOfThePictureDecidesTheHit)
{
    build(6);
    EXPECT_EQ(sprite->alphaThreshold(), 1);
    EXPECT_EQ(sprite->mapRect(), k_itemRect);
    EXPECT_TRUE(sprite->containsPoint(k_onItem));
    EXPECT_TRUE(sprite->containsPoint({100, 50}));
    EXPECT_FALSE(sprite->containsPoint({99, 50}));
    EXPECT_FALSE(sprite->containsPoint({140, 70}));

    // A stored pixel of alpha 1 hits at threshold 1; alpha 0 does not.
    sprite->setImage(itemPicture(k_scene, k_itemRect, 1), true);
    EXPECT_TRUE(sprite->containsPoint(k_onItem));
    sprite->setImage(itemPicture(k_scene, k_itemRect, 0), true);
    EXPECT_FALSE(sprite->containsPoint(k_onItem));
}

TEST_F(SearchableSpriteTest, TheFindGoesToTheScreenOrTheMapViewByTaskType)
{
    struct Case
    {
        int taskType;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {0, {"foundEffect 0 0", "reaction"}},
        {3, {"foundEffect 0 3", "reaction"}},
        {4, {"staged", "delayedReaction"}},
        {5, {"foundEffect 0 5", "reaction"}},
        // The map view reports the find; the fly target is the entry's centre
        // on the screen: (600 + 10 + 20, 100 + 20 + 20).
        {6, {"fly 0 630,140", "reported 0", "reaction"}},
        {8, {"fly 0 630,140", "reported 0", "lostPhoto", "reaction"}},
        {9, {"fly 0 630,140", "reported 0", "reaction"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.taskType);
        screen.calls.clear();
        services.sounds.clear();
        item = SearchableObject();
        build(c.taskType);
        click(0);
        EXPECT_EQ(screen.calls, c.calls);
        EXPECT_EQ(services.sounds, (std::vector<RecordingPlayServices::Sound>{{screen.found.get(), 63}}));
        EXPECT_TRUE(screen.map->isFoundInClick());
        EXPECT_EQ(screen.map->idleTimer(), MapView::k_idleEmitterMs);
    }
}

TEST_F(SearchableSpriteTest, LevelsThatNeedAnActiveEntryRefuseFindsWithoutOne)
{
    struct Case
    {
        const char* name;
        bool needsActiveEntry;
        bool entryActive;
        int32_t owner;
        bool found;
        bool scrolled;
    };
    const Case cases[] = {
        {"active entry", true, true, 0, true, false},
        {"inactive entry", true, false, 0, false, false},
        {"no entry, owner 2", true, true, 2, true, false},
        {"free level, inactive entry", false, false, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen.calls.clear();
        screen.panels[0] = RecordingPanel();
        screen.panels[0].newEntriesActive = c.entryActive;
        screen.activeEntries = c.needsActiveEntry;
        item = SearchableObject();
        item.setPlayer(c.owner);
        session = sessionWithTask(6);
        services.session = session.get();
        screen.map = makeRef(engineNew<MapView>(k_memObject, &screen, true));
        item.setState(SearchableObject::k_stateListed);
        sprite = makeRef(engineNew<SearchableSprite>(k_memObject, screen.map->content(), true));
        sprite->setItem(&item);
        sprite->setImage(itemPicture(k_scene, k_itemRect), true);
        sprite->prepare();
        EXPECT_EQ(sprite->panelEntry() != nullptr, c.owner != 2);
        click(0);
        EXPECT_EQ(sprite->isFound(), c.found);
        const auto& calls = screen.panels[0].calls;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "scrollToEntry first"), c.scrolled ? 1 : 0);
        // An item without an entry has no fly target; its find is still
        // reported.
        const bool flew = std::count(screen.calls.begin(), screen.calls.end(), "fly 0 630,140") == 1;
        EXPECT_EQ(flew, c.found && c.owner != 2);
        EXPECT_EQ(std::count(screen.calls.begin(), screen.calls.end(), "reported 0"), c.found ? 1 : 0);
    }
}

TEST_F(SearchableSpriteTest, ASecondReleaseAfterAFindOnlyResetsThePressTime)
{
    build(6);
    click(0);
    ASSERT_TRUE(sprite->isFound());
    const std::vector<std::string> calls = screen.calls;
    // Hit test is off now, so neither press nor release is taken.
    click(50);
    EXPECT_EQ(screen.calls, calls);
}

TEST_F(SearchableSpriteTest, AnInterruptItemHidesAtOnceAndEndsTheInterruptSearch)
{
    build(6);
    item.setInterruptItem(true);
    screen.interruptTask = true;
    screen.interruptActive = true;
    click(0);
    EXPECT_FALSE(sprite->isVisible());
    // No fly target while the interrupt search runs.
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"reported 0", "interrupt off", "reaction"}));
    item.setState(SearchableObject::k_stateFound);
    EXPECT_FALSE(sprite->bling()->isVisible());
}

TEST_F(SearchableSpriteTest, AFindEndsAnUntilNextFindPowerUpInTheOwnersSlot)
{
    build(6);
    placePowerUp(0, 0);
    ActivePowerUp* other = placePowerUp(0, 1);
    click(0);
    EXPECT_EQ(session->powerUpSlot(0), nullptr);
    EXPECT_EQ(session->powerUpSlot(1), other);
}

TEST_F(SearchableSpriteTest, AFindOfThePendingSpriteClearsItAndTheHintCursor)
{
    build(6);
    screen.map->setPendingSprite(sprite.get());
    click(0);
    EXPECT_EQ(screen.map->pendingSprite(), nullptr);
    EXPECT_EQ(screen.calls.back(), "hintCursor off");
}

TEST_F(SearchableSpriteTest, TheSpriteFollowsItsItemsState)
{
    build(10);
    FImageWidget* bling = sprite->bling();
    // Outside task types 0-4 and 7 the bling shows the screen's picture,
    // centred on the item.
    EXPECT_EQ(bling->getImage().get(), screen.bling.get());
    EXPECT_FALSE(bling->isVisible());
    EXPECT_TRUE(sprite->isVisible());

    item.setState(SearchableObject::k_stateMarked);
    EXPECT_FALSE(sprite->isVisible());
    EXPECT_FALSE(item.isChanged());
    item.setState(SearchableObject::k_stateListed);
    EXPECT_TRUE(sprite->isVisible());
    item.setState(SearchableObject::k_stateFound);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"event 11"}));
    EXPECT_TRUE(sprite->isHitTestDisabled());
    EXPECT_TRUE(sprite->isVisible());
    EXPECT_TRUE(bling->isVisible());
    EXPECT_EQ(screen.map->content()->children().back(), bling);
    // Back in play: shown, bling hidden, but never clickable again.
    item.setState(SearchableObject::k_stateListed);
    EXPECT_FALSE(bling->isVisible());
    EXPECT_TRUE(sprite->isHitTestDisabled());
    item.setState(99);
    EXPECT_TRUE(sprite->isVisible());
}

TEST_F(SearchableSpriteTest, InTaskTypeNineAFoundItemIsHidden)
{
    build(9);
    item.setState(SearchableObject::k_stateFound);
    EXPECT_FALSE(sprite->isVisible());
    EXPECT_FALSE(sprite->bling()->isVisible());
}

TEST_F(SearchableSpriteTest, TheBlingIsCentredOnTheItemAndTaskTypesWithTheirOwnBlingKeepIt)
{
    for (int taskType : {0, 4, 7}) {
        SCOPED_TRACE(taskType);
        build(taskType);
        EXPECT_EQ(sprite->bling()->getImage().get(), nullptr);
    }
    build(6);
    // The 0 x 0 token picture: centred on (120, 70).
    EXPECT_EQ(sprite->bling()->rect(), (FRectI{120, 70, 120, 70}));
}

TEST_F(SearchableSpriteTest, ADestroyedSpriteHearsNothingMore)
{
    build(6);
    sprite = FRefT<SearchableSprite>();
    item.setState(SearchableObject::k_stateFound);
    EXPECT_TRUE(screen.calls.empty());
    EXPECT_EQ(item.listeners().size(), 0u);
}

TEST_F(SearchableSpriteTest, AFoundHintItemPlaysOneOfThreeSoundsAndEachTurnToFoundAddsOneHint)
{
    build(6, true);
    EXPECT_TRUE(sprite->isHintItem());
    EXPECT_EQ(sprite->getKindEffect().get(), screen.hint.get());
    EXPECT_EQ(sprite->panelEntry(), nullptr);
    session->startLevel(nullptr);
    GameRandom::srand(7);
    const int32_t which = GameRandom::rand() % 3;
    GameRandom::srand(7);
    click(0);
    ASSERT_TRUE(sprite->isFound());
    EXPECT_EQ(services.sounds,
              (std::vector<RecordingPlayServices::Sound>{{screen.hintSounds[std::size_t(which)].get(), 63}}));
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"reported 0"}));

    HintCounter& hints = session->getSearchListGenerator()->hintCounter();
    const int32_t before = hints.hints;
    struct Step
    {
        int32_t state;
        bool visible;
        int32_t hints;
    };
    // Every change into state 2 counts, a state above 3 included as the
    // state it changed from; staying in a state counts nothing.
    const Step steps[] = {{3, true, 0},  {2, false, 1}, {2, false, 1}, {5, false, 1},
                          {2, false, 2}, {1, false, 2}, {2, false, 3}, {3, true, 3}};
    for (const Step& step : steps) {
        item.setState(step.state);
        sprite->update(16);
        EXPECT_EQ(sprite->isVisible(), step.visible) << step.state;
        EXPECT_EQ(hints.hints - before, step.hints) << step.state;
    }
}

} // namespace
