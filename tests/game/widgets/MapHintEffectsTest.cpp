// The map view's hints and effects: the hint region around an item and the
// scroll to it, the mini-map bands and view frame, the hot-and-cold cursor,
// the hint cursor clip, the delayed sparkle and the throw swirl.
#include "PlayFieldTestSupport.h"
#include "game/widgets/RecordingVideoPlayer.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/widgets/MapHintGeometry.h"
#include "game/widgets/MapHintHost.h"
#include "game/widgets/MapViewAssets.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/ParticleRecord.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// The gameplay screen with its overlay layer (three leading widgets, the
// mini-map, the view frame), the marker, its pictures and cursor clips; it
// records the cursor clips queued, the tier effects and the hints shown.
class HintScreen : public PlayScreen, public MapHintHost
{
public:
    HintScreen()
    {
        for (auto* widget : {&lead1, &lead2, &lead3})
            widget->setWidgetRect({0, 0, 10, 10});
        miniMap.setWidgetRect({10, 20, 250, 180});
        const char* names[] = {"cold", "warm", "hot", "default"};
        FRefT<FVideo>* slots[] = {&assets.coldClip, &assets.warmClip, &assets.hotClip, &assets.defaultClip};
        for (int i = 0; i < 4; ++i) {
            *slots[i] = recordedVideo(names[i], 2, videoLog);
            clipNames[slots[i]->get()] = names[i];
        }
    }

    const MapViewAssets* getAssetTable() override { return &assets; }
    FContainer* getOverlayLayer() override { return withOverlay ? &overlay : nullptr; }
    FWidget* getMarkerWidget() override { return &marker; }
    FWidget* getMiniMap() override { return &miniMap; }
    FWidget* getViewFrame() override { return &viewFrame; }
    FRefT<FImage> getFramePicture() override { return framePicture; }
    FRefT<FImage> getSparklePicture(int32_t index) override { return sparkles[index & 1]; }
    FRefT<FImage> getSwirlPicture(int32_t index) override { return swirls[index & 1]; }
    bool isHintCursorMode() const override { return hintCursor; }
    bool isHintRadarOn() const override { return radar; }
    void queueCursorClip(int32_t player, const FRefT<FVideo>& clip, bool repeat, bool interruptible) override
    {
        EXPECT_EQ(player, 0);
        EXPECT_TRUE(repeat && interruptible);
        clips.push_back(clipNames[clip.get()]);
    }
    void playTierEffect(int32_t tier) override { tiers.push_back(tier); }
    void showHintOnSprite(SearchableSprite* sprite, int32_t player) override
    {
        hinted.push_back({sprite, player});
        if (sprite != nullptr && activeEntries) map->placeHintOnSprite(sprite);
    }
    std::vector<SearchableSprite*> getSpriteList() override { return sprites; }

    struct Hint
    {
        SearchableSprite* sprite;
        int32_t player;
        bool operator==(const Hint&) const = default;
    };
    std::vector<std::string> videoLog;
    std::map<const FVideo*, std::string> clipNames;
    MapViewAssets assets;
    FContainer overlay{this, true};
    FImageWidget lead1{&overlay};
    FImageWidget lead2{&overlay};
    FImageWidget lead3{&overlay};
    FImageWidget miniMap{&overlay};
    FImageWidget viewFrame{&overlay};
    FImageWidget marker{this};
    FRefT<FImage> framePicture = itemPicture({24, 24}, {0, 0, 24, 24});
    FRefT<FImage> sparkles[2] = {tokenAsset(), tokenAsset()};
    FRefT<FImage> swirls[2] = {tokenAsset(), tokenAsset()};
    bool withOverlay = true;
    bool hintCursor = false;
    bool radar = false;
    std::vector<std::string> clips;
    std::vector<int32_t> tiers;
    std::vector<Hint> hinted;
    std::vector<SearchableSprite*> sprites;
};

