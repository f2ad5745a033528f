#include "PlayFieldTestSupport.h"

#include "game/widgets/ForwardingMapView.h"

#include <gtest/gtest.h>

namespace {

TEST(ForwardingMapViewTest, PointerInputReachesTheMainViewShiftedByTheOwnWidth)
{
    RecordingPlayServices services;
    std::unique_ptr<GameSession> session = sessionWithTask(6, 2);
    services.session = session.get();
    PlayScreen screen;
    screen.map = makeRef(engineNew<MapView>(k_memObject, &screen, true));
    screen.map->setWidgetRect({0, 0, 640, 480});
    ForwardingMapView second(&screen);
    second.setWidgetRect({0, 0, 400, 300});
    second.setMainView(screen.map.get());

    second.onPointerDown(0, 8, {450, 120});
    EXPECT_EQ(screen.map->dragState(), MapView::k_dragPressed);
    EXPECT_EQ(screen.map->lastPoint(), (FPointI{50, 120}));
    EXPECT_EQ(screen.capture(0), &second) << "the rest of the gesture comes here";
    second.onPointerMove(0, {470, 130});
    EXPECT_EQ(screen.map->lastPoint(), (FPointI{70, 130}));
    second.onPointerUp(0, 8, {480, 140});
    EXPECT_EQ(screen.map->dragState(), MapView::k_dragIdle);
    EXPECT_EQ(screen.map->lastPoint(), (FPointI{80, 140}));
    EXPECT_EQ(screen.capture(0), nullptr);
    // The second view itself was never pressed.
    EXPECT_EQ(second.dragState(), MapView::k_dragIdle);
    EXPECT_EQ(screen.panels[0].calls.size(), 0u);
}

} // namespace
