#pragma once

#include "engine/core/KernelTestSupport.h"
#include "engine/graphics/RecordingDevice.h"
#include "engine/ui/UiTestSupport.h"

#include "asset/FScreenRegistry.h"
#include "core/FApplication.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "graphics/FTextureRegistry.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "tools/contentwriters/FontFileWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FFont.h"
#include "ui/FFontModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr uint32_t k_table[4] = {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u};

// One pixel per font unit; every glyph 10 wide but W (20), with a 4 x 4 page
// rectangle 8 units above the base line; "ab" kerns by -3; z is missing.
inline FontFileData syntheticFont(int8_t divisor)
{
    FontFileData font;
    font.sheetWidth = 64;
    font.sheetHeight = 48;
    font.sheetPng = writePng(PngPicture::rgba(64, 48, std::vector<uint8_t>(64 * 48 * 4, 255)));
    font.valueA = divisor;
    font.firstBox[1] = -19; // extents -20 .. 6
    font.firstBox[3] = 5;
    font.secondBox[1] = -14; // ascent -15, base line 0
    font.secondBox[3] = -1;
    for (char16_t c : std::u16string_view(u" abcdeqxCSI0123456789\\?")) {
        const int16_t advance = static_cast<int16_t>(10 * divisor);
        font.glyphs.push_back({static_cast<uint16_t>(c), 2, 2, 4, 4, advance, 0, static_cast<int16_t>(-8)});
    }
    font.glyphs.push_back({u'W', 2, 2, 4, 4, static_cast<int16_t>(20 * divisor), static_cast<int16_t>(-2),
                           static_cast<int16_t>(-8)});
    font.kerning = {{(uint32_t{u'b'} << 16) | u'a', static_cast<int16_t>(-3 * divisor)}};
    return font;
}

// A font loaded from a font file (the synthetic font unless given).
class FontFixture : public ::testing::Test
{
protected:
    FFont& load(int8_t divisor = 1) { return load(writeFontFile(syntheticFont(divisor))); }
    FFont& load(const std::vector<uint8_t>& file)
    {
        fonts.createFromStream(handle, streamOver(file));
        return *handle.as<FFont>();
    }

    FApplication application;
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FFontModule fonts;
    RecordingErrorHandler handler;
    FRef handle = FAsset::emptyHandle();
};

// A font and a recording draw target.
class FontDrawFixture : public FontFixture
{
protected:
    FontDrawFixture() { context.beginFrame(buffer); }

    // Left x of every drawn glyph and its colour, in drawing order.
    std::vector<std::pair<float, uint32_t>> glyphsDrawn()
    {
        buffer.replay(device, *textures);
        std::vector<std::pair<float, uint32_t>> glyphs;
        for (const auto& draw : device.draws) {
            for (std::size_t i = 0; i + 6 <= draw.textured.size(); i += 6) {
                float left = draw.textured[i].x;
                for (std::size_t k = i; k < i + 6; ++k)
                    left = std::min(left, draw.textured[k].x);
                glyphs.emplace_back(left, draw.textured[i].colour);
            }
        }
        return glyphs;
    }

    RecordingDevice device;
    std::shared_ptr<FTextureRegistry> textures = std::make_shared<FTextureRegistry>(&device);
    FDrawContext context{{800, 600}};
    FDrawCommandBuffer buffer;
};

// A loaded font for a widget, and a screen registry that holds it under the
// id a widget record names it by.
class FontWidgetFixture : public FontDrawFixture
{
protected:
    static constexpr int32_t k_fontId = 5;

    FontWidgetFixture()
    {
        font = FRefT<FFont>(handle);
        load();
        registry.insertAsset(k_fontId, handle);
    }

    FRefT<FFont> font;
    FScreenRegistry registry;
};
