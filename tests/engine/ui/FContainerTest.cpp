#include "UiTestSupport.h"
#include "engine/core/KernelTestSupport.h"

#include "asset/FScreenRegistry.h"
#include "core/FBuildCancel.h"
#include "core/FPointerButton.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "ui/FColorRect.h"
#include "ui/FMarkerWidget.h"
#include "ui/FScreen.h"
#include "ui/FWidgetFactory.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ContainerTest, RoutesToTopmostVisibleChildWithEnterAndLeave)
{
    std::vector<std::string> log;
    TestScreen screen;
    FContainer panel(&screen, true);
    panel.setWidgetRect({100, 50, 300, 250});
    LoggingWidget lower(&panel, "lower", log, {0, 0, 50, 50});
    LoggingWidget upper(&panel, "upper", log, {25, 25, 75, 75});
    LoggingWidget hidden(&panel, "hidden", log, {0, 0, 200, 200});
    hidden.setVisible(false);
    log.clear();

    panel.onPointerDown(0, k_mouseLeft, {130, 80}); // child space (30, 30): both overlap, upper wins
    panel.onPointerUp(1, k_mouseLeft, {110, 60});
    panel.onPointerMove(0, {110, 60});
    panel.onPointerMove(0, {111, 60});
    panel.onPointerMove(0, {140, 90});
    panel.onPointerMove(0, {290, 240}); // empty area: leave, nobody entered
    EXPECT_EQ(log,
              (std::vector<std::string>{"upper:down(0 30,30)", "lower:up(1 10,10)", "lower:enter(0 10,10)",
                                        "lower:move(0 10,10)", "lower:move(0 11,10)", "lower:leave(0)",
                                        "upper:enter(0 40,40)", "upper:move(0 40,40)", "upper:leave(0)"}));
    EXPECT_EQ(panel.hovered(0), nullptr);

    // The empty part of a container is not inside it, unless it hits whole.
    EXPECT_FALSE(panel.containsPoint({290, 240}));
    EXPECT_TRUE(panel.containsPoint({110, 60}));
    panel.setHitWholeRect(true);
    EXPECT_TRUE(panel.containsPoint({290, 240}));
}

TEST(ContainerTest, EmptyAreaRunsOwnCallbacksAndLeaveBeforeChildEnter)
{
    struct Log
    {
        std::vector<std::string> events;
        void down(FWidget&, int32_t, int32_t, FPointI p)
        {
            events.push_back("down " + std::to_string(p.x) + "," + std::to_string(p.y));
        }
        void leave(FWidget&, int32_t) { events.push_back("panel leave"); }
    } log;
    std::vector<std::string> childLog;
    TestScreen screen;
    FContainer panel(&screen, true);
    panel.setWidgetRect({10, 10, 110, 110});
    panel.setScrollOffset({5, 0});
    LoggingWidget child(&panel, "child", childLog, {50, 0, 100, 50});
    auto* down = makeObjectDelegate(&log, &decltype(log)::down);
    auto* leave = makeObjectDelegate(&log, &decltype(log)::leave);
    panel.setPointerDownCallback(down);
    panel.setPointerLeaveCallback(leave);
    engineFree(down);
    engineFree(leave);

    panel.onPointerDown(0, k_mouseLeft, {20, 20}); // scroll shifts the child space
    panel.onPointerMove(0, {20, 20});
    panel.onPointerMove(0, {60, 20});
    EXPECT_EQ(log.events, (std::vector<std::string>{"down 15,10", "panel leave"}));
    EXPECT_EQ(childLog.back(), "child:move(0 55,10)");
    EXPECT_EQ(panel.getAbsolutePosition(), (FPointI{5, 10}));
}

TEST(ContainerTest, NoHoverWhileTheApplicationIsInactive)
{
    std::vector<std::string> log;
    TestScreen screen;
    LoggingWidget child(&screen, "child", log, {0, 0, 10, 10});
    log.clear();
    FScreen::setAppActive(false);
    screen.onPointerMove(0, {1, 1});
    FScreen::setAppActive(true);
    EXPECT_TRUE(log.empty());
}

// The plain rotation of p by degrees about c, truncated like the container.
FPointI rotated(FPointI p, FPointI c, double degrees)
{
    const double q = degrees * M_PI / 180.0;
    const double dx = p.x - c.x;
    const double dy = p.y - c.y;
    return {c.x + int32_t(std::trunc(dx * std::cos(q) - dy * std::sin(q))),
            c.y + int32_t(std::trunc(dx * std::sin(q) + dy * std::cos(q)))};
}