// The map view with its effect members in reach of the tests.
class ProbedMapView : public MapView
{
public:
    using MapView::MapView;
    int32_t proximityLevel() const { return m_proximityLevel; }
    int32_t proximityState() const { return m_proximityState; }
    bool isEffectRunning() const { return m_effectRunning; }
    const std::vector<FRefT<ParticleEmitter>>& idleEmitters() const { return m_idleEmitters; }
    ParticleEmitter* sparkle() const { return m_sparkleEmitter.get(); }
    const FTimerTween& sparkleDelay() const { return m_sparkleDelayTimer; }
    ParticleGroup& groupA() const { return *m_groupA; }
    ParticleGroup& groupB() const { return *m_groupB; }
    ParticlePool& poolB() const { return *m_poolB; }
    FImageWidget* hintFrame(int i) const { return m_hintFrames[std::size_t(i)].get(); }
};

class MapHintEffectsTest : public ::testing::Test
{
protected:
    // A 640 x 480 view at zoom 1 (quest type 2), or zoomed out (type 1).
    void build(int taskType = 6, int questType = 2)
    {
        session = sessionWithTask(taskType, questType);
        services.session = session.get();
        screen.map = makeRef<MapView>(engineNew<ProbedMapView>(k_memObject, &screen, true));
        map()->setWidgetRect({0, 0, 640, 480});
        map()->setZoom(map()->zoom());
    }
    ProbedMapView* map() { return static_cast<ProbedMapView*>(screen.map.get()); }

    FRefT<SearchableSprite> addItem(SearchableObject& item, FRectI stored)
    {
        return addMapItem(*map(), item, stored);
    }

    RecordingPlayServices services;
    std::unique_ptr<GameSession> session;
    HintScreen screen;
};

TEST_F(MapHintEffectsTest, AHintShowsAWindowSizedRegionAroundTheItemAndScrollsThere)
{
    build();
    map()->createOverlaySprites();
    SearchableObject item;
    FRefT<SearchableSprite> sprite = addItem(item, {100, 100, 140, 150});
    FRectI first;
    for (uint32_t seed : {1u, 2u, 3u, 77u, 1234u}) {
        sprite->setHintRect({});
        GameRandom::srand(seed);
        const int32_t rx = GameRandom::rand() % 640;
        const int32_t ry = GameRandom::rand() % 480;
        GameRandom::srand(seed);
        map()->placeHintOnSprite(sprite.get());
        const FRectI hint = sprite->hintRect();
        EXPECT_EQ(hint,
                  MapHintGeometry::hintRect({100, 100, 140, 150}, {640, 480, 2400, 1600, 1.0f}, rx, ry));
        EXPECT_LE(hint.left, 36) << seed;
        EXPECT_LE(hint.top, 52) << seed;
        EXPECT_GE(hint.left, 2) << seed;
        EXPECT_GE(hint.top, 2) << seed;
        EXPECT_EQ(map()->hintRect(), hint);
        if (seed == 1u) first = hint;
    }
    // The first hint started the scroll there; later ones while it runs
    // leave it going.
    EXPECT_TRUE(map()->isAutoScrolling());
    EXPECT_EQ(map()->autoScrollTarget(), (FPointI{-first.left, -first.top}));
    const FRectI hint = sprite->hintRect();

    // A second hint on the same item shows the same region, whatever the zoom.
    map()->setZoom(0.75f);
    const uint32_t state = GameRandom::state();
    map()->placeHintOnSprite(sprite.get());
    EXPECT_EQ(sprite->hintRect(), hint);
    EXPECT_EQ(map()->hintRect(), hint);
    EXPECT_EQ(GameRandom::state(), state);
    map()->placeHintOnSprite(nullptr);
    EXPECT_EQ(map()->hintRect(), hint);
}

TEST_F(MapHintEffectsTest, AViewWithoutSizeDrawsNoOffsetForItsHint)
{
    build();
    map()->setWidgetRect({0, 0, 0, 0});
    SearchableObject item;
    FRefT<SearchableSprite> sprite = addItem(item, {100, 100, 140, 150});
    const uint32_t state = GameRandom::state();
    map()->placeHintOnSprite(sprite.get()); // rand() % 0 would divide by zero
    EXPECT_EQ(GameRandom::state(), state);
    EXPECT_EQ(map()->hintRect(), sprite->hintRect());
}

