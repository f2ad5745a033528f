#include "engine/platform/gl/GlRenderSupport.h"
#include "game/widgets/HudTestSupport.h"
#include "support/ScratchFileModules.h"

#include "game/widgets/FactoryContainerWidget.h"
#include "graphics/FDrawContext.h"
#include "tools/imagewriters/PngWriter.h"

#include "game/gameplay/HudPanel.h"
#include "game/gameplay/HudPanelHost.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "ui/FLabel.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <memory>
#include <set>

namespace {

// The story screen as the panel sees it: the entries' host plus the panel's
// own requests, recorded.
class PanelScreen : public hudtest::HudScreen, public HudPanelHost
{
public:
    bool isPanelPassThrough() const override { return passThrough; }
    bool raiseStoryEvent(int32_t event) override
    {
        calls.push_back("event " + std::to_string(event));
        return true;
    }
    void refreshEntriesOnSelection(int32_t player) override
    {
        calls.push_back("refreshOnSelection " + std::to_string(player));
    }
    void refreshEntriesNoSelection(int32_t player) override
    {
        calls.push_back("refreshNoSelection " + std::to_string(player));
    }
    void refreshEntriesWithHint(int32_t player) override
    {
        calls.push_back("refreshWithHint " + std::to_string(player));
    }
    void onBonusItemDone() override { calls.push_back("bonusDone"); }
    FWidget* firstPowerUpView() override { return nullptr; }
    FRef scrollTickSound() override { return token(6163); }
    FRefT<FImage> sweepSparkleImage() override { return hudImage(5687); }

    bool passThrough = false;
};

// A strip 600 x 110 at (100, 480) of a level of a chosen task type whose
// picture entries are 100 pixels square.
class PanelLevel
{
public:
    explicit PanelLevel(int32_t taskType = 5) : session(sessionWithTask(taskType))
    {
        play.session = session.get();
        screen.images[HudPanelEntry::k_cellImage] = hudtest::sizedPicture(100, 100);
        panel = makeRef(engineNew<HudPanel>(k_memObject, &screen, true));
        panel->setWidgetRect({100, 480, 700, 590});
        panel->setUp();
        screen.panel = panel.get();
        scene = makeRef(engineNew<FContainer>(k_memObject, &screen, true));
    }
    ~PanelLevel()
    {
        panel = FRefT<HudPanel>();
        sprites.clear();
    }

    HudPanelEntry* add(int32_t groupKey = 0, int32_t state = SearchableObject::k_stateListed)
    {
        SearchableObject& item = items.emplace_back();
        item.setState(state);
        item.setPlayer(0);
        auto sprite = makeRef(engineNew<SearchableSprite>(k_memObject, scene.get(), true));
        sprite->setItem(&item);
        sprite->setImage(hudtest::sizedPicture(30, 30), true);
        sprites.push_back(sprite);
        return panel->createEntry(item, *sprite, hudtest::sizedPicture(64, 64), {}, groupKey, {});
    }
    std::vector<int32_t> lefts() const
    {
        std::vector<int32_t> out;
        for (int32_t i = 0; i < panel->entryCount(); ++i)
            out.push_back(panel->entryAt(i)->rect().left);
        return out;
    }
    // Eight entries in quest type 2, the strip pressed at (300, 50) and held
    // until it drags.
    void dragEightEntries()
    {
        screen.panelFlight = false;
        for (int n = 0; n < 8; ++n)
            add();
        panel->onPointerDown(0, 8, {300, 50});
        panel->update(301);
    }
    int32_t ticks() const
    {
        int32_t n = 0;
        for (const std::string& name : screen.soundsHeard(play))
            n += name == "6163" ? 1 : 0;
        return n;
    }

