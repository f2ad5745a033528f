// The map view: zoom and clamping, eased automatic scrolls, shakes, the
// first positioning, the background grid by name, presses and releases that
// find or count as wrong clicks, and the frame step.
#include "PlayFieldTestSupport.h"
#include "engine/graphics/RecordingDevice.h"
#include "engine/image/DecoderTestSupport.h"
#include "engine/ui/UiTestSupport.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/widgets/FactoryContainerWidget.h"
#include "game/widgets/MapScrollListener.h"
#include "game/widgets/MapTileSprite.h"
#include "game/worlds/NamedRefMap.h"
#include "ui/FWidgetTypes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int32_t k_leftButton = 8;

// An image that holds pixels but claims a size with a zero side.
FRefT<FImage> flatImage(int32_t width, int32_t height)
{
    auto* image = engineNew<FImage>(k_memObject);
    auto* buffer = static_cast<uint8_t*>(engineAlloc(k_memImage, 4));
    image->setPixels({width, height}, k_pixelBgra8, buffer, width * 4, 1.0f);
    return makeRef(image);
}

class CountingScrollListener : public MapScrollListener
{
public:
    void onAutoScrollEnded(MapView& view) override
    {
        ++ended;
        last = &view;
    }
    int32_t ended = 0;
    MapView* last = nullptr;
};

class RecordingAnimation : public FImageWidget, public MapAnimation
{
public:
    explicit RecordingAnimation(FContainer* parent) : FImageWidget(parent) {}
    void update(int32_t elapsedMs) override { elapsed += elapsedMs; }
    void updateCompanionLoad() override { ++moves; }
    int32_t elapsed = 0;
    int32_t moves = 0;
};

// A view whose hint rectangle the test sets, as the hint layer would.
class HintedMapView : public MapView
{
public:
    using MapView::MapView;
    void holdOn(const FRectI& rect)
    {
        m_hintRect = rect;
        clamp();
    }
};

class MapViewTest : public ::testing::Test
{
protected:
    void build(int taskType = 6, int questType = 1, FRectI rect = {0, 0, 640, 480})
    {
        session = sessionWithTask(taskType, questType);
        services.session = session.get();
        screen.map = makeRef<MapView>(engineNew<HintedMapView>(k_memObject, &screen, true));
        map()->setWidgetRect(rect);
        map()->setZoom(map()->zoom());
    }
    HintedMapView* map() { return static_cast<HintedMapView*>(screen.map.get()); }
    FPointI contentAt() { return {map()->content()->rect().left, map()->content()->rect().top}; }

    FRefT<SearchableSprite> addItem(SearchableObject& item, FRectI stored)
    {
        return addMapItem(*map(), item, stored);
    }

    RecordingPlayServices services;
    std::unique_ptr<GameSession> session;
    PlayScreen screen;
};

TEST_F(MapViewTest, TheStartZoomIsFarExceptInFreeLevels)
{
    build(6, 1);
    EXPECT_FLOAT_EQ(map()->zoom(), 0.75f);
    EXPECT_EQ(map()->content()->scale(), (FPointF{0.75f, 0.75f}));
    build(6, 2);
    EXPECT_FLOAT_EQ(map()->zoom(), 1.0f);
    EXPECT_EQ(map()->content()->getWidgetSize(), (FPointI{2400, 1600}));
}

TEST_F(MapViewTest, FreeModeKeepsTheScaledSceneOverTheWindow)
{
    build(6, 2);
    map()->setZoom(0.75f);
    EXPECT_EQ(map()->content()->getWidgetSize(), (FPointI{1800, 1200}));
    struct Case
    {
        FPointI to;
        FPointI at;
    };
    const Case cases[] = {
        {{100, 100}, {0, 0}},           {{-5000, -5000}, {-1160, -720}}, {{-500, -300}, {-500, -300}},
        {{-1160, -720}, {-1160, -720}}, {{-1161, 1}, {-1160, 0}},
    };
    for (const Case& c : cases) {
        map()->scrollTo(c.to.x, c.to.y);
        EXPECT_EQ(contentAt(), c.at) << c.to.x << "," << c.to.y;
    }
    map()->scrollTo(-500, -300);
    map()->scrollBy(-100, 50);
    EXPECT_EQ(contentAt(), (FPointI{-600, -250}));
}