TEST_F(MapHintEffectsTest, TheHintFrameDarkensTheMiniMapOutsideTheHint)
{
    build();
    map()->createOverlaySprites();
    for (int i = 0; i < 4; ++i) {
        FImageWidget* frame = map()->hintFrame(i);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->parent(), &screen.overlay);
        EXPECT_TRUE(frame->isHitTestDisabled());
        EXPECT_FALSE(frame->isVisible());
        EXPECT_EQ(frame->colour(), 0x00323232u) << "grey at alpha 0";
        EXPECT_EQ(frame->getImage().get(), screen.framePicture.get());
    }
    map()->setHintRect(600, 400, 1240, 880);
    const auto bands =
        MapHintGeometry::miniMapBands({600, 400, 1240, 880}, screen.miniMap.rect(), {2400, 1600});
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(map()->hintFrame(i)->rect(), bands[std::size_t(i)]) << i;
        EXPECT_TRUE(map()->hintFrame(i)->isVisible()) << i;
    }
    EXPECT_EQ(map()->hintFrame(0)->rect(), (FRectI{10, 20, 70, 180}));
    // A second build keeps the frames it has.
    FImageWidget* first = map()->hintFrame(0);
    map()->createOverlaySprites();
    EXPECT_EQ(map()->hintFrame(0), first);
}

TEST_F(MapHintEffectsTest, WithoutAnOverlayLayerNoFrameIsBuiltButTheHintStillScrolls)
{
    screen.withOverlay = false;
    build();
    map()->createOverlaySprites();
    EXPECT_EQ(map()->hintFrame(0), nullptr);
    map()->setHintRect(600, 400, 1240, 880);
    EXPECT_EQ(map()->autoScrollTarget(), (FPointI{-600, -400}));
    // A scroll in progress is not redirected.
    map()->setHintRect(100, 100, 740, 580);
    EXPECT_EQ(map()->hintRect(), (FRectI{100, 100, 740, 580}));
    EXPECT_EQ(map()->autoScrollTarget(), (FPointI{-600, -400}));
}

TEST_F(MapHintEffectsTest, TheViewFrameFollowsTheWindowExceptInTaskType9)
{
    for (int taskType : {6, 9}) {
        build(taskType);
        screen.viewFrame.setWidgetRect({0, 0, 1, 1});
        map()->scrollTo(-1200, -800);
        map()->update(20);
        const FRectI expected = taskType == 9 ? FRectI{0, 0, 1, 1} : FRectI{130, 100, 194, 148};
        EXPECT_EQ(screen.viewFrame.rect(), expected) << taskType;
    }
}

TEST_F(MapHintEffectsTest, OverlaysAreBoundInvisibleAndUnclickable)
{
    build();
    map()->bindScreenOverlays();
    for (FWidget* widget :
         std::initializer_list<FWidget*>{&screen.lead1, &screen.lead2, &screen.lead3, &screen.marker}) {
        EXPECT_TRUE(widget->isHitTestDisabled());
        EXPECT_EQ(widget->widgetColour() >> 24, 0u);
    }
    EXPECT_FALSE(screen.miniMap.isHitTestDisabled());
    EXPECT_EQ(map()->groupA().image().get(), screen.sparkles[0].get());
    EXPECT_EQ(map()->groupB().image().get(), screen.sparkles[1].get());
}

