// Frames drawn by the OpenGL device (Mesa's llvmpipe under the offscreen
// video driver in CI), read back before they are presented and compared with
// pictures this test composes itself from the same inputs.
#include "engine/platform/gl/GlRenderSupport.h"
#include "platform/FGraphSdl.h"

#include "core/FApplication.h"
#include "engine/graphics/RecordingDevice.h"
#include "graphics/FDisplayListener.h"
#include "graphics/FShapeEmitter.h"
#include "graphics/FStatisticsLine.h"
#include "platform/FRenderDeviceGl.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <iostream>

namespace {

using namespace glrender;

// Distinct colours in every row and column, so a turned or mirrored picture
// cannot pass; y counts up from the bottom.
uint32_t pattern(int32_t x, int32_t y)
{
    return 0xFF000000u | static_cast<uint32_t>(x * 16 + 8) << 16 | static_cast<uint32_t>(y * 16 + 8) << 8 |
           0x60u;
}

class GlRenderTest : public ::testing::Test
{
protected:
    static constexpr int32_t k_width = 64;
    static constexpr int32_t k_height = 48;

    void open(FPointI size, int32_t mode)
    {
        try {
            m_graph.createWindowAndDevice(size, size, mode);
        } catch (const std::exception& failure) {
            ADD_FAILURE() << failure.what();
        }
        ASSERT_TRUE(m_graph.hasWindow())
            << "No OpenGL context could be made (" << m_graph.lastError()
            << "); the rendering tests need an OpenGL 2.1 context, e.g. Mesa's EGL with llvmpipe under "
               "SDL_VIDEODRIVER=offscreen (packages libegl1, libegl-mesa0, libgl1-mesa-dri)";
        const std::string renderer = m_graph.glDevice()->rendererName();
        std::cout << "Renderer: " << renderer << std::endl;
        RecordProperty("renderer", renderer);
    }

    void SetUp() override { open({k_width, k_height}, FGraph::k_modeFixedWindow); }

    std::vector<uint8_t> render(const std::function<void(FDrawContext&)>& draw)
    {
        FDrawContext& context = m_graph.beginFrameRecording();
        draw(context);
        m_graph.endFrameRecording();
        m_readBack.pixels.clear();
        m_graph.onPaint();
        EXPECT_FALSE(m_readBack.pixels.empty()) << "no frame was rendered";
        return m_readBack.pixels;
    }

    FApplication m_application;
    TestGraph m_graph;
    ReadBack m_readBack{m_application.serviceSlot(k_slotInvalidation), m_graph};
    Picture m_expected{k_width, k_height};
};

TEST_F(GlRenderTest, AnOpaqueSpriteShowsItsPixelsUpright)
{
    FRefT<FImage> sprite = makeBgraImage(16, 16, pattern);
    const auto pixels = render([&](FDrawContext& c) { FShapeEmitter::drawImage(c, sprite, {8, 8}); });
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x)
            m_expected.blend(8 + x, 8 + y, pattern(x, 15 - y));
    m_expected.expectMatches(pixels);
}

TEST_F(GlRenderTest, AlphaAndAdditiveBlending)
{
    FRefT<FImage> red = makeSolidImage(16, 16, 0x80FF0000u);
    FRefT<FImage> green = makeSolidImage(16, 16, 0x8000FF00u);
    const auto pixels = render([&](FDrawContext& c) {
        FShapeEmitter::pushColouredPolygon(c, 0xFF0000FFu, {0, 0, 32, 48});
        FShapeEmitter::pushColouredPolygon(c, 0xFF404040u, {32, 0, 64, 48});
        FShapeEmitter::drawImage(c, red, {8, 8});
        c.buffer()->pushBlendMode(k_blendAdditive);
        FShapeEmitter::drawImage(c, green, {40, 8});
        c.buffer()->pushBlendMode(k_blendAlpha);
        // Tinted by the vertex colour: half of the red picture's alpha.
        FShapeEmitter::pushTexturedPolygon({0, 0, 16, 16}, c, red, {8, 28}, 1, 1, 0x80FFFFFFu, 0, 0);
    });
    m_expected.fill({0, 0, 32, 48}, 0xFF0000FFu);
    m_expected.fill({32, 0, 64, 48}, 0xFF404040u);
    m_expected.fill({8, 8, 24, 24}, 0x80FF0000u);
    m_expected.fill({40, 8, 56, 24}, 0x8000FF00u, true);
    m_expected.fill({8, 28, 24, 44}, 0x40FF0000u);
    m_expected.expectMatches(pixels);
}

TEST_F(GlRenderTest, ManyPicturesOverlapInTheOrderTheyWereDrawn)
{
    // More pictures than the device binds at once, each over the last.
    std::vector<FRefT<FImage>> images;
    for (uint32_t i = 0; i < 11; ++i)
        images.push_back(makeSolidImage(16, 16, 0x80000000u | (i * 23) << 16 | (255 - i * 20) << 8 | i * 9));
    const auto pixels = render([&](FDrawContext& c) {
        for (size_t i = 0; i < images.size(); ++i) {
            const auto offset = static_cast<int32_t>(i * 3);
            FShapeEmitter::drawImage(c, images[i], {4 + offset, 4 + offset});
        }
    });
    for (uint32_t i = 0; i < 11; ++i) {
        const auto offset = static_cast<int32_t>(i * 3);
        m_expected.fill({4 + offset, 4 + offset, 20 + offset, 20 + offset},
                        0x80000000u | (i * 23) << 16 | (255 - i * 20) << 8 | i * 9);
    }
    m_expected.expectMatches(pixels);
}