TEST_F(MapViewTest, HintModeClampsAsFreeModeUntilARectangleIsSet)
{
    build(6, 1);
    // No hint rectangle yet: the all-zero one would hold the scene at
    // (640, 480), off the window.
    map()->scrollTo(-300, -200);
    EXPECT_EQ(contentAt(), (FPointI{-300, -200}));
    map()->scrollTo(200, 200);
    EXPECT_EQ(contentAt(), (FPointI{0, 0}));

    map()->holdOn({100, 80, 740, 560});
    map()->scrollTo(0, 0);
    EXPECT_EQ(contentAt(), (FPointI{-100, -80}));
    map()->scrollTo(-500, -500);
    EXPECT_EQ(contentAt(), (FPointI{-100, -80}));
    // A shake moves freely within the scene.
    map()->shake(-30, 20);
    EXPECT_EQ(contentAt(), (FPointI{-130, -60}));
}

TEST_F(MapViewTest, HintModeHoldsTheLeftEdgeFirstAndJudgesTheRightByTheLeftBeforeIt)
{
    build(6, 1);
    // A hint rectangle narrower and lower than the 640 x 480 window: the
    // two rules of an axis disagree, and the order settles it.
    map()->holdOn({100, 80, 500, 380});
    struct Case
    {
        FPointI to;
        FPointI at;
    } const cases[] = {
        // Left past -100: held at -100, then 0 + 500 < 640 moves it to 140.
        {{0, 0}, {140, 100}},
        // Left past -100 but 200 + 500 reaches the window: held at -100.
        {{200, 150}, {-100, -80}},
        // Within both rules: the right rule alone moves it.
        {{-150, -120}, {140, 100}},
    };
    for (const Case& c : cases) {
        map()->scrollTo(c.to.x, c.to.y);
        EXPECT_EQ(contentAt(), c.at) << c.to.x << "," << c.to.y;
    }
}

TEST_F(MapViewTest, AnAutomaticScrollSnapsFromFivePixelsButStepsFromSix)
{
    build(6, 2);
    struct Case
    {
        FPointI target; // as autoScrollTo takes it
        FPointI afterOneStep;
        bool stillScrolling;
    } const cases[] = {
        {{505, 300}, {-505, -300}, false}, {{500, 305}, {-500, -305}, false},
        {{495, 295}, {-495, -295}, false}, {{506, 300}, {-502, -300}, true},
        {{500, 306}, {-500, -302}, true},  {{494, 300}, {-498, -300}, true},
    };
    for (const Case& c : cases) {
        map()->scrollTo(-500, -300);
        CountingScrollListener listener;
        map()->setAutoScrollListener(&listener);
        map()->autoScrollTo(true, c.target.x, c.target.y);
        map()->update(101);
        EXPECT_EQ(contentAt(), c.afterOneStep) << c.target.x << "," << c.target.y;
        EXPECT_EQ(map()->isAutoScrolling(), c.stillScrolling) << c.target.x << "," << c.target.y;
        EXPECT_EQ(listener.ended, c.stillScrolling ? 0 : 1);
        map()->setAutoScrollListener(nullptr);
        while (map()->isAutoScrolling())
            map()->update(101);
    }
}

