#include "game/widgets/HudTestSupport.h"

#include "game/core/GameRandom.h"
#include "game/core/HintCounter.h"
#include "game/core/SearchListGenerator.h"
#include "ui/FLabel.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace {

using hudtest::HudScreen;

// The panel side an entry talks to: a strip 400 x 60 that records the calls.
class EntryStrip : public FContainer, public HudEntryPanel
{
public:
    explicit EntryStrip(FContainer* parent) : FContainer(parent, true) { setWidgetRect({0, 0, 400, 60}); }
    HudPanelEntry* createEntry(SearchableObject&, SearchableSprite&, const FRefT<FImage>&,
                               const FRefT<FImage>&, int32_t, const FRefT<FString>&) override
    {
        return nullptr;
    }
    int32_t entryCount() const override { return 0; }
    FRefT<HudPanelEntry> entryAt(int32_t) const override { return FRefT<HudPanelEntry>(); }
    void scrollToEntry(HudPanelEntry&) override {}
    FPointI panelPosition() override { return {0, 0}; }
    void selectEntry(HudPanelEntry*) override { calls.push_back("select"); }
    void refreshSelection() override { calls.push_back("refreshSelection"); }
    void placeMarker() override { ++markerPlaced; }
    void requestRelayout() override { ++relayouts; }
    int32_t dragState() const override { return drag; }

    std::vector<std::string> calls;
    int32_t markerPlaced = 0;
    int32_t relayouts = 0;
    int32_t drag = 0;
};

// One level of a chosen task type: the play services, the session, the
// screen with its strip, and one entry that the test fills.
class HudEntryLevel
{
public:
    explicit HudEntryLevel(int32_t taskType, int32_t questType = 1)
        : session(sessionWithTask(taskType, questType))
    {
        play.session = session.get();
        strip = makeRef(engineNew<EntryStrip>(k_memObject, &screen));
        screen.panel = strip.get();
        scene = makeRef(engineNew<FContainer>(k_memObject, &screen, true));
        entry = makeRef(engineNew<HudPanelEntry>(k_memObject, strip.get()));
        entry->setScreen(&screen);
    }
    ~HudEntryLevel()
    {
        entry = FRefT<HudPanelEntry>();
        sprites.clear();
    }

    // A listed item of player 0 added to the entry with its own picture.
    SearchableObject& addItem(int32_t type = 0, int32_t character = 0, FRefT<FString> panelText = {})
    {
        SearchableObject& item = items.emplace_back();
        item.setState(SearchableObject::k_stateListed);
        item.setPlayer(0);
        item.setType(type);
        item.setCharacter(character);
        auto sprite = makeRef(engineNew<SearchableSprite>(k_memObject, scene.get(), true));
        sprite->setItem(&item);
        sprite->setImage(hudtest::sizedPicture(30, 20), true);
        sprites.push_back(sprite);
        entry->addItem(item, *sprite, picture, FRefT<FImage>(), panelText, 5);
        return item;
    }
    FRefT<FImage> badge(int32_t count) { return screen.hudImage(HudPanelEntry::k_firstBadge + count - 2); }

    RecordingPlayServices play;
    std::unique_ptr<GameSession> session;
    HudScreen screen;
    FRefT<EntryStrip> strip;
    FRefT<FContainer> scene;
    FRefT<HudPanelEntry> entry;
    std::deque<SearchableObject> items;
    std::vector<FRefT<SearchableSprite>> sprites;
    FRefT<FImage> picture = hudtest::sizedPicture(64, 64);
};

TEST(HudPanelEntryTest, BadgeCountsAGroupDownAndTheEntryCompletes)
{
    HudEntryLevel level(5);
    for (int n = 0; n < 3; ++n)
        level.addItem();
    level.entry->update(16);
    ASSERT_NE(level.entry->badge(), nullptr);
    EXPECT_EQ(level.entry->badge()->getImage().get(), level.badge(3).get());
    EXPECT_TRUE(level.entry->badge()->isVisible());

    level.items[0].setState(SearchableObject::k_stateFound);
    level.entry->update(16);
    EXPECT_EQ(level.entry->badge()->getImage().get(), level.badge(2).get());

    level.items[1].setState(SearchableObject::k_stateFound);
    level.entry->update(16);
    EXPECT_FALSE(level.entry->badge()->isVisible());
    EXPECT_FALSE(level.entry->isCompleted());

    level.items[2].setState(SearchableObject::k_stateFound);
    level.entry->update(16);
    EXPECT_TRUE(level.entry->isCompleted());
    EXPECT_EQ(level.strip->relayouts, 1);
    // The entry hides itself only in an update of 200 ms or more.
    level.entry->update(250);
    EXPECT_FALSE(level.entry->isVisible());
}