TEST_F(GlRenderTest, BlendingDoesNotCarryIntoTheNextFrame)
{
    FRefT<FImage> green = makeSolidImage(16, 16, 0x8000FF00u);
    render([&](FDrawContext& c) { c.buffer()->pushBlendMode(k_blendAdditive); });
    const auto pixels = render([&](FDrawContext& c) {
        FShapeEmitter::pushColouredPolygon(c, 0xFF404040u, {0, 0, 64, 48});
        FShapeEmitter::drawImage(c, green, {8, 8});
    });
    m_expected.fill({0, 0, 64, 48}, 0xFF404040u);
    m_expected.fill({8, 8, 24, 24}, 0x8000FF00u);
    m_expected.expectMatches(pixels);
}

TEST_F(GlRenderTest, ATurnedSpriteCutByItsClip)
{
    FRefT<FImage> sprite = makeBgraImage(16, 16, pattern);
    const auto pixels = render([&](FDrawContext& c) {
        c.clipStack().pushClip({0, 0}, {0, 0, 32, 48}, 0.0f, {1, 1}, {0, 0}, false, false, true);
        FShapeEmitter::pushTexturedPolygon({0, 0, 16, 16}, c, sprite, {24, 16}, 1, 1, 0xFFFFFFFFu, 90.0f, 0);
        c.clipStack().pop();
    });
    // Turned a quarter about its centre (32, 24): the screen point (X, Y)
    // shows the sprite's point (56 - Y, X - 8).
    for (int32_t py = 16; py < 32; ++py) {
        for (int32_t px = 24; px < 32; ++px) {
            const int32_t column = static_cast<int32_t>(std::floor(56.0f - (py + 0.5f) - 24.0f));
            const int32_t rowFromTop = static_cast<int32_t>(std::floor((px + 0.5f) - 8.0f - 16.0f));
            m_expected.blend(px, py, pattern(column, 15 - rowFromTop));
        }
    }
    m_expected.expectMatches(pixels);
}

TEST_F(GlRenderTest, ATextRunOverTwoPagesDrawsEveryGlyphOnce)
{
    // Glyph 0: a half-transparent box; glyph 1: a two-pixel bar.
    auto glyphs = [](int32_t x, int32_t) -> uint32_t {
        if (x < 8) return 0x80FFFFFFu;
        return (x == 11 || x == 12) ? 0xFFFFFFFFu : 0x00FFFFFFu;
    };
    FRefT<FImage> pageA = makeBgraImage(16, 8, glyphs);
    FRefT<FImage> pageB = makeBgraImage(16, 8, glyphs);
    const uint32_t yellow = 0xFFFFFF00u;
    std::vector<FGlyphRunRecord> records;
    const auto pixels = render([&](FDrawContext& c) {
        FShapeEmitter::pushTextRun(c,
                                   {{pageA, {0, 0, 8, 8}, {4, 4}, 1.0f, yellow},
                                    {pageB, {8, 0, 16, 8}, {14, 4}, 1.0f, yellow},
                                    {pageA, {0, 0, 8, 8}, {24, 4}, 1.0f, yellow}},
                                   records);
    });
    m_expected.fill({4, 4, 12, 12}, 0x80FFFF00u);
    m_expected.fill({17, 4, 19, 12}, 0xFFFFFF00u);
    m_expected.fill({24, 4, 32, 12}, 0x80FFFF00u);
    m_expected.expectMatches(pixels);
}

TEST_F(GlRenderTest, TheStatisticsLineIsDrawnInWhiteAtTheWindowsTopLeft)
{
    // 64 pixels hold the first five cells of the line: "ram:1".
    m_application.setMemoryUse(1234, 5678);
    m_application.setShowStatistics(1);
    const auto pixels = render([](FDrawContext& c) {
        FShapeEmitter::pushColouredPolygon(c, 0xFF204060u, {0, 0, k_width, k_height});
    });
    m_expected.fill({0, 0, k_width, k_height}, 0xFF204060u);
    const std::string line = FStatisticsLine::format(1234, 5678, 0, 0, 0);
    const int32_t s = FStatisticsLine::k_pixelScale;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const uint8_t* rows = FStatisticsLine::glyph(line[i]);
        ASSERT_NE(rows, nullptr);
        const int32_t cell = static_cast<int32_t>(i) * FStatisticsLine::k_cellWidth * s;
        for (int32_t row = 0; row < 7; ++row)
            for (int32_t column = 0; column < 5; ++column)
                if (rows[row] & (0x10 >> column))
                    m_expected.fill({cell + column * s, row * s, cell + (column + 1) * s, (row + 1) * s},
                                    0xFFFFFFFFu);
    }
    m_expected.expectMatches(pixels);
    m_application.setShowStatistics(0);
}