TEST_F(MapViewTest, AnAutomaticScrollEasesInStepsAndSnapsToTheTarget)
{
    build(6, 2);
    CountingScrollListener listener;
    map()->setAutoScrollListener(&listener);
    map()->autoScrollTo(false, 500, 300);
    EXPECT_TRUE(map()->isAutoScrolling());
    EXPECT_EQ(map()->autoScrollTarget(), (FPointI{-500, -300}));
    // No step while 100 ms or less have gathered.
    map()->update(50);
    map()->update(50);
    EXPECT_EQ(contentAt(), (FPointI{0, 0}));
    std::vector<FPointI> path;
    for (int i = 0; i < 40 && map()->isAutoScrolling(); ++i) {
        map()->update(101);
        path.push_back(contentAt());
    }
    // 40 % of the remaining way each step (truncated), then a snap within 5.
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path[0], (FPointI{-200, -120}));
    EXPECT_EQ(path[1], (FPointI{-320, -192}));
    EXPECT_EQ(path[2], (FPointI{-392, -235}));
    EXPECT_EQ(path.back(), (FPointI{-500, -300}));
    EXPECT_FALSE(map()->isAutoScrolling());
    EXPECT_EQ(listener.ended, 1);
    EXPECT_EQ(listener.last, map());

    // A second request while one runs is ignored unless forced.
    map()->autoScrollTo(false, 0, 0);
    map()->autoScrollTo(false, 100, 100);
    EXPECT_EQ(map()->autoScrollTarget(), (FPointI{0, 0}));
    map()->autoScrollTo(true, 100, 100);
    EXPECT_EQ(map()->autoScrollTarget(), (FPointI{-100, -100}));
}

TEST_F(MapViewTest, AnAutomaticScrollBeyondTheSceneStopsWhenTheSceneNoLongerMoves)
{
    build(6, 2);
    CountingScrollListener listener;
    map()->setAutoScrollListener(&listener);
    map()->autoScrollTo(false, 5000, 0);
    int steps = 0;
    while (map()->isAutoScrolling() && steps < 100) {
        map()->update(120);
        ++steps;
    }
    EXPECT_LT(steps, 100);
    EXPECT_EQ(contentAt(), (FPointI{-1760, 0}));
    EXPECT_EQ(listener.ended, 1);
}

TEST_F(MapViewTest, FocusOnASpriteDrawsTheWindowPlaceAndScrollsThere)
{
    build(6, 2);
    EXPECT_EQ(map()->focusOnSprite(nullptr), (FPointI{-1, -1}));
    EXPECT_FALSE(map()->isAutoScrolling());
    SearchableObject item;
    FRefT<SearchableSprite> sprite = addItem(item, {1000, 700, 1040, 760});
    GameRandom::srand(3);
    const int32_t ry = GameRandom::rand() % (480 - 60);
    const int32_t rx = GameRandom::rand() % (640 - 60);
    GameRandom::srand(3);
    const FPointI point = map()->focusOnSprite(sprite.get());
    EXPECT_EQ(point, (FPointI{1000 - rx, 700 - ry}));
    EXPECT_EQ(map()->autoScrollTarget(), (FPointI{rx - 1000, ry - 700}));
}

TEST_F(MapViewTest, TheFirstPositioningIsImmediateAndLaterOnesNeedForce)
{
    build(6, 2);
    EXPECT_FALSE(map()->isPositioned());
    map()->resetView(false, {300, 200});
    EXPECT_EQ(contentAt(), (FPointI{-300, -200}));
    EXPECT_TRUE(map()->isPositioned());
    EXPECT_FALSE(map()->isAutoScrolling());
    EXPECT_EQ(services.defaultCursors, (std::vector<int32_t>{0}));
    map()->resetView(false, {0, 0});
    EXPECT_EQ(contentAt(), (FPointI{-300, -200}));
    map()->resetView(true, {10, 5000});
    EXPECT_EQ(contentAt(), (FPointI{-10, -1120}));
}

TEST_F(MapViewTest, TheScreenPointOfASpriteFollowsTheZoomWithoutScrolling)
{
    build(6, 1);
    SearchableObject item;
    FRefT<SearchableSprite> sprite = addItem(item, {1000, 700, 1040, 760});
    EXPECT_EQ(map()->spriteScreenPoint(nullptr), (FPointI{-1, -1}));
    EXPECT_EQ(map()->spriteScreenPoint(sprite.get()), (FPointI{750, 525}));
    map()->setZoom(1.0f);
    EXPECT_EQ(map()->spriteScreenPoint(sprite.get()), (FPointI{1000, 700}));
    EXPECT_EQ(contentAt(), (FPointI{0, 0}));
    EXPECT_FALSE(map()->isAutoScrolling());
}