class ProximityTest : public MapHintEffectsTest
{
protected:
    // The item at (1000, 700) to (1040, 760), centre (1020, 730), hinted with
    // a 640-wide rectangle; the view at the scene's origin, zoom 1.
    void SetUp() override
    {
        build();
        sprite = addItem(item, {1000, 700, 1040, 760});
        map()->bindScreenOverlays();
        map()->setHintRect(700, 500, 1340, 980);
        map()->setPendingSprite(sprite.get());
        map()->scrollTo(-700, -500);
        screen.hintCursor = true;
        screen.radar = true;
    }
    // The pointer at scene point (x, y).
    void moveTo(int32_t x, int32_t y)
    {
        const FRectI& c = map()->content()->rect();
        map()->onPointerMove(0, {x + c.left, y + c.top});
    }

    SearchableObject item;
    FRefT<SearchableSprite> sprite;
};

TEST_F(ProximityTest, TheCursorShowsHowNearThePointerIsToTheHintedItem)
{
    // Bands of the 640-wide hint: 560, 400, 240 and 106 pixels from the centre.
    struct Step
    {
        FPointI scenePoint;
        int32_t level;
        int32_t state;
        std::vector<std::string> clips;
        std::vector<int32_t> tiers;
    };
    const std::vector<std::string> none;
    const Step steps[] = {
        // The state starts at 0: the first cold tier sends no effect.
        {{1020 - 600, 730}, 8, 0, {"cold", "cold"}, {}},
        {{1020 - 580, 730}, 8, 0, none, {}}, // the same band: nothing new
        {{1020 - 500, 730}, 7, 1, {"cold", "cold"}, {1}},
        {{1020 - 300, 730}, 6, 2, {"warm", "warm"}, {2}},
        {{1020, 730 - 200}, 5, 3, {"warm", "warm"}, {3}},
        {{1020 + 60, 730 + 80}, 4, 4, {"hot", "hot"}, {4}},
        {{1010, 710}, 9, 5, {"hot", "hot"}, {5}},
        {{1020 + 60, 730 + 80}, 4, 4, {"hot", "hot"}, {4}},
    };
    for (const Step& s : steps) {
        screen.clips.clear();
        screen.tiers.clear();
        moveTo(s.scenePoint.x, s.scenePoint.y);
        EXPECT_EQ(map()->proximityLevel(), s.level) << s.scenePoint.x << "," << s.scenePoint.y;
        EXPECT_EQ(map()->proximityState(), s.state) << s.scenePoint.x << "," << s.scenePoint.y;
        EXPECT_EQ(screen.clips, s.clips) << s.scenePoint.x << "," << s.scenePoint.y;
        EXPECT_EQ(screen.tiers, s.tiers) << s.scenePoint.x << "," << s.scenePoint.y;
    }
}

TEST_F(ProximityTest, WithoutRadarOrHintCursorTheCursorFallsBackToItsDefault)
{
    moveTo(1010, 710);
    screen.clips.clear();
    screen.tiers.clear();
    screen.radar = false;
    moveTo(1010, 710);
    EXPECT_EQ(map()->proximityLevel(), 0);
    EXPECT_EQ(screen.clips, (std::vector<std::string>{"default", "default"}));
    EXPECT_EQ(screen.tiers, (std::vector<int32_t>{6}));

    screen.clips.clear();
    screen.tiers.clear();
    screen.hintCursor = false;
    moveTo(1010, 710);
    EXPECT_EQ(map()->proximityLevel(), -1);
    EXPECT_EQ(screen.clips, (std::vector<std::string>{"default"}));
    EXPECT_TRUE(screen.tiers.empty());
    moveTo(500, 500);
    EXPECT_EQ(screen.clips.size(), 1u) << "already off";

    // Blocked input moves no cursor.
    screen.hintCursor = true;
    map()->setInputBlocked(true);
    moveTo(1010, 710);
    EXPECT_EQ(map()->proximityLevel(), -1);
}