TEST(GlDeviceQueryTest, TheGraphicsQueriesAnswerFromTheContext)
{
    FApplication application;
    TestGraph graph;
    // Before the window there is no device to ask.
    FString features;
    graph.describeFeatures(features);
    EXPECT_EQ(features.toUtf8(), "OpenGL features\nEnd of OpenGL features");
    EXPECT_EQ(graph.getColourBits(), 0);
    EXPECT_EQ(graph.getMaxTextureSize(), 0);
    EXPECT_FALSE(graph.hasHardwareRasterization());

    graph.createWindowAndDevice({64, 48}, {64, 48}, FGraph::k_modeFixedWindow);
    ASSERT_TRUE(graph.hasWindow()) << graph.lastError();
    // The context's own pixel format, as SDL reports it.
    int bits = 0;
    for (const SDL_GLattr attribute :
         {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE, SDL_GL_ALPHA_SIZE}) {
        int value = 0;
        ASSERT_EQ(SDL_GL_GetAttribute(attribute, &value), 0);
        bits += value;
    }
    EXPECT_EQ(graph.getColourBits(), bits);
    EXPECT_GE(graph.getColourBits(), 24);
    // OpenGL 2.1 promises at least 64; every driver we run on gives 2048 or more.
    EXPECT_GE(graph.getMaxTextureSize(), 2048);
    const std::string renderer = graph.glDevice()->rendererName();
    const bool software =
        renderer.find("llvmpipe") != std::string::npos || renderer.find("softpipe") != std::string::npos;
    if (software) {
        EXPECT_FALSE(graph.hasHardwareRasterization()) << renderer;
    }
    graph.describeFeatures(features);
    const std::string text = features.toUtf8();
    EXPECT_EQ(text.rfind("OpenGL features\nRenderer: ", 0), 0u) << text;
    EXPECT_NE(text.find("Maximum texture size: " + std::to_string(graph.getMaxTextureSize()) + "\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(std::string("Hardware rasterization: ") + (software ? "no" : "yes")),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 23), "\nEnd of OpenGL features");
}

struct LetterboxCase
{
    const char* name;
    FPointI display;
    // The picture in a 1024 x 768 back buffer.
    FRectI picture;
};

class GlLetterboxTest : public ::testing::TestWithParam<LetterboxCase>
{
};

TEST_P(GlLetterboxTest, ThePictureSitsInTheBackgroundAsTheAspectClassSays)
{
    const LetterboxCase& c = GetParam();
    FApplication application;
    TestGraph graph;
    graph.display = c.display;
    ReadBack readBack(application.serviceSlot(k_slotInvalidation), graph);
    graph.setBackgroundImage(makeSolidImage(8, 8, 0xFF00FF00u));
    graph.createWindowAndDevice({800, 600}, {800, 600}, FGraph::k_modeFullScreen);
    ASSERT_TRUE(graph.hasWindow()) << "No OpenGL context could be made (" << graph.lastError() << ")";
    FShapeEmitter::pushColouredPolygon(graph.beginFrameRecording(), 0xFFFF0000u, {0, 0, 800, 600});
    graph.endFrameRecording();
    graph.onPaint();
    ASSERT_FALSE(readBack.pixels.empty());

    // The back buffer fills the window, whatever size full screen gave it.
    const FPointI client = graph.getWindowSize();
    const float kx = static_cast<float>(client.x) / 1024.0f;
    const float ky = static_cast<float>(client.y) / 768.0f;
    const float left = c.picture.left * kx, right = c.picture.right * kx;
    const float top = c.picture.top * ky, bottom = c.picture.bottom * ky;
    int wrong = 0;
    for (int32_t y = 0; y < client.y; y += 3) {
        for (int32_t x = 0; x < client.x; x += 3) {
            const float cx = x + 0.5f, cy = y + 0.5f;
            // Pixels within 2 of the picture's edge may go either way.
            if (std::fabs(cx - left) < 2 || std::fabs(cx - right) < 2 || std::fabs(cy - top) < 2 ||
                std::fabs(cy - bottom) < 2)
                continue;
            const bool inside = cx > left && cx < right && cy > top && cy < bottom;
            const uint8_t* p = &readBack.pixels[(y * client.x + x) * 4];
            const bool red = p[0] > 253 && p[1] < 2 && p[2] < 2;
            const bool green = p[0] < 2 && p[1] > 253 && p[2] < 2;
            if ((inside ? !red : !green) && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " of " << client.x << " x " << client.y << ": "
                              << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
        }
    }
    EXPECT_EQ(wrong, 0);
    // The pointer maps through the same rectangle.
    EXPECT_NEAR(graph.getViewportRect().left, left, 1.0f);
    EXPECT_NEAR(graph.getViewportRect().bottom, bottom, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(Cases, GlLetterboxTest,
                         ::testing::Values(LetterboxCase{"sixteenByTen", {1680, 1050}, {112, 24, 912, 744}},
                                           LetterboxCase{"sixteenByNine", {1920, 1080}, {112, 0, 912, 768}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