TEST(HudPanelEntryTest, EightCopiesShowNoBadgeUntilSevenAreLeft)
{
    HudEntryLevel level(5);
    for (int n = 0; n < 8; ++n)
        level.addItem();
    level.entry->update(16);
    EXPECT_EQ(level.entry->badge()->getImage().get(), nullptr);
    level.items[0].setState(SearchableObject::k_stateFound);
    level.entry->update(16);
    EXPECT_EQ(level.entry->badge()->getImage().get(), level.badge(7).get());
    EXPECT_EQ(level.entry->badge()->width(), level.badge(7)->width());
}

TEST(HudPanelEntryTest, DifferenceCaptionCountsWhatIsLeft)
{
    HudEntryLevel level(9);
    level.screen.texts[HudPanelEntry::k_differenceCaption] = "Spot <NumDiff> more";
    level.screen.texts[HudPanelEntry::k_lastDifferenceCaption] = "One to go";
    for (int n = 0; n < 5; ++n)
        level.addItem();
    level.entry->update(16);
    ASSERT_NE(level.entry->caption(), nullptr);
    EXPECT_EQ(level.entry->caption()->text().toUtf8(), "Spot 5 more");
    EXPECT_EQ(level.entry->badge(), nullptr);
    for (int n = 0; n < 4; ++n)
        level.items[std::size_t(n)].setState(SearchableObject::k_stateFound);
    level.entry->update(16);
    EXPECT_EQ(level.entry->caption()->text().toUtf8(), "One to go");
}

TEST(HudPanelEntryTest, SilhouetteAtTheNormalDifficultyOnlyForASingleItem)
{
    struct Case
    {
        bool normal;
        int copies;
        uint32_t colour;
    };
    for (const Case& c :
         {Case{true, 1, 0xFF000000u}, Case{true, 2, 0xFFFFFFFFu}, Case{false, 1, 0xFFFFFFFFu}}) {
        HudEntryLevel level(6);
        level.session->setNormalDifficulty(c.normal);
        for (int n = 0; n < c.copies; ++n)
            level.addItem();
        EXPECT_EQ(level.entry->icon()->colour(), c.colour) << c.normal << " " << c.copies;
    }
}

TEST(HudPanelEntryTest, LayoutFollowsTheTaskType)
{
    struct Case
    {
        int32_t taskType;
        int32_t width;
        bool caption;
        bool icon;
        bool badge;
        bool background;
    };
    const Case cases[] = {
        {0, 400, true, true, false, true},   {7, 400, true, true, false, true},
        {9, 400, true, false, false, true},  {5, 50, false, true, true, true},
        {8, 50, false, true, true, true},    {10, 0, false, false, false, false},
        {15, 0, false, false, false, false},
    };
    for (const Case& c : cases) {
        HudEntryLevel level(c.taskType);
        level.addItem();
        const std::string which = "task type " + std::to_string(c.taskType);
        EXPECT_EQ(level.entry->width(), c.width) << which;
        EXPECT_EQ(level.entry->height(), c.width == 0 ? 0 : 50) << which;
        EXPECT_EQ(level.entry->caption() != nullptr, c.caption) << which;
        EXPECT_EQ(level.entry->icon() != nullptr, c.icon) << which;
        EXPECT_EQ(level.entry->badge() != nullptr, c.badge) << which;
        EXPECT_EQ(level.entry->background()->getImage().get() != nullptr, c.background) << which;
        EXPECT_NE(level.entry->overlay(), nullptr) << which;
        EXPECT_EQ(level.entry->pointCount(), 1u) << which;
    }
}

TEST(HudPanelEntryTest, TextEntryLabelTakesNineTenthsAtATenthOffset)
{
    HudEntryLevel level(5);
    level.addItem(2, 0, makeRef(engineNew<FString>(k_memObject, "a red kite")));
    ASSERT_NE(level.entry->textLabel(), nullptr);
    EXPECT_EQ(level.entry->width(), 100);
    EXPECT_EQ(level.entry->height(), 50);
    EXPECT_EQ(level.entry->textLabel()->rect(), (FRectI{10, 5, 99, 49}));
    EXPECT_EQ(level.entry->iconShown(), 0);
    EXPECT_TRUE(level.entry->textLabel()->isVisible());
}

