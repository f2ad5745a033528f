#include "graphics/FGraphCommon.h"

#include "FakeGraph.h"
#include "core/FApplication.h"
#include "core/FErrorHandler.h"
#include "graphics/FCursorImage.h"
#include "graphics/FDisplayListener.h"
#include "graphics/FShapeEmitter.h"
#include "graphics/FTextureRegistry.h"
#include "support/QuietErrorHandler.h"

#include <gtest/gtest.h>

namespace {

TEST(GraphGeometryTest, LetterboxFitCentresThePicture)
{
    struct Case
    {
        FPointI client;
        FRectI expected;
    } const cases[] = {
        {{1000, 600}, {100, 0, 900, 600}}, // wider: strips left and right
        {{805, 600}, {0, 0, 805, 600}},    // within 1 %: the client's width
        {{800, 700}, {0, 50, 800, 650}},   // taller: strips above and below
        {{1600, 1200}, {0, 0, 1600, 1200}}, {{400, 600}, {0, 150, 400, 450}},
    };
    for (const Case& c : cases) {
        FRectI rect{0, 0, c.client.x, c.client.y};
        FGraphCommon::letterboxFit(c.client, {800, 600}, rect);
        EXPECT_EQ(rect, c.expected) << c.client.x << " x " << c.client.y;
    }
}

TEST(GraphGeometryTest, AspectClassesComeFromTheDisplayRatio)
{
    struct Case
    {
        FPointI display;
        FGraphCommon::AspectClass expected;
    } const cases[] = {
        {{1700, 1000}, FGraphCommon::k_aspect16by9},  // exactly 1.7
        {{1550, 1000}, FGraphCommon::k_aspect4by3},   // exactly 1.55
        {{1800, 1000}, FGraphCommon::k_aspect4by3},   // exactly 1.8
        {{1920, 1200}, FGraphCommon::k_aspect16by10}, // 1.6
        {{1920, 1080}, FGraphCommon::k_aspect16by9},  {{1024, 768}, FGraphCommon::k_aspect4by3},
        {{0, 0}, FGraphCommon::k_aspect4by3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FGraphCommon::aspectClass(c.display), c.expected) << c.display.x << " x " << c.display.y;
}

TEST(GraphGeometryTest, FullScreenPlacesThePictureByTheAspectTransform)
{
    // The 1024 x 768 back buffer fills the screen; 800 x 600 of picture
    // become 800 x 720 at (112, 24) for 16:10 and 800 x 768 at (112, 0) for
    // 16:9, scaled with the screen.
    const FScreenTransform wide10 = FGraphCommon::aspectTransform(FGraphCommon::k_aspect16by10, true);
    const FScreenTransform wide9 = FGraphCommon::aspectTransform(FGraphCommon::k_aspect16by9, true);
    EXPECT_EQ(FGraphCommon::pictureRect({1024, 768}, {800, 600}, true, {1024, 768}, wide10),
              (FRectI{112, 24, 912, 744}));
    EXPECT_EQ(FGraphCommon::pictureRect({1024, 768}, {800, 600}, true, {1024, 768}, wide9),
              (FRectI{112, 0, 912, 768}));
    EXPECT_EQ(FGraphCommon::pictureRect({2048, 1536}, {800, 600}, true, {1024, 768}, wide10),
              (FRectI{224, 48, 1824, 1488}));
    EXPECT_EQ(FGraphCommon::aspectTransform(FGraphCommon::k_aspect16by9, false),
              (FScreenTransform{1.0f, 1.28f, 1.0f, 0.78125f, 0.0f, 0.0f}));
    EXPECT_EQ(FGraphCommon::aspectBackBuffer(FGraphCommon::k_aspect4by3), (FPointI{800, 600}));
}

TEST(GraphGeometryTest, VideoMemoryTiers)
{
    const std::pair<int32_t, int32_t> cases[] = {
        {0, 0},        {12582912, 0},  {12582913, 1},  {33554432, 1},  {67108864, 2},  {71303168, 2},
        {71303169, 3}, {138412032, 3}, {272629760, 4}, {272629761, 5}, {0x7FFFFFFF, 5}};
    for (const auto& [bytes, tier] : cases)
        EXPECT_EQ(FGraphCommon::videoMemoryTierOf(bytes), tier) << bytes;
}

class GraphTest : public ::testing::Test
{
protected:
    void open(int32_t mode = FGraph::k_modeFixedWindow)
    {
        m_graph.createWindowAndDevice({800, 600}, {800, 600}, mode);
        ASSERT_TRUE(m_graph.hasWindow());
    }

    FApplication m_application;
    FakeGraph m_graph;
};

TEST_F(GraphTest, PublishesItselfInTheGraphicsSlot)
{
    EXPECT_EQ(m_application.service(k_slotGraphics), static_cast<FAppListener*>(&m_graph));
}

TEST_F(GraphTest, SizeQueries)
{
    open();
    EXPECT_FALSE(m_graph.isWiderThan4by3());
    EXPECT_FALSE(m_graph.isFullScreen());
    m_graph.setApplicationSize({1280, 720});
    EXPECT_TRUE(m_graph.isWiderThan4by3());
    m_graph.setApplicationSize({1024, 768});
    EXPECT_FALSE(m_graph.isWiderThan4by3());
}

TEST_F(GraphTest, FullScreenNeedsTheWholeApplicationSize)
{
    open(FGraph::k_modeFullScreen);
    EXPECT_TRUE(m_graph.isFullScreen());
    m_graph.setApplicationSize({640, 600});
    EXPECT_FALSE(m_graph.isFullScreen());
}

TEST_F(GraphTest, AFullScreenWindowThatCannotOpenFallsBackToAWindow)
{
    m_graph.failOpen = true;
    QuietErrorHandler quiet;
    FErrorHandler* previous = FErrorHandler::install(&quiet);
    EXPECT_ANY_THROW(m_graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFullScreen));
    FErrorHandler::install(previous);
    EXPECT_EQ(m_graph.openedModes, (std::vector<int32_t>{0, 1}));
    EXPECT_FALSE(m_graph.hasWindow());
}

TEST_F(GraphTest, ModeChanges)
{
    open();
    EXPECT_EQ(m_graph.getViewportRect(), (FRectI{0, 0, 800, 600}));
    m_graph.setWindowMode(FGraph::k_modeDesktopBorderless); // only the record changes
    m_graph.setWindowMode(FGraph::k_modeDesktopBorderless);
    EXPECT_EQ(m_graph.getWindowMode(), FGraph::k_modeDesktopBorderless);
    EXPECT_TRUE(m_graph.platformCalls.empty());

    m_graph.setWindowMode(FGraph::k_modeFixedWindow);
    m_graph.display = {1920, 1200};
    m_graph.setWindowMode(FGraph::k_modeFullScreen);
    EXPECT_EQ(m_graph.getScreenTransform(), (FScreenTransform{1.0f, 1.2f, 1.0f, 0.8333333f, 112.0f, 24.0f}));
    // The 1024 x 768 back buffer stretched to 1920 x 1200.
    EXPECT_EQ(m_graph.getViewportRect(), (FRectI{210, 38, 1710, 1163}));
    m_graph.setWindowSize({640, 480}); // nothing in full screen
    m_graph.setWindowMode(FGraph::k_modeResizableWindow);
    EXPECT_EQ(m_graph.getScreenTransform(), FScreenTransform{});
    EXPECT_EQ(m_graph.platformCalls, (std::vector<std::string>{"mode 0", "mode 2"}));
}

TEST_F(GraphTest, CursorRequestsReachThePlatformOnlyWhenTheyChangeSomething)
{
    open();
    m_graph.showSystemCursor(false);
    m_graph.showSystemCursor(false);
    m_graph.setSystemCursorVisible(true);
    FRefT<FCursorImage> cursor =
        makeRef(engineNew<FCursorImage>(k_memObject, FRefT<FImage>(), FPointI{1, 2}));
    m_graph.setCursor(cursor);
    m_graph.setCursor(cursor);
    m_graph.setCursor(FRefT<FCursorImage>());
    m_graph.clipCursor({0, 0, 10, 10});
    m_graph.releaseCursorClip();
    EXPECT_EQ(m_graph.platformCalls,
              (std::vector<std::string>{"hideCursor", "showCursor", "cursor", "arrow", "clip", "unclip"}));
}

TEST_F(GraphTest, OnePaintRendersOnePendingFrame)
{
    m_graph.onPaint();
    EXPECT_EQ(m_graph.presents, 0); // no window yet
    open();
    m_graph.onPaint(); // the first frame after creation
    EXPECT_EQ(m_graph.presents, 1);
    m_graph.onPaint();
    EXPECT_EQ(m_graph.presents, 1);
    m_graph.requestRedraw();
    m_graph.requestRedraw();
    m_graph.onPaint();
    EXPECT_EQ(m_graph.pendingPaints(), 1);
    m_graph.onPaint();
    EXPECT_EQ(m_graph.presents, 3);
    EXPECT_EQ(m_graph.presentedFrames(), 3u);
}

TEST_F(GraphTest, EveryFrameStartsFromTheSameStateWithTheBackgroundUnderThePicture)
{
    open();
    m_graph.onPaint();
    m_graph.setBackgroundImage(makeSolidImage(8, 8, 0xFF00FF00u));
    FDrawContext& context = *m_graph.getDrawContext();
    FRefT<FImage> sprite = makeSolidImage(4, 4, 0xFFFFFFFFu);

    m_graph.beginFrameRecording();
    context.buffer()->pushBlendMode(k_blendAdditive);
    FShapeEmitter::drawImage(context, sprite, {10, 10});
    m_graph.endFrameRecording();
    m_graph.onPaint();

    m_graph.beginFrameRecording();
    FShapeEmitter::pushColouredPolygon(context, 0xFF0000FFu, {0, 0, 10, 10});
    m_graph.endFrameRecording();
    m_graph.onPaint();
    EXPECT_EQ(m_graph.device.calls.back(), "end");
    // From the last "begin": the whole window for the background, then the
    // picture with the recorded clear and the coloured shape, untextured
    // and in the default blend mode.
    std::vector<std::string> frame;
    for (auto it = m_graph.device.calls.rbegin(); it != m_graph.device.calls.rend() && frame.empty(); ++it) {
        if (*it == "begin") frame.assign(it.base() - 1, m_graph.device.calls.end());
    }
    EXPECT_EQ(frame, (std::vector<std::string>{"begin", "viewport", "clear", "draw", "viewport", "clear",
                                               "draw", "end"}));
    ASSERT_EQ(m_graph.device.draws.size(), 2u);
    EXPECT_EQ(m_graph.device.draws[0].kind, k_vertexTextured); // the background
    EXPECT_EQ(m_graph.device.draws[0].textured.size(), 4u);
    EXPECT_EQ(m_graph.device.draws[1].kind, k_vertexColoured);
    EXPECT_EQ(m_graph.device.draws[1].texture, 0u);
    EXPECT_EQ(m_graph.device.viewports.back(), (FRectI{0, 0, 800, 600}));

    // A redraw without a new recording shows the last frame again, also
    // while the next one is being recorded.
    m_graph.beginFrameRecording();
    FShapeEmitter::pushColouredPolygon(context, 0xFFFF0000u, {0, 0, 10, 10});
    m_graph.requestRedraw();
    m_graph.onPaint();
    ASSERT_EQ(m_graph.device.draws.size(), 2u);
    EXPECT_EQ(m_graph.device.draws[1].coloured[0].colour, 0xFF0000FFu);
    m_graph.endFrameRecording();
    m_graph.onPaint();
    ASSERT_EQ(m_graph.device.draws.size(), 2u);
    EXPECT_EQ(m_graph.device.draws[1].coloured[0].colour, 0xFFFF0000u);
}

TEST_F(GraphTest, DestroyingTheWindowGivesEveryTextureBack)
{
    open();
    FRefT<FImage> sprite = makeSolidImage(4, 4, 0xFFFFFFFFu);
    FShapeEmitter::drawImage(m_graph.beginFrameRecording(), sprite, {10, 10});
    m_graph.endFrameRecording();
    m_graph.onPaint();
    ASSERT_EQ(m_graph.device.created.size(), 1u);
    m_graph.destroyWindow();
    EXPECT_FALSE(m_graph.hasWindow());
    EXPECT_EQ(m_graph.device.released, (std::vector<uint32_t>{1}));
    EXPECT_FALSE(sprite->material()->hasTexture());
    EXPECT_EQ(m_graph.platformCalls.back(), "close");
    m_graph.destroyWindow(); // once only
    EXPECT_EQ(m_graph.platformCalls.size(), 2u);
}

} // namespace
