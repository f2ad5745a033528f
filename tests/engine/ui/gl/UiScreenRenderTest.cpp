// A small screen drawn through the OpenGL device (Mesa's llvmpipe under the
// offscreen video driver in CI), read back before it is presented and
// compared with a picture the test composes from the widgets' geometry.
#include "engine/platform/gl/GlRenderSupport.h"
#include "engine/ui/SyntheticFont.h"

#include "ui/FButton.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

using namespace glrender;

constexpr int32_t k_width = 96;
constexpr int32_t k_height = 64;
constexpr uint32_t k_background = 0xFF203040u;
constexpr uint32_t k_labelColour = 0xFFFFFF00u;
constexpr uint32_t k_buttonColour = 0xFF2080E0u;
constexpr uint32_t k_captionColour = 0xFF00FFFFu;
constexpr uint32_t k_black = 0xFF000000u;

// Distinct colours in every row and column; y counts up from the bottom.
uint32_t pattern(int32_t x, int32_t y)
{
    return 0xFF000000u | static_cast<uint32_t>(x * 16 + 8) << 16 | static_cast<uint32_t>(y * 16 + 8) << 8 |
           0x60u;
}

class UiRenderTest : public FontWidgetFixture
{
protected:
    void SetUp() override
    {
        std::string failure;
        try {
            graph.createWindowAndDevice({k_width, k_height}, {k_width, k_height}, FGraph::k_modeFixedWindow);
        } catch (const std::exception& thrown) {
            failure = thrown.what();
        }
        if (!graph.hasWindow()) {
            GTEST_SKIP() << "SKIPPED: no OpenGL 2.1 context could be made headless (" << failure << " "
                         << graph.lastError()
                         << "); this test needs Mesa's EGL with llvmpipe under SDL_VIDEODRIVER=offscreen "
                            "(packages libegl1, libegl-mesa0, libgl1-mesa-dri)";
        }
        std::cout << "Renderer: " << graph.glDevice()->rendererName() << std::endl;
    }

    std::vector<uint8_t> render(FScreen& screen)
    {
        screen.draw(graph.beginFrameRecording());
        graph.endFrameRecording();
        readBack.pixels.clear();
        graph.onPaint();
        EXPECT_FALSE(readBack.pixels.empty()) << "no frame was rendered";
        return readBack.pixels;
    }

    // The synthetic font's glyphs are opaque 4 x 4 squares 10 pixels apart.
    void expectGlyphs(FPointI firstTopLeft, int count, uint32_t colour)
    {
        for (int i = 0; i < count; ++i)
            expected.fill(
                {firstTopLeft.x + 10 * i, firstTopLeft.y, firstTopLeft.x + 10 * i + 4, firstTopLeft.y + 4},
                colour);
    }

    TestGraph graph;
    ReadBack readBack{application.serviceSlot(k_slotInvalidation), graph};
    Picture expected{k_width, k_height};
};

TEST_F(UiRenderTest, ImageLabelWithShadowAndButton)
{
    TestScreen screen;
    screen.setWidgetRect({0, 0, k_width, k_height});
    FImageWidget background(&screen);
    background.setImage(makeSolidImage(8, 8, k_background), false);
    background.setWidgetRect({0, 0, k_width, k_height});
    FImageWidget picture(&screen);
    picture.setImage(makeBgraImage(16, 16, pattern), true);
    picture.setWidgetPosition(4, 4);

    FLabel label(&screen);
    label.setWidgetRect({24, 4, 90, 24});
    label.setFont(font);
    label.setText(FString("ac"));
    label.setColor(k_labelColour);
    label.setShadowDelta(2, 1);
    label.setOrigin(2, 12);

    // A 24 x 12 skin image over a button of its size, its shadow 2 pixels
    // down and right, and a one-letter caption with a shadow of its own.
    registry.insertAsset(40, makeSolidImage(24, 12, k_buttonColour));
    SkinData data;
    data.states[FSkin::k_normal].imageId = 40;
    data.states[FSkin::k_normal].imageValues[0] = 2;
    data.states[FSkin::k_normal].imageValues[1] = 2;
    data.states[FSkin::k_normal].fontId = static_cast<int16_t>(k_fontId);
    data.states[FSkin::k_normal].textRgba = {0x00, 0xFF, 0xFF, 0xFF};
    data.states[FSkin::k_normal].fontValues[0] = 1;
    data.states[FSkin::k_normal].fontValues[1] = 1;
    FButton button(&screen);
    button.setWidgetRect({30, 36, 54, 48});
    button.setSkin(readSkin(data, registry));
    button.caption().setText(FString("a"));
    button.caption().setOrigin(4, 10);

    const std::vector<uint8_t> pixels = render(screen);

    expected.fill({0, 0, k_width, k_height}, k_background);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x)
            expected.blend(4 + x, 4 + y, pattern(x, 15 - y));
    // Each glyph's square sits 8 above the base line at the origin.
    expectGlyphs({24 + 2 + 2, 4 + 12 - 8 + 1}, 2, k_black);
    expectGlyphs({24 + 2, 4 + 12 - 8}, 2, k_labelColour);
    expected.fill({32, 38, 56, 50}, k_black);
    expected.fill({30, 36, 54, 48}, k_buttonColour);
    expectGlyphs({30 + 4 + 1, 36 + 10 - 8 + 1}, 1, k_black);
    expectGlyphs({30 + 4, 36 + 10 - 8}, 1, k_captionColour);
    // Every edge here falls on a pixel boundary and every picture is drawn
    // at its own size (or from one colour), so filtering changes nothing; 2
    // per channel allows for rounding in the rasteriser's blending.
    expected.expectMatches(pixels, 2.0f);
}

} // namespace
