#include "FakeGraph.h"
#include "core/FApplication.h"
#include "core/FSemaphore.h"
#include "core/FUtilPlatform.h"
#include "graphics/FDisplayListener.h"
#include "graphics/FShapeEmitter.h"
#include "graphics/FTextureRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// The UI module's side of the hand-shake: a rendered frame lets the next one
// be recorded.
class PacingListener : public FDisplayListener
{
public:
    explicit PacingListener(FAppListener** slot) : FDisplayListener(slot) {}
    void redrawWanted() override {}
    void frameRendered() override { rendered.release(); }
    void drawContextChanged(FDrawContext*) override {}
    void framePresented() override {}

    FSemaphore rendered;
};

TEST(FrameCycleThreadTest, TheUiThreadRecordsWhileTheMainThreadReplays)
{
    constexpr int k_frames = 60;
    FApplication application;
    PacingListener listener(application.serviceSlot(k_slotInvalidation));
    FakeGraph graph;
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFixedWindow);
    ASSERT_TRUE(graph.hasWindow());

    std::atomic<bool> done{false};
    std::thread ui([&] {
        for (int frame = 0; frame < k_frames; ++frame) {
            FUtilPlatform::wait(&listener.rendered, FUtilPlatform::k_infinite);
            FDrawContext& context = graph.beginFrameRecording();
            // A new picture every frame, let go on this thread once recorded:
            // its texture must be freed on the main thread.
            FRefT<FImage> sprite = makeSolidImage(4, 4, 0xFF000000u | static_cast<uint32_t>(frame));
            FShapeEmitter::drawImage(context, sprite, {frame, 10});
            FShapeEmitter::pushColouredPolygon(context, 0xFF000000u | static_cast<uint32_t>(frame),
                                               {0, 0, 5, 5});
            graph.endFrameRecording();
        }
        done = true;
    });

    // The main loop: paint whatever is pending until every frame was shown.
    std::vector<uint32_t> shown;
    while (!done || graph.pendingPaints() > 0) {
        graph.onPaint();
        for (const auto& draw : graph.device.draws) {
            if (draw.kind == k_vertexColoured && (shown.empty() || shown.back() != draw.coloured[0].colour))
                shown.push_back(draw.coloured[0].colour);
        }
        std::this_thread::yield();
    }
    ui.join();
    graph.onPaint();
    graph.destroyWindow();

    // Paced by the listener, every frame was shown, once each and in order.
    ASSERT_EQ(shown.size(), static_cast<size_t>(k_frames));
    for (int frame = 0; frame < k_frames; ++frame)
        EXPECT_EQ(shown[frame], 0xFF000000u | static_cast<uint32_t>(frame));
    EXPECT_EQ(graph.device.created.size(), static_cast<size_t>(k_frames));
    EXPECT_EQ(graph.device.released.size(), static_cast<size_t>(k_frames));
    for (const std::thread::id& thread : graph.device.releaseThreads)
        EXPECT_EQ(thread, std::this_thread::get_id());
}

} // namespace
