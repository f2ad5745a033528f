#include "UiTestSupport.h"

#include "asset/FScreenRegistry.h"
#include "core/FPointerButton.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "ui/FMarkerWidget.h"
#include "ui/FScreen.h"

#include <gtest/gtest.h>

namespace {

class PlainWidget : public FWidget
{
public:
    using FWidget::FWidget;
    void draw(FDrawContext&) override {}
};

TEST(WidgetTest, RecordRoundTrip)
{
    struct Case
    {
        WidgetPart part;
        FRectI rect;
        bool layout;
        bool visible;
    };
    const Case cases[] = {
        {{10, 20, 30, 40, 1, 1}, {10, 20, 40, 60}, true, true},
        {{-3, 7, -5, 2, 0, 0}, {-3, 7, -8, 9}, false, false}, // signed width: right = x - 5
        {{0, 0, 1, 1, 2, 2}, {0, 0, 1, 1}, false, false},     // only 1 sets a flag
    };
    for (const Case& c : cases) {
        FScreenRegistry registry;
        std::vector<int32_t> ids;
        PlainWidget widget;
        FRefT<FInStream> stream = streamOver(writeWidgetPart(c.part));
        widget.load(*stream.get(), registry, ids);
        EXPECT_EQ(widget.rect(), c.rect);
        EXPECT_EQ(widget.layoutFlag(), c.layout);
        EXPECT_EQ(widget.isVisible(), c.visible);
        EXPECT_EQ(stream->remaining(), 0);
        EXPECT_TRUE(ids.empty());
    }
}

TEST(WidgetTest, ContainmentAndOverlapEdges)
{
    PlainWidget widget;
    widget.setWidgetRect({10, 20, 30, 40});
    const struct
    {
        FPointI point;
        bool inside;
    } points[] = {{{10, 20}, true}, {{29, 39}, true}, {{30, 25}, false}, {{15, 40}, false}, {{9, 25}, false}};
    for (const auto& p : points) {
        EXPECT_EQ(widget.containsPoint(p.point), p.inside) << p.point.x << "," << p.point.y;
        EXPECT_EQ(widget.containsAbsolutePoint(p.point), p.inside);
    }
    widget.setVisible(false); // visibility is no part of containment
    EXPECT_TRUE(widget.containsPoint({10, 20}));
    widget.setHitTestDisabled(true);
    EXPECT_FALSE(widget.containsPoint({10, 20}));
    EXPECT_FALSE(widget.containsAbsolutePoint({10, 20}));

    PlainWidget touching;
    touching.setWidgetRect({30, 40, 50, 60});
    EXPECT_TRUE(widget.overlaps(touching));
    touching.setWidgetRect({31, 40, 50, 60});
    EXPECT_FALSE(widget.overlaps(touching));
}

TEST(WidgetTest, GeometryHelpersNotify)
{
    std::vector<std::string> log;
    FContainer parent;
    LoggingWidget widget(&parent, "w", log, {0, 0, 10, 10});
    log.clear();
    widget.setWidgetRect({0, 0, 10, 10}); // unchanged: nothing
    EXPECT_TRUE(log.empty());
    widget.setWidgetSize(4, 6);
    EXPECT_EQ(widget.rect(), (FRectI{0, 0, 4, 6}));
    widget.setWidgetPosition(5, 5);
    EXPECT_EQ(widget.rect(), (FRectI{5, 5, 9, 11}));
    widget.moveBottomTo(20);
    EXPECT_EQ(widget.rect(), (FRectI{5, 14, 9, 20}));
    widget.moveWidgetBy(-5, -14);
    widget.setWidgetPosition(0, 0); // same place, but the plain setters always notify
    EXPECT_EQ(log,
              (std::vector<std::string>{"w:resized", "w:moved", "w:moved", "w:moved", "w:moved", "w:moved"}));

    widget.centerWidgetOnPoint({0, 0});
    EXPECT_EQ(widget.rect(), (FRectI{-2, -3, 2, 3}));
    EXPECT_EQ(FWidget::getRectCenter({-5, -5, 0, 0}), (FPointI{-3, -3})); // halves round toward zero
    EXPECT_EQ(FWidget::rectFromPositionAndSize({1, 2}, {3, 4}), (FRectI{1, 2, 4, 6}));
}

struct DragLog
{
    std::vector<std::string> events;
    void over(FWidget&, FWidget& target, int32_t) { events.push_back("over:" + name(target)); }
    void drop(FWidget&, FWidget& target, int32_t) { events.push_back("drop:" + name(target)); }
    void end(FWidget& widget, int32_t)
    {
        events.push_back("end@" + std::to_string(widget.rect().left) + "," +
                         std::to_string(widget.rect().top));
    }
    FWidget* first = nullptr;
    std::string name(FWidget& target) { return &target == first ? "first" : "second"; }
};

TEST(WidgetTest, DragEndsOverTwoTargetsAndReturnsToStart)
{
    FScreen screen;
    PlainWidget item(&screen, true);
    PlainWidget first(&screen, true);
    PlainWidget second(&screen, true);
    item.setWidgetRect({0, 0, 10, 10});
    first.setWidgetRect({100, 100, 120, 120});
    second.setWidgetRect({105, 105, 130, 130});
    DragLog log;
    log.first = &first;
    auto* over = makeObjectDelegate(&log, &DragLog::over);
    auto* drop = makeObjectDelegate(&log, &DragLog::drop);
    auto* end = makeObjectDelegate(&log, &DragLog::end);
    item.setDragOverCallback(over);
    item.setDropCallback(drop);
    item.setDragEndCallback(end);
    engineFree(over);
    engineFree(drop);
    engineFree(end);
    item.setDraggable(true);
    item.setReturnToStart(true);
    item.addDropTarget(&first);
    item.addDropTarget(&second);

    item.onPointerDown(0, k_mouseLeft, {4, 3});
    EXPECT_EQ(screen.capture(0), &item);
    item.onPointerMove(0, {110, 110});
    EXPECT_EQ(item.rect(), (FRectI{106, 107, 116, 117}));
    item.onPointerUp(0, k_mouseLeft, {110, 110});
    EXPECT_EQ(log.events, (std::vector<std::string>{"over:first", "over:second", "drop:first", "drop:second",
                                                    "end@106,107"}));
    EXPECT_EQ(item.rect(), (FRectI{0, 0, 10, 10}));
    EXPECT_EQ(screen.capture(0), nullptr);
    EXPECT_FALSE(item.isDragging());
}

TEST(WidgetTest, DestroyedWidgetLeavesParentAndCapture)
{
    FScreen screen;
    auto* widget = new PlainWidget(&screen, true);
    widget->capturePointer(2);
    EXPECT_EQ(screen.capture(2), widget);
    delete widget;
    EXPECT_EQ(screen.capture(2), nullptr);
    EXPECT_TRUE(screen.children().empty());
}

TEST(WidgetTest, NavigationLinksResolveThroughTheRegistry)
{
    FScreenRegistry registry;
    FContainer parent;
    FRefT<FMarkerWidget> target = makeRef(engineNew<FMarkerWidget>(k_memObject, &parent));
    registry.storeWidget(77, target);
    PlainWidget widget;
    widget.setNeighbourId(0xE004, 77);
    EXPECT_EQ(widget.lookupNeighbour(0xE004), nullptr);
    widget.resolveLinks(registry);
    EXPECT_EQ(widget.lookupNeighbour(0xE004), target.get());
    EXPECT_EQ(widget.lookupNeighbour(0xE003), nullptr);
}

TEST(WidgetTest, DescribeText)
{
    PlainWidget widget;
    widget.setWidgetRect({1, 2, 11, 22});
    EXPECT_EQ(widget.describe(), ": 1, 2 | 10 x 20 | visible | ");
}

} // namespace