    RecordingPlayServices play;
    std::unique_ptr<GameSession> session;
    PanelScreen screen;
    FRefT<HudPanel> panel;
    FRefT<FContainer> scene;
    std::deque<SearchableObject> items;
    std::vector<FRefT<SearchableSprite>> sprites;
};

TEST(HudPanelTest, EntriesOverlapBySevenPixelsAlongTheStrip)
{
    PanelLevel level;
    level.add(), level.add(), level.add();
    EXPECT_EQ(level.lefts(), (std::vector<int32_t>{0, 93, 186}));
    EXPECT_EQ(level.panel->entryAt(0)->rect().top, -2);
    EXPECT_TRUE(level.panel->isStripReady());
    EXPECT_EQ(level.panel->entryAt(3).get(), nullptr);
}

TEST(HudPanelTest, GroupsJoinOneEntryAndUnlistedItemsGetNone)
{
    PanelLevel level;
    HudPanelEntry* grouped = level.add(4);
    EXPECT_EQ(level.add(4), grouped);
    level.add(0);
    level.add(0);
    EXPECT_EQ(level.panel->entryCount(), 3);
    EXPECT_EQ(grouped->items().size(), 2u);
    EXPECT_EQ(level.add(0, SearchableObject::k_stateMarked), nullptr);
    EXPECT_EQ(level.panel->entryCount(), 3);
    EXPECT_EQ(level.panel->findEntryByKey(&level.items[1]), grouped);
    EXPECT_EQ(level.panel->findEntryByKey(nullptr), nullptr);

    PanelLevel differences(9);
    HudPanelEntry* all = differences.add(0);
    EXPECT_EQ(differences.add(0), all);
    EXPECT_EQ(differences.panel->entryCount(), 1);
}

TEST(HudPanelTest, SnapMovesHalfTheDistanceEveryFiftyMs)
{
    PanelLevel level;
    HudPanelEntry* entry = level.add();
    // Centre 50 and a half width of 300: move it 250 first; then check the
    // steps of a 37-pixel snap.
    entry->moveTo(213, -2);
    level.panel->snapToEntry(entry);
    EXPECT_EQ(level.panel->snapDistance(), 37);
    std::vector<int32_t> steps;
    int32_t before = entry->rect().left;
    for (int frame = 0; frame < 12 && level.panel->isSnapping(); ++frame) {
        level.panel->update(26);
        if (entry->rect().left != before) steps.push_back(entry->rect().left - before);
        before = entry->rect().left;
    }
    EXPECT_EQ(steps, (std::vector<int32_t>{18, 9, 5, 2, 3}));
    EXPECT_EQ(entry->rect().left + entry->width() / 2, 300);
}

TEST(HudPanelTest, CoastingDecaysAndStops)
{
    PanelLevel level;
    for (int n = 0; n < 8; ++n)
        level.add();
    level.panel->setDragStateForTest(HudPanel::k_dragCoasting);
    level.panel->setDragVelocity(-20);
    std::vector<int32_t> velocities;
    for (int frame = 0; frame < 6; ++frame) {
        level.panel->update(151);
        velocities.push_back(level.panel->dragVelocity());
    }
    EXPECT_EQ(velocities, (std::vector<int32_t>{-8, -3, 0, 0, 0, 0}));
    EXPECT_EQ(level.panel->dragState(), HudPanel::k_dragIdle);
    // The strip moved by each velocity it coasted at: 8 + 3.
    EXPECT_EQ(level.panel->entryAt(0)->rect().left, -11);
}

TEST(HudPanelTest, DraggingLeftStopsWhenTheLastCentreReachesTheMiddle)
{
    PanelLevel level;
    level.dragEightEntries();
    ASSERT_EQ(level.panel->dragState(), HudPanel::k_dragDragging);
    // The last entry's centre is at 7 x 93 + 50 = 701; a 400-pixel drag
    // would take it to 301, a 402-pixel one past the middle.
    level.panel->onPointerMove(0, {-100, 50});
    EXPECT_EQ(level.panel->entryAt(7)->rect().left, 651 - 400);
    level.panel->onPointerMove(0, {-102, 50});
    EXPECT_EQ(level.panel->entryAt(7)->rect().left, 251);
    EXPECT_GT(level.ticks(), 0);
    level.panel->onPointerUp(0, 8, {-102, 50});
    EXPECT_EQ(level.panel->dragState(), HudPanel::k_dragCoasting);
}

TEST(HudPanelTest, PanelFlightNeverDragsOnALongPress)
{
    PanelLevel level;
    level.add();
    level.panel->onPointerDown(0, 8, {10, 10});
    level.panel->update(1000);
    EXPECT_EQ(level.panel->dragState(), HudPanel::k_dragPressed);
    level.panel->onPointerUp(0, 8, {10, 10});
    EXPECT_EQ(level.panel->dragState(), HudPanel::k_dragIdle);
}

TEST(HudPanelTest, TickPlaysWhenTheFirstLeftCrossesEightyFivePixelSpacing)
{
    PanelLevel level;
    level.dragEightEntries();
    // Lefts -80 (80 % 85 = 80, not below 10), then -90 (5 < 10).
    level.panel->onPointerMove(0, {220, 50});
    EXPECT_EQ(level.ticks(), 0);
    level.panel->onPointerMove(0, {210, 50});
    EXPECT_EQ(level.ticks(), 1);
}

TEST(HudPanelTest, ACompletedEntryLeavesAndThoseBehindSlideIntoItsPlace)
{
    PanelLevel level;
    level.add(), level.add(), level.add();
    level.panel->update(16);
    level.items[1].setState(SearchableObject::k_stateFound);
    level.panel->update(16);
    EXPECT_TRUE(level.panel->isRelayoutPending());
    level.screen.calls.clear();
    level.panel->update(16);
    EXPECT_EQ(level.panel->entryCount(), 2);
    EXPECT_TRUE(level.panel->entryAt(1)->isSliding());
    for (int frame = 0; frame < 8; ++frame)
        level.panel->update(100);
    EXPECT_EQ(level.lefts(), (std::vector<int32_t>{0, 93}));
    EXPECT_EQ(level.screen.calls.front(), "refreshNoSelection 0");
    EXPECT_TRUE(level.panel->isSelectionTimerRunning());
    for (int frame = 0; frame < 2; ++frame)
        level.panel->update(500);
    EXPECT_EQ(level.screen.calls.back(), "refreshWithHint 0");
}

TEST(HudPanelTest, CompletingTheOnlyEntryHidesTheMarker)
{
    PanelLevel level;
    HudPanelEntry* entry = level.add();
    level.panel->selectEntry(entry);
    EXPECT_TRUE(level.panel->marker()->isVisible());
    EXPECT_TRUE(level.panel->isMarkerPulsing());
    level.items[0].setState(SearchableObject::k_stateFound);
    level.panel->update(16);
    level.panel->update(16);
    EXPECT_EQ(level.panel->entryCount(), 0);
    EXPECT_FALSE(level.panel->marker()->isVisible());
    EXPECT_FALSE(level.panel->isMarkerPulsing());
}

TEST(HudPanelTest, CentringOnlyForFewEntriesWithPanelFlight)
{
    struct Case
    {
        bool flight;
        int32_t n;
        int32_t m;
        bool centres;
    };
    for (const Case& c : {Case{true, 3, 1, true}, Case{true, 4, 1, false}, Case{false, 3, 1, false},
                          Case{true, 0, 1, false}}) {
        PanelLevel level;
        level.screen.panelFlight = c.flight;
        level.add(), level.add(), level.add();
        level.panel->centreEntries(c.n, c.m);
        EXPECT_EQ(level.panel->isCentring(), c.centres) << c.n << " " << c.m;
        if (!c.centres) continue;
        // Width 3 x 93 = 279: (600 - 279) / 2 = 160 right of the rest x.
        for (int frame = 0; frame < 3; ++frame)
            level.panel->update(100);
        EXPECT_EQ(level.panel->rect().left, 260);
        level.panel->holdAtRest();
        EXPECT_EQ(level.panel->rect().left, 100);
        level.panel->releaseHold();
        EXPECT_EQ(level.panel->rect().left, 260);
        level.panel->returnToRestPosition();
        EXPECT_EQ(level.panel->rect().left, 100);
        EXPECT_EQ(level.panel->centredPosition(), (FPointI{-1, -1}));
    }
}

TEST(HudPanelTest, InterruptLayoutShowsOnlyTheLastEntryAndAnEmptyPanelNothing)
{
    PanelLevel empty;
    empty.panel->showOnlyLastEntry();
    EXPECT_TRUE(empty.panel->isDragEnabled());

    PanelLevel level;
    level.add(), level.add(), level.add();
    level.panel->showOnlyLastEntry();
    EXPECT_FALSE(level.panel->entryAt(0)->isVisible());
    EXPECT_TRUE(level.panel->entryAt(2)->isVisible());
    EXPECT_EQ(level.panel->entryAt(2)->rect().left + 50, 300);
    EXPECT_TRUE(level.panel->isHeldAtRest());
    EXPECT_FALSE(level.panel->isDragEnabled());
    level.panel->showAllEntries();
    EXPECT_EQ(level.lefts(), (std::vector<int32_t>{0, 93, 186}));
    EXPECT_TRUE(level.panel->isDragEnabled());
}

TEST(HudPanelTest, SweepRunsAlongTheStripAboveTheEntries)
{
    PanelLevel level;
    level.add(), level.add();
    level.panel->startSweep();
    ASSERT_NE(level.panel->sweep(), nullptr);
    EXPECT_TRUE(level.panel->sweep()->isEnabled());
    EXPECT_EQ(level.panel->children().back(), level.panel->particleLayer()->layer());
    int32_t live = 0;
    for (int frame = 0; frame < 10; ++frame) {
        level.panel->update(30);
        live = std::max(live, level.panel->particleLayer()->liveCount());
    }
    EXPECT_GT(live, 0);
    EXPECT_EQ(level.panel->children().back(), level.panel->particleLayer()->layer());
}

TEST(HudPanelTest, LockedPanelIgnoresPointers)
{
    PanelLevel level;
    level.add();
    level.panel->setInputLocked(true);
    level.panel->onPointerDown(0, 8, {10, 10});
    EXPECT_EQ(level.panel->dragState(), HudPanel::k_dragIdle);
}

// A picture `w` x `h` of one colour (0xAARRGGBB).
FRefT<FImage> hudColouredPicture(int32_t w, int32_t h, uint32_t argb)
{
    auto* pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, std::size_t(w) * h * 4 + 1));
    for (int32_t i = 0; i < w * h; ++i) {
        pixels[i * 4] = uint8_t(argb);
        pixels[i * 4 + 1] = uint8_t(argb >> 8);
        pixels[i * 4 + 2] = uint8_t(argb >> 16);
        pixels[i * 4 + 3] = uint8_t(argb >> 24);
    }
    FImage* image = engineNew<FImage>(k_memObject);
    image->setPlacedPixels({w, h}, k_pixelBgra8, pixels, {w, h}, {0, 0}, w * 4, 1.0f);
    return makeRef(image);
}