TEST(HudPanelEntryTest, TextItemAtTheKidsDifficultyShowsItsPictureAtOnce)
{
    HudEntryLevel level(5);
    level.session->setNormalDifficulty(false);
    level.addItem(2, 3, makeRef(engineNew<FString>(k_memObject, "a red kite")));
    EXPECT_EQ(level.entry->iconShown(), 1);
    EXPECT_FALSE(level.entry->textLabel()->isVisible());
    EXPECT_EQ(level.entry->icon()->getImage().get(), level.picture.get());
    // The reveal's feedback carries the first item's character, from the
    // entry's centre.
    ASSERT_FALSE(level.screen.calls.empty());
    EXPECT_EQ(level.screen.calls.back(), "particles 50,25 3");
}

TEST(HudPanelEntryTest, AnOwnedItemMakesTheEntryActiveAtOnce)
{
    struct Case
    {
        int32_t player;
        bool active;
    };
    for (const Case& c : {Case{0, true}, Case{1, true}, Case{-1, false}}) {
        HudEntryLevel level(5);
        SearchableObject item;
        item.setState(SearchableObject::k_stateListed);
        item.setPlayer(c.player);
        auto sprite = makeRef(engineNew<SearchableSprite>(k_memObject, level.scene.get(), true));
        sprite->setItem(&item);
        level.entry->addItem(item, *sprite, level.picture, {}, {}, 0);
        EXPECT_EQ(level.entry->isActive(), c.active) << c.player;
        EXPECT_EQ(level.entry->isVisible(), c.active) << c.player;
        EXPECT_EQ(sprite->isHitTestDisabled(), !c.active) << c.player;
        level.entry = FRefT<HudPanelEntry>();
    }
}

TEST(HudPanelEntryTest, ActivationWaitsWhileThePanelCannotFly)
{
    HudEntryLevel level(5);
    level.addItem();
    level.screen.panelFlight = false;
    level.entry->setActive(false);
    EXPECT_TRUE(level.entry->isActive());
    EXPECT_TRUE(level.entry->isVisible());
    level.screen.panelFlight = true;
    level.entry->setActive(false);
    EXPECT_FALSE(level.entry->isVisible());
    EXPECT_TRUE(level.sprites[0]->isHitTestDisabled());
    EXPECT_EQ(level.sprites[0]->colour() >> 24, 0u);
}

TEST(HudPanelEntryTest, CompletionVoiceDrawsFromTheFoundLinesWhenThereAreAny)
{
    struct Case
    {
        int32_t taskType;
        std::vector<int32_t> lines;
        std::vector<std::string> voices;
    };
    const Case cases[] = {
        {6, {}, {}},
        {6, {71, 72, 73}, {"voice 71"}},
        // A photograph entry speaks a found line too, never a text.
        {8, {71}, {"voice 71"}},
        {8, {}, {}},
        // Special searches complete silently.
        {3, {71}, {}},
    };
    for (const Case& c : cases) {
        HudEntryLevel level(c.taskType);
        level.screen.foundLines = c.lines;
        GameRandom::srand(1);
        level.addItem();
        level.items[0].setState(SearchableObject::k_stateFound);
        level.screen.calls.clear();
        level.entry->update(16);
        ASSERT_TRUE(level.entry->isCompleted()) << c.taskType;
        std::vector<std::string> voices;
        for (const std::string& call : level.screen.calls)
            if (call.rfind("voice", 0) == 0) voices.push_back(call);
        if (c.lines.size() == 3) {
            ASSERT_EQ(voices.size(), 1u);
            EXPECT_TRUE(voices[0] == "voice 71" || voices[0] == "voice 72" || voices[0] == "voice 73");
        } else {
            EXPECT_EQ(voices, c.voices) << c.taskType;
        }
    }
}

TEST(HudPanelEntryTest, AFindSendsFeedbackOnceAndMovesTheHintTarget)
{
    HudEntryLevel level(5);
    level.addItem();
    level.addItem();
    level.entry->setSelected(true);
    level.entry->update(16);
    level.screen.calls.clear();
    level.items[0].setState(SearchableObject::k_stateFound);
    level.entry->update(16);
    EXPECT_EQ(level.screen.calls, (std::vector<std::string>{"particles 0,0 0", "hintTarget 0"}));
    EXPECT_EQ(level.strip->calls, (std::vector<std::string>{"select"}));
}