TEST(ContainerTest, RotationMapsEveryQuadrantAlike)
{
    TestScreen screen;
    FContainer panel(&screen, true);
    panel.setWidgetRect({100, 100, 300, 300});
    panel.setPivot({50, 40});
    const FPointI c{150, 140};
    const FPointI offsets[] = {{10, 5},  {10, -5}, {10, 0},  {0, 7},    {0, -7},
                               {-10, 5}, {-10, 0}, {-9, -4}, {33, -61}, {-70, 2}};
    for (double degrees : {30.0, -45.0, 90.0, 200.0}) {
        panel.setRotation(float(degrees));
        for (FPointI d : offsets) {
            const FPointI p{c.x + d.x, c.y + d.y};
            const FPointI expected = rotated(p, c, degrees);
            const FPointI got = panel.parentToChildSpace(p);
            // Child space is the rectangle's space: shift by (left, top).
            EXPECT_NEAR(got.x, expected.x - 100, 1) << degrees << " " << d.x << "," << d.y;
            EXPECT_NEAR(got.y, expected.y - 100, 1) << degrees << " " << d.x << "," << d.y;
        }
    }
    panel.setRotation(30.0f);
    EXPECT_EQ(panel.parentToChildSpace({c.x + 10, c.y - 5}), (FPointI{50 + 11, 40 + 0}));
    EXPECT_EQ(panel.parentToChildSpace(c), (FPointI{50, 40})); // the pivot stays put
}

TEST(ContainerTest, ScaleAndScrollAboutThePivot)
{
    TestScreen screen;
    FContainer panel(&screen, true);
    panel.setWidgetRect({10, 20, 210, 220});
    EXPECT_EQ(panel.parentToChildSpace({15, 27}), (FPointI{5, 7})); // identity but for the origin
    panel.setScrollOffset({3, -4});
    EXPECT_EQ(panel.parentToChildSpace({15, 27}), (FPointI{8, 3}));
    panel.setScrollOffset({0, 0});
    panel.setUniformScale(2.0f);
    EXPECT_TRUE(panel.isScaled());
    EXPECT_EQ(panel.parentToChildSpace({30, 40}), (FPointI{10, 10}));
    panel.setPivot({100, 100});
    EXPECT_EQ(panel.parentToChildSpace({130, 140}), (FPointI{110, 110}));
    panel.setUniformScale(1.0f);
    EXPECT_FALSE(panel.isScaled());
}

TEST(ContainerTest, NestedTransformsComposeFromTheRoot)
{
    TestScreen screen;
    FContainer outer(&screen, true);
    outer.setWidgetRect({100, 0, 500, 400});
    FContainer inner(&outer, true);
    inner.setWidgetRect({50, 50, 150, 150});
    inner.setUniformScale(0.5f);
    EXPECT_EQ(inner.toChildSpace({160, 60}, nullptr), (FPointI{20, 20}));
    EXPECT_EQ(inner.toChildSpace({60, 60}, &outer), (FPointI{20, 20}));
    EXPECT_EQ(inner.toChildSpace({7, 8}, &inner), (FPointI{7, 8}));
}

TEST(ContainerTest, DepthProjectionNumbers)
{
    struct Case
    {
        int32_t logicalWidth;
        FPointI display;
        double scale;
        FPointI offset;
    };
    // depth 1, camera at the origin, no scroll: f = k / (2 W tan 30deg),
    // o.x = -W tan 30deg f, o.y = H (m / 2 + tan 22) f with H = (w W / h) / 2.
    const Case cases[] = {
        {1024, {1024, 768}, 0.8660254, {-512, 300}},
        {1280, {1280, 960}, 1.1547005, {-640, 376}}, // 1280 is taken as 960
        {1280, {854, 480}, 0.5773503, {-320, 201}},  // 854 wide: k = 640, m = 0.8
    };
    for (const Case& c : cases) {
        TestScreen screen;
        screen.setLogicalWidth(c.logicalWidth);
        screen.display = c.display;
        FContainer panel(&screen, true);
        panel.setDepth(1.0f);
        const FContainer::Projection p = panel.projection();
        EXPECT_TRUE(p.projected);
        EXPECT_NEAR(p.scaleX, c.scale, 1e-5);
        EXPECT_NEAR(p.scaleY, c.scale, 1e-5);
        EXPECT_NEAR(p.offset.x, c.offset.x, 1) << c.display.x;
        EXPECT_NEAR(p.offset.y, c.offset.y, 1) << c.display.x;
    }
    TestScreen screen;
    FContainer panel(&screen, true);
    panel.setScrollOffset({4, 5});
    const FContainer::Projection flat = panel.projection();
    EXPECT_FALSE(flat.projected);
    EXPECT_EQ(flat.offset, (FPointI{4, 5}));
}

