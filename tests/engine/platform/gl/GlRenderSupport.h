#pragma once

// What the rendering tests share: a graphics module of a chosen display size,
// a listener that reads each frame back before it is presented, and the
// reference compositor that the read-back pixels are compared with.

#include "graphics/FDisplayListener.h"
#include "graphics/FDrawContext.h"
#include "platform/FGraphSdl.h"
#include "platform/FRenderDeviceGl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

namespace glrender {

struct Colour
{
    float r = 0, g = 0, b = 0;
};

inline Colour fromArgb(uint32_t argb)
{
    return {static_cast<float>((argb >> 16) & 0xFF), static_cast<float>((argb >> 8) & 0xFF),
            static_cast<float>(argb & 0xFF)};
}

inline float alphaOf(uint32_t argb)
{
    return static_cast<float>(argb >> 24) / 255.0f;
}

// The reference compositor: a picture of the application's size, y down.
class Picture
{
public:
    Picture(int32_t width, int32_t height) : m_width(width), m_height(height), m_pixels(width * height) {}

    void fill(const FRectI& rect, uint32_t argb, bool additive = false)
    {
        for (int32_t y = rect.top; y < rect.bottom; ++y)
            for (int32_t x = rect.left; x < rect.right; ++x)
                blend(x, y, argb, additive);
    }
    // Source over (or added to) the pixel, as the two blend modes do.
    void blend(int32_t x, int32_t y, uint32_t argb, bool additive = false)
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
        Colour& d = m_pixels[y * m_width + x];
        const Colour s = fromArgb(argb);
        const float a = alphaOf(argb);
        const float keep = additive ? 1.0f : 1.0f - a;
        d = {std::min(255.0f, s.r * a + d.r * keep), std::min(255.0f, s.g * a + d.g * keep),
             std::min(255.0f, s.b * a + d.b * keep)};
    }

    // Every pixel of rgba (R, G, B, A rows, top first) within tolerance per
    // channel.
    void expectMatches(const std::vector<uint8_t>& rgba, float tolerance = 2.0f) const
    {
        ASSERT_EQ(rgba.size(), m_pixels.size() * 4);
        int reported = 0;
        for (int32_t y = 0; y < m_height; ++y) {
            for (int32_t x = 0; x < m_width; ++x) {
                const Colour& e = m_pixels[y * m_width + x];
                const uint8_t* g = &rgba[(y * m_width + x) * 4];
                const bool near = std::fabs(g[0] - e.r) <= tolerance && std::fabs(g[1] - e.g) <= tolerance &&
                                  std::fabs(g[2] - e.b) <= tolerance;
                if (!near && reported++ < 5) {
                    ADD_FAILURE() << "pixel " << x << ", " << y << ": got " << int(g[0]) << " " << int(g[1])
                                  << " " << int(g[2]) << ", expected " << e.r << " " << e.g << " " << e.b;
                }
            }
        }
        EXPECT_EQ(reported, 0) << "pixels off by more than " << tolerance;
    }

private:
    int32_t m_width;
    int32_t m_height;
    std::vector<Colour> m_pixels;
};

// A graphics module whose display is of a chosen size.
class TestGraph : public FGraphSdl
{
public:
    FPointI display{0, 0};

protected:
    FPointI displaySize() override { return display.x > 0 ? display : FGraphSdl::displaySize(); }
};

// Reads the frame back just before it is presented.
class ReadBack : public FDisplayListener
{
public:
    ReadBack(FAppListener** slot, TestGraph& graph) : FDisplayListener(slot), m_graph(graph) {}
    void redrawWanted() override {}
    void frameRendered() override {}
    void drawContextChanged(FDrawContext*) override {}
    void framePresented() override
    {
        const FPointI size = m_graph.getWindowSize();
        pixels = m_graph.glDevice()->readPixels({0, 0, size.x, size.y});
    }

    std::vector<uint8_t> pixels;

private:
    TestGraph& m_graph;
};

// Records `draw` (a callable taking the FDrawContext) as one frame, paints
// it and gives the pixels read back.
template <class Draw> const std::vector<uint8_t>& paintFrame(TestGraph& graph, ReadBack& readBack, Draw draw)
{
    FDrawContext& context = graph.beginFrameRecording();
    draw(context);
    graph.endFrameRecording();
    readBack.pixels.clear();
    graph.onPaint();
    return readBack.pixels;
}

// The colours of every 97th pixel of rgba: a drawn picture has many, an
// empty frame one.
inline std::size_t sampledColours(const std::vector<uint8_t>& rgba)
{
    std::set<uint32_t> colours;
    for (std::size_t i = 0; i + 2 < rgba.size(); i += 4 * 97)
        colours.insert(uint32_t(rgba[i]) << 16 | uint32_t(rgba[i + 1]) << 8 | rgba[i + 2]);
    return colours.size();
}

} // namespace glrender