// The level's hint stock lives in the session's search-list generator.
class HintLevel : public HudEntryLevel
{
public:
    explicit HintLevel(int32_t hints) : HudEntryLevel(5)
    {
        session->startLevel(nullptr);
        session->getSearchListGenerator()->hintCounter().hints = hints;
        map = makeRef(engineNew<MapView>(k_memObject, &screen, true));
        screen.map = map;
    }
    int32_t hints() { return session->getSearchListGenerator()->hintCounter().hints; }
    FRefT<MapView> map;
};

TEST(HudPanelEntryTest, HintOnATextEntryRevealsItThenHighlights)
{
    HintLevel level(2);
    level.session->setNormalDifficulty(true);
    SearchableObject& item = level.addItem(2, 0, makeRef(engineNew<FString>(k_memObject, "kite")));
    item.setKind(1);
    level.screen.calls.clear();
    EXPECT_TRUE(storyHudHandleEntryEvent(*level.entry));
    EXPECT_EQ(level.hints(), 1);
    EXPECT_EQ(level.entry->iconShown(), 1);
    EXPECT_EQ(level.screen.calls, (std::vector<std::string>{"particles 50,25 0"}));
    EXPECT_EQ(level.map->pendingSprite(), nullptr);

    EXPECT_TRUE(storyHudHandleEntryEvent(*level.entry));
    EXPECT_EQ(level.hints(), 0);
    EXPECT_EQ(level.map->pendingSprite(), level.sprites[0].get());
    EXPECT_NE(level.entry->highlight(), nullptr);
    EXPECT_EQ(level.screen.calls.back(), "hintCursor on");
}

TEST(HudPanelEntryTest, NoHintWhileOneIsPendingAndRefusalWhenNoneAreLeft)
{
    HintLevel level(1);
    level.addItem();
    level.map->setPendingSprite(level.sprites[0].get());
    level.play.sounds.clear();
    EXPECT_TRUE(storyHudHandleEntryEvent(*level.entry));
    EXPECT_EQ(level.hints(), 1);
    EXPECT_TRUE(level.play.sounds.empty());

    level.map->setPendingSprite(nullptr);
    EXPECT_TRUE(storyHudHandleEntryEvent(*level.entry));
    EXPECT_EQ(level.hints(), 0);
    level.map->setPendingSprite(nullptr);
    level.entry->setHighlighted(false);
    level.play.sounds.clear();
    EXPECT_FALSE(storyHudHandleEntryEvent(*level.entry));
    EXPECT_EQ(level.screen.soundsHeard(level.play), (std::vector<std::string>{"2336"}));
    EXPECT_EQ(level.entry->highlight(), nullptr);
    EXPECT_EQ(level.map->pendingSprite(), nullptr);

    level.items[0].setState(SearchableObject::k_stateFound);
    level.entry->update(16);
    EXPECT_FALSE(storyHudHandleEntryEvent(*level.entry));
}

TEST(HudPanelEntryTest, QuestTypeTwoClicksWalkTheSpritePointsAndDropFoundOnes)
{
    HintLevel level(0);
    level.screen.panelFlight = false;
    level.strip->drag = 1;
    level.addItem();
    level.entry->onPointerUp(0, 8, {1, 1});
    EXPECT_FALSE(level.map->isAutoScrolling());
    EXPECT_EQ(level.screen.soundsHeard(level.play).back(), "6635");

    // A release outside the pressed state only clicks.
    level.strip->drag = 0;
    level.entry->onPointerUp(0, 8, {1, 1});
    EXPECT_EQ(level.entry->pointCount(), 1u);

    level.strip->drag = 1;
    level.items[0].setState(SearchableObject::k_stateFound);
    level.entry->onPointerUp(0, 8, {1, 1});
    EXPECT_EQ(level.entry->pointCount(), 0u);
    // The emptied map leaves later clicks with nothing to read.
    level.entry->onPointerUp(0, 8, {1, 1});
    EXPECT_EQ(level.entry->pointCount(), 0u);
}

TEST(HudPanelEntryTest, SlidingTwiceFinishesTheFirstSlide)
{
    HudEntryLevel level(5);
    level.addItem();
    level.entry->moveTo(200, -2);
    level.entry->slideBy(43);
    level.entry->update(100);
    EXPECT_TRUE(level.entry->isSliding());
    level.entry->slideBy(43);
    EXPECT_EQ(level.strip->calls, (std::vector<std::string>{"refreshSelection"}));
    level.entry->update(700);
    EXPECT_FALSE(level.entry->isSliding());
    EXPECT_EQ(level.entry->rect().left, 114);
    EXPECT_GT(level.strip->markerPlaced, 0);
}

} // namespace