TEST(ContainerTest, ChildOrderOperations)
{
    std::vector<std::string> log;
    FContainer panel;
    LoggingWidget a(&panel, "a", log, {});
    LoggingWidget b(&panel, "b", log, {});
    LoggingWidget c(&panel, "c", log, {});
    a.bringToFront();
    EXPECT_EQ(panel.children(), (std::vector<FWidget*>{&b, &c, &a}));
    a.placeBelow(b);
    EXPECT_EQ(panel.children(), (std::vector<FWidget*>{&a, &b, &c}));
    c.placeBelow(a);
    EXPECT_EQ(panel.children(), (std::vector<FWidget*>{&c, &a, &b}));
}

class ContainerLoadTest : public ::testing::Test
{
protected:
    void SetUp() override { FWidgetFactory::registerEngineTypes(); }

    FScreenRegistry registry;
    std::vector<int32_t> ids;
    TestScreen screen;

    void load(const ContainerRecord& record)
    {
        FRefT<FInStream> stream = streamOver(writeContainerRecord(record));
        screen.load(*stream.get(), registry, ids);
        EXPECT_EQ(stream->remaining(), 0);
    }
};

ContainerChild childOf(int32_t id, uint32_t type, std::vector<uint8_t> record)
{
    return ContainerChild{id, type, std::move(record)};
}

TEST_F(ContainerLoadTest, NestedChildrenAreBuiltRegisteredAndOwned)
{
    ContainerRecord inner;
    inner.widget = {5, 6, 100, 50, 0, 1};
    inner.scrollX = -7;
    inner.scaleYThousandths = 1500;
    inner.children.push_back(childOf(3, WidgetType::k_marker, writeWidgetPart({1, 2, 3, 4, 0, 1})));
    ContainerRecord root;
    root.widget = {0, 0, 800, 600, 1, 1};
    root.depthThousandths = 0;
    root.children.push_back(childOf(1, WidgetType::k_container, writeContainerRecord(inner)));
    root.children.push_back(childOf(2, WidgetType::k_marker, writeWidgetPart({9, 9, 1, 1, 0, 0})));
    root.children.push_back(childOf(2, WidgetType::k_marker, writeWidgetPart({8, 8, 1, 1, 0, 0})));
    load(root);

    EXPECT_EQ(ids, (std::vector<int32_t>{3, 1, 2, 2}));
    ASSERT_EQ(screen.children().size(), 3u);
    auto* built = registry.findInFirst(1).as<FContainer>();
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built, screen.children()[0]);
    EXPECT_EQ(built->rect(), (FRectI{5, 6, 105, 56}));
    EXPECT_EQ(built->scrollOffset(), (FPointI{-7, 0}));
    EXPECT_TRUE(built->isScaled());
    EXPECT_FLOAT_EQ(built->scale().y, 1.5f);
    EXPECT_EQ(built->depth(), 0.0f);
    ASSERT_EQ(built->children().size(), 1u);
    auto* marker = registry.findInFirst(3).as<FWidget>();
    EXPECT_EQ(marker, built->children()[0]);
    EXPECT_EQ(marker->rect(), (FRectI{1, 2, 4, 6}));
    EXPECT_TRUE(marker->isVisible()); // the record may show a marker again
    EXPECT_TRUE(marker->isHitTestDisabled());
    // A later entry with the same id replaces the earlier one.
    EXPECT_EQ(registry.findInFirst(2).as<FWidget>()->rect().left, 8);
}

TEST_F(ContainerLoadTest, NonPositiveCountsBuildNothing)
{
    for (int16_t count : {int16_t(0), int16_t(-1), int16_t(-32768)}) {
        ContainerRecord root;
        std::vector<uint8_t> bytes = writeContainerRecord(root);
        bytes[30] = uint8_t(uint16_t(count) >> 8);
        bytes[31] = uint8_t(count);
        FRefT<FInStream> stream = streamOver(bytes);
        FContainer panel;
        panel.load(*stream.get(), registry, ids);
        EXPECT_TRUE(panel.children().empty());
    }
}

TEST_F(ContainerLoadTest, UnknownTypeAndTruncationFailWithAReport)
{
    RecordingErrorHandler errors;
    ContainerRecord root;
    root.children.push_back(childOf(42, 0x12AB34CD, writeWidgetPart({})));
    EXPECT_ANY_THROW(load(root));
    ASSERT_EQ(errors.texts.size(), 1u);
    EXPECT_NE(utf8(errors.texts[0]).find("0x12AB34CD"), std::string::npos) << utf8(errors.texts[0]);

    ContainerRecord cut;
    cut.children.push_back(childOf(1, WidgetType::k_marker, writeWidgetPart({})));
    std::vector<uint8_t> bytes = writeContainerRecord(cut);
    bytes.resize(bytes.size() - 3);
    FRefT<FInStream> stream = streamOver(bytes);
    FContainer panel;
    EXPECT_ANY_THROW(panel.load(*stream.get(), registry, ids));
}