TEST_F(MapViewTest, AShakeIsRecordedWithinTheSceneAndUndone)
{
    build(6, 2);
    struct Case
    {
        FPointI start;
        FPointI request;
        FPointI recorded;
    };
    const Case cases[] = {
        {{-100, -100}, {12, -7}, {12, -7}},
        {{0, 0}, {15, 10}, {0, 0}},
        {{-5, -1100}, {20, -40}, {5, -20}},
    };
    for (const Case& c : cases) {
        map()->scrollTo(c.start.x, c.start.y);
        map()->shake(c.request.x, c.request.y);
        EXPECT_EQ(map()->recordedShake(), c.recorded);
        EXPECT_EQ(contentAt(), (FPointI{c.start.x + c.recorded.x, c.start.y + c.recorded.y}));
        map()->unshake();
        EXPECT_EQ(contentAt(), c.start);
    }
}

TEST_F(MapViewTest, AScrollCarriesTheAnchoredEffectOfTheOtherSlotAlong)
{
    build(6, 2);
    map()->scrollTo(-100, -100);
    EXPECT_TRUE(screen.calls.empty());
    ActivePowerUp* powerUp = session->addActivePowerUp(7);
    powerUp->setSlot(1);
    session->setPowerUpSlot(powerUp, true);
    map()->scrollTo(-150, 40);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"anchor -50,100"}));
}