// The strip and the timer bar drawn through the OpenGL device (offscreen,
// llvmpipe), written to the PNG that ZIBBO_HUD_PNG names for people to look
// at: four entries, one a group of three with its badge, the second one
// selected under the marker, and the bar at 70 % with two star markers.
TEST(HudPanelTest, TheStripAndTheTimerBarDraw)
{
    ScratchFileModules modules;
    glrender::TestGraph graph;
    glrender::ReadBack readBack{modules.application.serviceSlot(k_slotInvalidation), graph};
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFixedWindow);
    if (!graph.hasWindow()) GTEST_SKIP() << graph.lastError();

    PanelLevel level;
    auto& images = level.screen.images;
    images[HudPanelEntry::k_cellImage] = hudColouredPicture(100, 100, 0xFFE8DCC0u);
    images[HudPanelEntry::k_pictureOverlay] = hudColouredPicture(100, 100, 0x30000000u);
    images[HudPanelEntry::k_pictureSelected] = hudColouredPicture(100, 100, 0xFFFFF0A0u);
    images[HudPanelEntry::k_pictureSelector] = hudColouredPicture(110, 110, 0xFFFFC020u);
    for (int32_t n = 0; n < 6; ++n)
        images[HudPanelEntry::k_firstBadge + n] = hudColouredPicture(100, 100, 0xFFC02020u);
    images[FactoryContainerWidget::k_markerImage] = hudColouredPicture(16, 16, 0xFFFFD700u);
    images[FactoryContainerWidget::k_passedMarkerImage] = hudColouredPicture(16, 16, 0xFF707070u);
    level.panel->setWidgetRect({100, 480, 700, 590});
    const uint32_t icons[] = {0xFF2060C0u, 0xFF20A040u, 0xFF8040A0u, 0xFFD06020u};
    std::vector<HudPanelEntry*> entries;
    for (int32_t n = 0; n < 4; ++n) {
        const int32_t copies = n == 2 ? 3 : 1;
        for (int32_t c = 0; c < copies; ++c) {
            SearchableObject& item = level.items.emplace_back();
            item.setState(SearchableObject::k_stateListed);
            item.setPlayer(0);
            auto sprite = makeRef(engineNew<SearchableSprite>(k_memObject, level.scene.get(), true));
            sprite->setItem(&item);
            level.sprites.push_back(sprite);
            entries.push_back(level.panel->createEntry(item, *sprite, hudColouredPicture(64, 64, icons[n]),
                                                       {}, n == 2 ? 7 : 0, {}));
        }
    }
    level.scene->setVisible(false);
    entries[1]->setSelected(true);
    level.panel->update(16);

    auto bar = makeRef(engineNew<FactoryContainerWidget>(k_memObject, &level.screen, true));
    // The markers' formula places them from the bar's own coordinates: the
    // layout puts the bar at the screen's left, the marker layer at (0, 0).
    bar->setWidgetRect({0, 20, 320, 50});
    bar->setTimerBarHost(&level.screen);
    auto part = [&](uint32_t id, FRectI r, uint32_t argb) {
        auto widget = makeRef(engineNew<FImageWidget>(k_memObject, bar.get(), true));
        widget->setImage(hudColouredPicture(r.right - r.left, r.bottom - r.top, argb), false);
        widget->setWidgetRect(r);
        level.screen.widgets[id] = widget.get();
        return widget;
    };
    auto first = part(FactoryContainerWidget::k_firstSegment, {10, 5, 210, 25}, 0xFF30B030u);
    auto reference = part(FactoryContainerWidget::k_segmentReference, {10, 5, 210, 25}, 0x00000000u);
    auto second = part(FactoryContainerWidget::k_secondSegment, {210, 5, 310, 25}, 0xFF30B030u);
    auto cap = part(FactoryContainerWidget::k_endCap, {0, 3, 6, 27}, 0xFFFFFFFFu);
    auto preview = part(FactoryContainerWidget::k_refillPreview, {10, 5, 40, 25}, 0x8030B030u);
    preview->setVisible(false);
    auto layer = makeRef(engineNew<FContainer>(k_memObject, &level.screen, true));
    layer->setWidgetRect({0, 0, 800, 100});
    level.screen.widgets[FactoryContainerWidget::k_markerLayer] = layer.get();
    LevelTimer timer(nullptr, 0.0, 0.0);
    timer.setTotal(100000);
    timer.addStar(0.5);
    timer.addStar(0.8);
    bar->initTimerBar(timer);
    timer.setElapsed(70000);
    timer.update(0);
    bar->update(16);

    FDrawContext& context = graph.beginFrameRecording();
    level.screen.draw(context);
    graph.endFrameRecording();
    readBack.pixels.clear();
    graph.onPaint();
    ASSERT_EQ(readBack.pixels.size(), 800u * 600u * 4u);
    // The strip's row shows the entries' pictures, not one colour.
    std::set<uint32_t> colours;
    for (int32_t x = 100; x < 700; x += 3) {
        const std::size_t i = (std::size_t(530) * 800 + std::size_t(x)) * 4;
        colours.insert(uint32_t(readBack.pixels[i]) << 16 | uint32_t(readBack.pixels[i + 1]) << 8 |
                       readBack.pixels[i + 2]);
    }
    EXPECT_GE(colours.size(), 4u);
    if (const char* out = std::getenv("ZIBBO_HUD_PNG")) {
        const std::vector<uint8_t> bytes = writePng(PngPicture::rgba(800, 600, readBack.pixels));
        std::ofstream(out, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

} // namespace