TEST_F(ProximityTest, TheMirrorPowerUpMeasuresFromTheMirroredPoint)
{
    // The item's centre (1020, 730) at view point (120, 130), off the
    // window's centre, so that a point and its mirror image differ.
    map()->setHintRect(900, 600, 1540, 1080);
    map()->scrollTo(-900, -600);
    struct Case
    {
        bool mirrored;
        FPointI viewPoint;
        int32_t state;
    };
    const Case cases[] = {
        {false, {120, 200}, 4}, // 70 pixels below the centre
        {true, {120, 200}, 1},  // mirrored to (520, 280): 427 pixels away
        {true, {520, 350}, 4},  // mirrored onto the centre; not over the item itself
        {true, {120, 130}, 5},  // over the item: the pointer itself decides
    };
    for (const Case& c : cases) {
        if (c.mirrored && session->powerUpSlot(0) == nullptr) {
            ActivePowerUp* mirror = session->addActivePowerUp(5);
            mirror->setSlot(0);
            session->setPowerUpSlot(mirror, true);
        }
        map()->onPointerMove(0, c.viewPoint);
        EXPECT_EQ(map()->proximityState(), c.state) << c.viewPoint.x << "," << c.viewPoint.y;
    }
}

TEST_F(ProximityTest, AReleaseEndsTheTierEffectEvenWhileInputIsBlocked)
{
    moveTo(1020 - 300, 730);
    screen.tiers.clear();
    map()->setInputBlocked(true);
    map()->onPointerUp(0, 8, {10, 10});
    EXPECT_EQ(screen.tiers, (std::vector<int32_t>{2}));
    EXPECT_EQ(map()->proximityState(), 6);
    map()->setInputBlocked(false);
    map()->onPointerUp(0, 8, {10, 10});
    EXPECT_EQ(screen.tiers, (std::vector<int32_t>{2, 6}));
}

TEST_F(ProximityTest, TheHintCursorClipSavesAndRestoresTheTier)
{
    moveTo(1020 - 300, 730);
    screen.clips.clear();
    screen.tiers.clear();
    map()->startHintCursorClip();
    map()->startHintCursorClip();
    EXPECT_EQ(screen.clips, (std::vector<std::string>{"default", "default"}));
    EXPECT_EQ(screen.tiers, (std::vector<int32_t>{6}));
    map()->stopHintCursorClip();
    map()->stopHintCursorClip();
    EXPECT_EQ(screen.tiers, (std::vector<int32_t>{6, 2}));
    screen.hintCursor = false;
    map()->startHintCursorClip();
    EXPECT_EQ(screen.tiers.size(), 2u);
}

class ThrowTest : public MapHintEffectsTest
{
protected:
    void SetUp() override
    {
        build();
        for (std::size_t i = 0; i < 4; ++i) {
            const int32_t x = 300 + int32_t(i) * 400;
            sprites.push_back(addItem(items[i], {x, 600, x + 40, 660}));
            screen.sprites.push_back(sprites.back().get());
        }
    }

    SearchableObject items[4];
    std::vector<FRefT<SearchableSprite>> sprites;
};

TEST_F(ThrowTest, AThrowSwirlsAroundTheLastEligibleItemForSixSeconds)
{
    items[3].setState(SearchableObject::k_stateFound);
    screen.panels[0].entries[2]->setActive(false);
    map()->startThrowEffect();
    // Item 3 is found and item 2's entry is not active: item 1 it is.
    ASSERT_EQ(screen.hinted.size(), 1u);
    EXPECT_EQ(screen.hinted[0], (HintScreen::Hint{sprites[1].get(), 0}));
    EXPECT_TRUE(map()->isEffectRunning());
    // Centred on (720, 630).
    EXPECT_EQ(map()->autoScrollTarget(), (FPointI{-(720 - 320), -(630 - 240)}));
    const auto& swirls = map()->idleEmitters();
    ASSERT_EQ(swirls.size(), 5u);
    for (std::size_t i = 0; i < swirls.size(); ++i) {
        EXPECT_EQ(swirls[i]->type(), ParticleEmitter::k_circle);
        EXPECT_EQ(swirls[i]->sizeBase, i % 2 == 0 ? 20 : 50) << i;
        EXPECT_EQ(swirls[i]->emitDuration, 6000);
        EXPECT_TRUE(swirls[i]->isEnabled());
        ASSERT_NE(swirls[i]->particle(), nullptr) << i;
        EXPECT_EQ(swirls[i]->particle()->image.get(), screen.swirls[i % 2 == 0 ? 1 : 0].get()) << i;
    }
    // A second throw while it runs only shows the hint again.
    map()->startThrowEffect();
    EXPECT_EQ(screen.hinted.size(), 2u);
    EXPECT_EQ(map()->idleEmitters()[0].get(), swirls[0].get());

    for (int i = 0; i < 299; ++i)
        map()->update(20);
    EXPECT_TRUE(map()->isEffectRunning());
    map()->update(20);
    EXPECT_FALSE(map()->isEffectRunning());
    for (const auto& swirl : map()->idleEmitters()) {
        EXPECT_FALSE(swirl->isEnabled());
        EXPECT_TRUE(swirl->path().empty());
    }
}