TEST(ColorRectTest, RecordRoundTripAndDescribe)
{
    FScreenRegistry registry;
    std::vector<int32_t> ids;
    std::vector<uint8_t> bytes = writeWidgetPart({1, 2, 3, 4, 0, 1});
    for (uint8_t b : {0x11, 0x22, 0x33, 0x44})
        bytes.push_back(b);
    FRefT<FInStream> stream = streamOver(bytes);
    FColorRect rect(nullptr, false);
    EXPECT_EQ(rect.colour(), 0xFF000000u);
    rect.load(*stream.get(), registry, ids);
    EXPECT_EQ(rect.colour(), 0x44112233u);

    FContainer panel;
    panel.setRotation(12.5f);
    panel.setScale({2.0f, 3.0f});
    EXPECT_EQ(panel.describe(),
              ": 0, 0 | 0 x 0 | visible | 0 | isRotated: true | angle: 12.5 | isScaled: true | "
              "scale: 2,3 | ");
}

} // namespace

namespace {

TEST(ContainerDrawTest, DrawsVisibleChildrenInOrderInsideItsClip)
{
    std::vector<std::string> log;
    struct AfterChildren : FContainer
    {
        std::vector<std::string>* log;
        size_t depthSeen = 0;
        void drawAfterChildren(FDrawContext& context) override
        {
            log->push_back("after");
            depthSeen = context.clipStack().depth();
        }
    } panel;
    panel.log = &log;
    panel.setWidgetRect({10, 10, 50, 50});
    LoggingWidget first(&panel, "first", log, {});
    LoggingWidget hidden(&panel, "hidden", log, {});
    LoggingWidget last(&panel, "last", log, {});
    hidden.setVisible(false);
    log.clear();

    FDrawCommandBuffer buffer;
    FDrawContext context({100, 100});
    context.beginFrame(buffer);
    panel.draw(context);
    EXPECT_EQ(log, (std::vector<std::string>{"first:draw", "last:draw", "after"}));
    EXPECT_EQ(panel.depthSeen, 1u);
    EXPECT_EQ(context.clipStack().depth(), 0u);
    EXPECT_EQ(buffer.recordCount(), 1); // the clear only: the leaves record nothing

    // A colour rectangle records one draw, none with alpha 0.
    FColorRect rect(&panel, true);
    rect.setWidgetRect({0, 0, 5, 5});
    rect.setColour(0x80FF0000u);
    context.beginFrame(buffer);
    panel.draw(context);
    EXPECT_EQ(buffer.recordCount(), 2);
    rect.setColour(0x00FF0000u);
    context.beginFrame(buffer);
    panel.draw(context);
    EXPECT_EQ(buffer.recordCount(), 1);
}

} // namespace

namespace {

TEST(ContainerDrawTest, DecorationDrawsBeforeTheContent)
{
    std::vector<std::string> log;
    FContainer panel;
    LoggingWidget child(&panel, "child", log, {});
    FContainer holder;
    auto* decoration = engineNew<LoggingWidget>(k_memObject, &holder, "decoration", log, FRectI{});
    panel.setDecoration(makeRef<FWidget>(decoration));
    log.clear();
    FDrawCommandBuffer buffer;
    FDrawContext context({100, 100});
    context.beginFrame(buffer);
    panel.draw(context);
    EXPECT_EQ(log, (std::vector<std::string>{"decoration:draw", "child:draw"}));
}

} // namespace

TEST_F(ContainerLoadTest, CancelledBuildStopsBeforeTheNextChild)
{
    ContainerRecord root;
    root.children.push_back(childOf(1, WidgetType::k_marker, writeWidgetPart({})));
    root.children.push_back(childOf(2, WidgetType::k_marker, writeWidgetPart({})));
    std::atomic<bool> cancelled{false};
    {
        // A build that is still wanted reads everything.
        FBuildCancel::Scope scope(cancelled);
        load(root);
        EXPECT_EQ(ids.size(), 2u);
    }
    ids.clear();
    cancelled = true;
    FBuildCancel::Scope scope(cancelled);
    FRefT<FInStream> stream = streamOver(writeContainerRecord(root));
    FContainer panel;
    EXPECT_THROW(panel.load(*stream.get(), registry, ids), FBuildCancel::Cancelled);
    EXPECT_TRUE(ids.empty());
    EXPECT_TRUE(panel.children().empty());
}
