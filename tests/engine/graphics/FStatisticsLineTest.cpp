#include "graphics/FStatisticsLine.h"

#include "FakeGraph.h"
#include "RecordingDevice.h"
#include "core/FApplication.h"
#include "graphics/FDisplayListener.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

namespace {

TEST(FStatisticsLineTest, TheLineShowsEveryCounterWithThousandsSeparators)
{
    struct Case
    {
        uint32_t ram, ramPeak, vram, vramPeak;
        int32_t fps;
        const char* line;
    } const cases[] = {
        {0, 0, 0, 0, 0, "ram:0 peak:0 vram:0 peak:0 fps:0"},
        {999, 1000, 12345, 1234567, 60, "ram:999 peak:1,000 vram:12,345 peak:1,234,567 fps:60"},
        // Past the formatter's range a counter shows the largest value.
        {0xFFFFFFFFu, 2147483647u, 0, 0, -1, "ram:2,147,483,647 peak:2,147,483,647 vram:0 peak:0 fps:-1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FStatisticsLine::format(c.ram, c.ramPeak, c.vram, c.vramPeak, c.fps), c.line);
}

TEST(FStatisticsLineTest, TheRateCountsTheFramesOfEachWholeSecond)
{
    FStatisticsLine meter;
    EXPECT_FALSE(meter.advance(5000)); // the first frame starts the count
    for (int i = 0; i < 30; ++i)
        meter.frameShown();
    EXPECT_FALSE(meter.advance(5999));
    EXPECT_EQ(meter.framesPerSecond(), 0);
    EXPECT_TRUE(meter.advance(6000));
    EXPECT_EQ(meter.framesPerSecond(), 30);
    // 45 frames over a second and a half.
    for (int i = 0; i < 45; ++i)
        meter.frameShown();
    EXPECT_TRUE(meter.advance(7500));
    EXPECT_EQ(meter.framesPerSecond(), 30);
    // No frames for a second: the rate falls to 0.
    EXPECT_TRUE(meter.advance(8600));
    EXPECT_EQ(meter.framesPerSecond(), 0);
    // A clock that goes back starts the count again.
    meter.frameShown();
    EXPECT_FALSE(meter.advance(100));
    EXPECT_FALSE(meter.advance(1099));
    EXPECT_TRUE(meter.advance(1100));
    EXPECT_EQ(meter.framesPerSecond(), 0);
}

// The window pixels (x right, y down from the top) the drawn quads cover.
std::set<std::pair<int, int>> coveredPixels(const RecordingDevice& device, int32_t height)
{
    std::set<std::pair<int, int>> pixels;
    for (const RecordingDevice::Draw& draw : device.draws) {
        for (std::size_t q = 0; q + 5 < draw.coloured.size(); q += 6) {
            float left = draw.coloured[q].x, right = left, low = draw.coloured[q].y, high = low;
            for (std::size_t v = q; v < q + 6; ++v) {
                left = std::min(left, draw.coloured[v].x);
                right = std::max(right, draw.coloured[v].x);
                low = std::min(low, draw.coloured[v].y);
                high = std::max(high, draw.coloured[v].y);
            }
            for (int y = static_cast<int>(height - high); y < static_cast<int>(height - low); ++y)
                for (int x = static_cast<int>(left); x < static_cast<int>(right); ++x)
                    pixels.insert({x, y});
        }
    }
    return pixels;
}

TEST(FStatisticsLineTest, EachCharacterFillsItsCellAtTheTopLeftInWhite)
{
    const std::string text = "r1 :?";
    RecordingDevice device;
    FStatisticsLine::draw(device, {200, 100}, text);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].kind, k_vertexColoured);
    EXPECT_EQ(device.draws[0].primitive, k_primTriangleList);
    for (const FColouredVertex& vertex : device.draws[0].coloured)
        EXPECT_EQ(vertex.colour, 0xFFFFFFFFu);
    EXPECT_EQ(device.viewports.back(), (FRectI{0, 0, 200, 100}));

    std::set<std::pair<int, int>> expected;
    const int s = FStatisticsLine::k_pixelScale;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const uint8_t* rows = FStatisticsLine::glyph(text[i]);
        if (text[i] == '?') {
            EXPECT_EQ(rows, nullptr); // not in the font: an empty cell
            continue;
        }
        ASSERT_NE(rows, nullptr) << text[i];
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if (rows[row] & (0x10 >> column))
                    for (int dy = 0; dy < s; ++dy)
                        for (int dx = 0; dx < s; ++dx)
                            expected.insert(
                                {static_cast<int>(i) * FStatisticsLine::k_cellWidth * s + column * s + dx,
                                 row * s + dy});
    }
    EXPECT_EQ(coveredPixels(device, 100), expected);
    // Every character the line can hold has a glyph.
    for (const char c : FStatisticsLine::format(1234, 5678, 0, 0, 90))
        EXPECT_NE(FStatisticsLine::glyph(c), nullptr) << c;
}

class CountingDisplay : public FDisplayListener
{
public:
    using FDisplayListener::FDisplayListener;
    void redrawWanted() override {}
    void frameRendered() override {}
    void drawContextChanged(FDrawContext*) override {}
    void framePresented() override { ++presented; }
    int presented = 0;
};

TEST(FStatisticsLineTest, TheGraphicsModuleDrawsTheLineOnEveryPaintWhileAsked)
{
    FApplication application;
    CountingDisplay display(application.serviceSlot(k_slotInvalidation));
    FakeGraph graph;
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFixedWindow);
    ASSERT_TRUE(graph.hasWindow());
    application.setMemoryUse(1500, 2500);
    graph.onPaint(); // the first frame, without the line
    EXPECT_EQ(graph.presents, 1);
    EXPECT_TRUE(graph.device.draws.empty());
    graph.onPaint(); // nothing pending: nothing drawn
    EXPECT_EQ(graph.presents, 1);

    application.setShowStatistics(1);
    for (int paint = 0; paint < 2; ++paint) {
        // Nothing pending, yet the last frame is painted again under the line.
        graph.onPaint();
        EXPECT_EQ(graph.presents, 2 + paint);
        ASSERT_EQ(graph.device.draws.size(), 1u);
        // The counters as the application holds them; no second has passed
        // for a rate yet.
        RecordingDevice expected;
        FStatisticsLine::draw(expected, {800, 600}, "ram:1,500 peak:2,500 vram:0 peak:0 fps:0");
        EXPECT_EQ(coveredPixels(graph.device, 600), coveredPixels(expected, 600));
    }
    // Only frames of the game tell the listener they were shown.
    EXPECT_EQ(display.presented, 1);
    graph.requestRedraw();
    graph.onPaint();
    EXPECT_EQ(display.presented, 2);
    EXPECT_EQ(graph.pendingPaints(), 0);

    application.setShowStatistics(0);
    graph.onPaint();
    EXPECT_EQ(graph.presents, 4);
}

} // namespace
