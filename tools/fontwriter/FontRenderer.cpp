#include "tools/fontwriter/FontRenderer.h"

#include "tools/imagewriters/PngWriter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

struct Rendered
{
    uint16_t character;
    int width;
    int rows;
    int bitmapLeft;
    int bitmapTop;
    int advance;
    std::vector<uint8_t> coverage; // rows x width, top row first
};

int pixels(FT_Pos value26_6)
{
    return static_cast<int>((value26_6 + 32) >> 6);
}

void check(FT_Error error, const char* what)
{
    if (error != 0) throw std::runtime_error(std::string("FreeType: ") + what);
}

} // namespace

FontFileData renderFont(const std::string& fontPath, int pixelSize, const std::u16string& characters)
{
    FT_Library library = nullptr;
    check(FT_Init_FreeType(&library), "init");
    std::unique_ptr<FT_LibraryRec_, FT_Error (*)(FT_Library)> libraryOwner(library, FT_Done_FreeType);
    FT_Face face = nullptr;
    check(FT_New_Face(library, fontPath.c_str(), 0, &face), "open face");
    std::unique_ptr<FT_FaceRec_, FT_Error (*)(FT_Face)> faceOwner(face, FT_Done_Face);
    check(FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)), "pixel size");

    std::vector<Rendered> glyphs;
    for (char16_t c : characters) {
        check(FT_Load_Char(face, c, FT_LOAD_RENDER), "render glyph");
        const FT_GlyphSlot slot = face->glyph;
        Rendered r{static_cast<uint16_t>(c),
                   static_cast<int>(slot->bitmap.width),
                   static_cast<int>(slot->bitmap.rows),
                   slot->bitmap_left,
                   slot->bitmap_top,
                   pixels(slot->advance.x),
                   {}};
        r.coverage.resize(static_cast<size_t>(r.width) * r.rows);
        for (int y = 0; y < r.rows; ++y)
            std::copy_n(slot->bitmap.buffer + y * slot->bitmap.pitch, r.width,
                        r.coverage.begin() + y * r.width);
        glyphs.push_back(std::move(r));
    }

    // Shelf packing: each glyph's page rectangle is its cell plus a clear
    // pixel on every side, and page rectangles do not overlap.
    const int sheetWidth = 256;
    int x = 0;
    int y = 0;
    int shelf = 0;
    FontFileData font;
    for (const Rendered& g : glyphs) {
        const int w = g.width + 2;
        const int h = g.rows + 2;
        if (x + w > sheetWidth) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        FontGlyphEntry entry;
        entry.character = g.character;
        entry.left = static_cast<int16_t>(x + 1);
        entry.top = static_cast<int16_t>(y + 1);
        entry.right = static_cast<int16_t>(x + 1 + g.width);
        entry.bottom = static_cast<int16_t>(y + 1 + g.rows);
        entry.advance = static_cast<int16_t>(g.advance);
        entry.offsetX = static_cast<int16_t>(g.bitmapLeft - 1);
        entry.offsetY = static_cast<int16_t>(-g.bitmapTop - 1);
        font.glyphs.push_back(entry);
        x += w;
        shelf = std::max(shelf, h);
    }
    const int sheetHeight = std::max(1, y + shelf);
    std::vector<uint8_t> rgba(static_cast<size_t>(sheetWidth) * sheetHeight * 4, 0);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Rendered& g = glyphs[i];
        const FontGlyphEntry& e = font.glyphs[i];
        for (int gy = 0; gy < g.rows; ++gy) {
            for (int gx = 0; gx < g.width; ++gx) {
                uint8_t* p = &rgba[(static_cast<size_t>(e.top + gy) * sheetWidth + e.left + gx) * 4];
                p[0] = p[1] = p[2] = 255;
                p[3] = g.coverage[static_cast<size_t>(gy) * g.width + gx];
            }
        }
    }
    font.sheetPng = writePng(PngPicture::rgba(sheetWidth, sheetHeight, std::move(rgba)));
    font.sheetWidth = sheetWidth;
    font.sheetHeight = sheetHeight;

    const int ascender = pixels(face->size->metrics.ascender);
    const int descender = pixels(face->size->metrics.descender);
    font.valueA = 1;
    font.valueB = static_cast<int16_t>(pixels(face->size->metrics.height));
    // Each box is written one pixel inside the extents it stands for.
    const int capTop =
        FT_Load_Char(face, 'H', FT_LOAD_DEFAULT) == 0 ? pixels(face->glyph->metrics.horiBearingY) : ascender;
    const int16_t firstBox[4] = {1, static_cast<int16_t>(-ascender + 1), -1,
                                 static_cast<int16_t>(-descender - 1)};
    const int16_t secondBox[4] = {1, static_cast<int16_t>(-capTop + 1), -1, -1};
    std::copy_n(firstBox, 4, font.firstBox);
    std::copy_n(secondBox, 4, font.secondBox);

    if (FT_HAS_KERNING(face)) {
        for (char16_t previous : characters) {
            for (char16_t current : characters) {
                FT_Vector delta{};
                check(FT_Get_Kerning(face, FT_Get_Char_Index(face, previous),
                                     FT_Get_Char_Index(face, current), FT_KERNING_DEFAULT, &delta),
                      "kerning");
                const int value = pixels(delta.x);
                if (value != 0)
                    font.kerning.emplace_back(uint32_t(current) << 16 | uint32_t(previous),
                                              static_cast<int16_t>(value));
            }
        }
    }
    return font;
}