TEST_F(MapViewTest, TileNamesCarryTwoDigitWorldAndTileNumbers)
{
    struct Case
    {
        int32_t world;
        int32_t tile;
        const char* name;
    };
    const Case cases[] = {
        {2, 1, "World03BG01"},    {2, 9, "World03BG09"}, {2, 10, "World03BG10"}, {2, 96, "World03BG96"},
        {2, 100, "World03BG100"}, {8, 1, "World09BG01"}, {9, 12, "World10BG12"}, {11, 5, "World12BG05"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapView::tileName(c.world, c.tile), c.name);
}

TEST_F(MapViewTest, TheBackgroundGridFollowsTheFirstTilesSize)
{
    build(6, 2);
    NamedAssetMap table;
    for (int32_t k = 1; k <= 100; ++k) {
        if (k != 37) table.findOrInsert(MapView::tileName(2, k)) = makeSolidImage(240, 160, 0xFF336699u);
    }
    map()->buildBackgroundTiles(2, table);
    const auto& tiles = map()->tiles();
    ASSERT_EQ(tiles.size(), 99u);
    EXPECT_EQ(tiles[0]->rect(), (FRectI{0, 0, 240, 160}));
    EXPECT_EQ(tiles[9]->rect(), (FRectI{2160, 0, 2400, 160}));
    EXPECT_EQ(tiles[10]->rect(), (FRectI{0, 160, 240, 320}));
    // Tile 37 is missing: its place stays empty and tile 38 keeps its own.
    EXPECT_EQ(tiles[36]->rect(), (FRectI{1680, 480, 1920, 640}));
    EXPECT_EQ(tiles[98]->rect(), (FRectI{2160, 1440, 2400, 1600}));
    EXPECT_EQ(tiles[98]->getImage().get(), table.find("World03BG100")->get());
    EXPECT_EQ(tiles[0]->parent(), map()->content());
}

TEST_F(MapViewTest, AMissingOrEmptyFirstTileIsRefusedNamingTheWorld)
{
    build(6, 2);
    struct Case
    {
        const char* name;
        FRefT<FImage> first;
    };
    const Case cases[] = {
        {"missing", FRefT<FImage>()},
        {"zero width", flatImage(0, 160)},
        {"zero height", flatImage(240, 0)},
        {"no pixels", tokenAsset()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NamedAssetMap table;
        if (c.first.get() != nullptr) table.findOrInsert("World05BG01") = c.first;
        table.findOrInsert("World05BG02") = makeSolidImage(240, 160, 0xFFFFFFFFu);
        const std::string failure = failureOf([&] { map()->buildBackgroundTiles(4, table); });
        EXPECT_NE(failure.find("world 5"), std::string::npos) << failure;
        EXPECT_NE(failure.find("World05BG01"), std::string::npos) << failure;
        EXPECT_TRUE(map()->tiles().empty());
    }
}

// Presses and releases through the map view onto a sprite of the scene.
class MapClickTest : public MapViewTest
{
protected:
    void SetUp() override { arrange(6); }
    void arrange(int taskType, FRectI rect = {0, 0, 640, 480})
    {
        build(taskType, 1, rect);
        map()->setZoom(1.0f);
        sprite = addItem(item, {100, 100, 160, 140});
        screen.calls.clear();
        services.defaultCursors.clear();
    }
    void press(FPointI p) { map()->onPointerDown(0, k_leftButton, p); }
    void release(FPointI p) { map()->onPointerUp(0, k_leftButton, p); }

    SearchableObject item;
    FRefT<SearchableSprite> sprite;
};

TEST_F(MapClickTest, AClickOnTheItemFindsItAndIsNoWrongClick)
{
    press({120, 120});
    EXPECT_EQ(map()->dragState(), MapView::k_dragPressed);
    EXPECT_EQ(screen.capture(0), map());
    EXPECT_TRUE(sprite->isPressing());
    release({120, 120});
    EXPECT_TRUE(sprite->isFound());
    EXPECT_EQ(map()->dragState(), MapView::k_dragIdle);
    EXPECT_EQ(screen.capture(0), nullptr);
    EXPECT_EQ(session->wrongClickCount(0), 0);
    EXPECT_FALSE(map()->isFoundInClick());
    EXPECT_EQ(screen.calls.front(), "cursor 0 120,120");
    EXPECT_EQ(services.defaultCursors, (std::vector<int32_t>{0}));
}

TEST_F(MapClickTest, AMissIsAWrongClickUnlessThePauseOverlayIsOpen)
{
    struct Case
    {
        const char* name;
        int taskType;
        bool playActive;
        bool emptyPanel;
        int32_t wrongClicks;
        bool missSound;
    };
    const Case cases[] = {
        {"miss", 6, true, false, 1, false},
        {"miss in task 9", 9, true, false, 1, true},
        {"pause overlay open", 6, false, false, 0, false},
        {"empty panel", 6, true, true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen.panels[0] = RecordingPanel();
        services.sounds.clear();
        item = SearchableObject();
        arrange(c.taskType);
        if (c.emptyPanel) screen.panels[0].entries.clear();
        screen.playActive = c.playActive;
        press({400, 300});
        release({400, 300});
        EXPECT_EQ(session->wrongClickCount(0), c.wrongClicks);
        const std::vector<RecordingPlayServices::Sound> miss{{screen.miss.get(), 63}};
        EXPECT_EQ(services.sounds == miss, c.missSound);
        EXPECT_FALSE(sprite->isFound());
    }
}

TEST_F(MapClickTest, AFindClearsThePlayersWrongClicks)
{
    press({400, 300});
    release({400, 300});
    press({400, 300});
    release({400, 300});
    ASSERT_EQ(session->wrongClickCount(0), 2);
    press({120, 120});
    release({120, 120});
    EXPECT_EQ(session->wrongClickCount(0), 0);
    EXPECT_EQ(session->wrongClickTimer(0), 0);
}

TEST_F(MapClickTest, AReleaseOnANarrowRightHandViewIsShiftedByHalfTheScreenWhenAQuestIsCurrent)
{
    struct Case
    {
        const char* name;
        bool quest;
        std::string expected;
    };
    const Case cases[] = {{"quest", true, "probe:up(0 80,50)"}, {"no quest", false, "probe:up(0 400,50)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        item = SearchableObject();
        arrange(6, {0, 0, 320, 480});
        if (!c.quest) {
            session = std::make_unique<GameSession>(nullptr, GameSession::Tuning{});
            // The map view keeps the session it was built with; build again.
            services.session = session.get();
            screen.map = makeRef<MapView>(engineNew<HintedMapView>(k_memObject, &screen, true));
            map()->setWidgetRect({0, 0, 320, 480});
            map()->setZoom(1.0f);
        }
        screen.panels[0].entries.push_back(makeRef(engineNew<HudPanelEntry>(k_memObject)));
        std::vector<std::string> log;
        LoggingWidget probe(map()->content(), "probe", log, {0, 0, 2400, 1600});
        release({400, 50});
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), c.expected);
    }
}

TEST_F(MapClickTest, AHeldOrMovedPressCountsAsADragButStaysAClick)
{
    struct Case
    {
        const char* name;
        std::vector<int32_t> frames;
        FPointI moveTo;
        int32_t drags;
    };
    const Case cases[] = {
        {"held 300 ms", {150, 150}, {120, 120}, 0},
        {"held 301 ms", {150, 151}, {120, 120}, 1},
        {"moved 10 pixels", {16}, {130, 120}, 0},
        {"moved 11 pixels", {16}, {131, 120}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        item = SearchableObject();
        arrange(6);
        press({120, 120});
        map()->onPointerMove(0, c.moveTo);
        for (int32_t ms : c.frames)
            map()->update(ms);
        EXPECT_EQ(map()->dragCount(), c.drags);
        EXPECT_EQ(map()->dragState(), MapView::k_dragPressed);
        release({120, 120});
        // The sprite's own press time was never counted here.
        EXPECT_TRUE(sprite->isFound());
    }
    // With drag counting off the press timer stands still.
    item = SearchableObject();
    arrange(6);
    map()->setDragCountingOff(true);
    press({120, 120});
    map()->update(500);
    EXPECT_EQ(map()->pressTimer(), 0);
    EXPECT_EQ(map()->dragCount(), 0);
}

TEST_F(MapClickTest, PressesThatDoNotReachTheScene)
{
    struct Case
    {
        const char* name;
        int32_t button;
        bool blocked;
        bool autoScrolling;
    };
    const Case cases[] = {
        {"pad left", 0, false, false},
        {"pad down", 3, false, false},
        {"input blocked", k_leftButton, true, false},
        {"automatic scroll", k_leftButton, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        item = SearchableObject();
        arrange(6);
        map()->setInputBlocked(c.blocked);
        if (c.autoScrolling) map()->autoScrollTo(false, 100, 100);
        map()->onPointerDown(0, c.button, {400, 300});
        EXPECT_EQ(map()->dragState(), MapView::k_dragIdle);
        EXPECT_EQ(screen.capture(0), nullptr);
    }
    // A blocked view ignores the release: no wrong click.
    map()->setInputBlocked(true);
    release({400, 300});
    EXPECT_EQ(session->wrongClickCount(0), 0);
}

TEST_F(MapClickTest, CancellingAPressResetsItsTimerAndTheCursor)
{
    map()->cancelDrag();
    EXPECT_TRUE(services.defaultCursors.empty());
    press({400, 300});
    map()->update(120);
    ASSERT_EQ(map()->pressTimer(), 120);
    map()->cancelDrag();
    EXPECT_EQ(map()->dragState(), MapView::k_dragIdle);
    EXPECT_EQ(map()->pressTimer(), 0);
    EXPECT_EQ(services.defaultCursors, (std::vector<int32_t>{0}));
}

TEST_F(MapClickTest, AClickOnTheBareBackgroundPlaysTheMissSound)
{
    struct Case
    {
        const char* name;
        FPointI pressAt;
        FPointI releaseAt;
        bool miss;
        bool found;
        // The tile under the press keeps its press when the release goes
        // elsewhere.
        bool tileStaysPressed;
    };
    const Case cases[] = {
        {"on the background", {500, 300}, {500, 300}, true, false, false},
        {"from the item onto the background", {120, 120}, {500, 300}, false, false, false},
        {"from the background onto the item", {500, 300}, {120, 120}, false, true, true},
        {"on the item", {120, 120}, {120, 120}, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        item = SearchableObject();
        arrange(6);
        NamedAssetMap table;
        for (int32_t k = 1; k <= 96; ++k)
            table.findOrInsert(MapView::tileName(0, k)) = makeSolidImage(200, 200, 0xFF204060u);
        map()->buildBackgroundTiles(0, table);
        sprite->bringToFront();
        services.sounds.clear();
        press(c.pressAt);
        release(c.releaseAt);
        const auto& sounds = services.sounds;
        const auto played = [&sounds](const FRef& sound) {
            return std::count(sounds.begin(), sounds.end(), RecordingPlayServices::Sound{sound.get(), 63});
        };
        EXPECT_EQ(played(screen.miss), c.miss ? 1 : 0);
        EXPECT_EQ(played(screen.found), c.found ? 1 : 0);
        EXPECT_EQ(sprite->isFound(), c.found);
        for (const auto& tile : map()->tiles()) {
            const bool underPress = tile->rect() == FRectI{400, 200, 600, 400};
            EXPECT_EQ(tile->isPressed(), c.tileStaysPressed && underPress);
        }
    }
}

TEST_F(MapViewTest, TheFrameStepFreezesAnimationsInTaskEighteenAndAllButThemWhilePaused)
{
    struct Case
    {
        const char* name;
        int taskType;
        bool paused;
        int32_t animated;
        bool scrolled;
    };
    const Case cases[] = {
        {"playing", 6, false, 120, true},
        {"task 18", 18, false, 0, true},
        {"paused", 6, true, 120, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        build(c.taskType, 2);
        services.paused = c.paused;
        auto animation = makeRef(engineNew<RecordingAnimation>(k_memObject, map()->content()));
        map()->addAnimation(animation);
        map()->autoScrollTo(false, 500, 0);
        map()->update(120);
        EXPECT_EQ(animation->elapsed, c.animated);
        EXPECT_EQ(contentAt() != (FPointI{0, 0}), c.scrolled);
        services.paused = false;
    }
}

TEST_F(MapViewTest, EveryMoveOfTheSceneTellsTheAnimations)
{
    build(6, 2);
    auto animation = makeRef(engineNew<RecordingAnimation>(k_memObject, map()->content()));
    map()->addEmitterHandle(animation);
    map()->scrollTo(-10, -10);
    map()->shake(3, 3);
    EXPECT_EQ(animation->moves, 2);
}

TEST_F(MapViewTest, MapChildrenJoinTheSceneAndLeaveIt)
{
    build(6, 2);
    TestScreen other;
    FImageWidget base(&other);
    map()->addMapChild(&base);
    EXPECT_EQ(map()->content()->children().back(), &base);
    EXPECT_EQ(map()->mapChildren(), (std::vector<FWidget*>{&base}));
    map()->removeMapChildren();
    const auto& children = map()->content()->children();
    EXPECT_EQ(std::find(children.begin(), children.end(), &base), children.end());
    EXPECT_TRUE(map()->mapChildren().empty());
    base.setParentLink(&other);
}

TEST_F(MapViewTest, TheLayoutCodesBuildTheMapViewAndTheFactoryContainer)
{
    services.session = nullptr;
    GameWidgetFactory::registerTypes();
    struct Case
    {
        uint32_t type;
        bool map;
    };
    for (const Case c :
         {Case{FWidgetTypes::k_mapView, true}, Case{FWidgetTypes::k_factoryContainer, false}}) {
        TestScreen parent;
        FContainer holder(&parent, true);
        FRefT<FWidget> built = createWidget(c.type, holder);
        EXPECT_EQ(dynamic_cast<MapView*>(built.get()) != nullptr, c.map);
        if (!c.map) {
            auto* container = dynamic_cast<FactoryContainerWidget*>(built.get());
            ASSERT_NE(container, nullptr);
            EXPECT_EQ(container->grandparent(), &parent);
        }
        EXPECT_EQ(holder.children().front(), built.get());
    }
}

} // namespace