TEST_F(ThrowTest, AFindEndsTheSwirlAtTheNextFrame)
{
    map()->startThrowEffect();
    map()->update(20);
    ASSERT_TRUE(map()->isEffectRunning());
    map()->noteItemFound();
    map()->update(20);
    EXPECT_FALSE(map()->isEffectRunning());
    for (const auto& swirl : map()->idleEmitters())
        EXPECT_FALSE(swirl->isEnabled());
}

TEST_F(ThrowTest, AThrowWithoutAnEligibleItemOnlyInformsTheScreen)
{
    for (SearchableObject& item : items)
        item.setState(SearchableObject::k_stateFound);
    map()->startThrowEffect();
    EXPECT_EQ(screen.hinted, (std::vector<HintScreen::Hint>{{nullptr, 0}}));
    EXPECT_FALSE(map()->isEffectRunning());
    EXPECT_TRUE(map()->idleEmitters().empty());
}

TEST_F(ThrowTest, TheSparkleStartsAfterItsDelayAndAReplacedOneStopsAtOnce)
{
    map()->spawnSpriteEmitter(sprites[0].get(), 1000);
    ParticleEmitter* first = map()->sparkle();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->type(), ParticleEmitter::k_point);
    // The sprite is (300, 600) to (340, 660): the sparkle starts a sixth of
    // its size above and left of it.
    EXPECT_EQ(first->startX, 300 - 40 / 6);
    EXPECT_EQ(first->startY, 600 - 60 / 6);
    EXPECT_EQ(first->spreadWidth, 40);
    EXPECT_EQ(first->emitDuration, 100100);
    map()->update(980);
    EXPECT_FALSE(first->isEnabled());
    EXPECT_EQ(map()->groupB().liveCount(), 0) << "nothing sparkles before the delay ends";
    map()->update(20);
    EXPECT_TRUE(first->isEnabled());
    map()->update(100);
    EXPECT_GT(map()->groupB().liveCount(), 0);
    const int32_t lent = map()->poolB().lentCount();
    EXPECT_GE(lent, 1);
    ParticleRecord* firstParticle = first->particle();
    ASSERT_NE(firstParticle, nullptr);

    // The replaced sparkle stops emitting at once: its sprites die out and
    // its pool slot comes back, long before its 100 s run would end.
    map()->spawnSpriteEmitter(sprites[1].get(), 30000);
    EXPECT_FALSE(firstParticle->emitting);
    for (int i = 0; i < 150; ++i)
        map()->update(20);
    EXPECT_EQ(map()->groupB().liveCount(), 0);
    EXPECT_EQ(map()->poolB().lentCount(), 0);
}

TEST_F(ThrowTest, AStoppedSparkleNeverStarts)
{
    map()->spawnSpriteEmitter(sprites[0].get(), 500);
    map()->stopSpriteEmitter();
    EXPECT_FALSE(map()->sparkleDelay().isActive());
    for (int i = 0; i < 50; ++i)
        map()->update(20);
    EXPECT_FALSE(map()->sparkle()->isEnabled());
    EXPECT_EQ(map()->groupB().liveCount(), 0);
}

} // namespace
