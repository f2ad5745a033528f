#include "engine/ui/SyntheticFont.h"

#include "tools/contentwriters/FontFileWriter.h"
#include "tools/fontwriter/FontRenderer.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

namespace {

// A 64 x 48 sheet and no glyphs; tests add what they need.
FontFileData smallFont()
{
    FontFileData font;
    font.sheetWidth = 64;
    font.sheetHeight = 48;
    font.sheetPng = writePng(PngPicture::rgba(64, 48, std::vector<uint8_t>(64 * 48 * 4, 200)));
    font.valueA = 2;
    font.valueB = 30;
    font.firstBox[1] = -19; // top extent -20 once grown
    font.firstBox[3] = 5;   // bottom extent 6
    font.secondBox[1] = -14;
    font.secondBox[3] = -1;
    return font;
}

class FontTest : public FontFixture
{
};

TEST_F(FontTest, GlyphEntryBecomesItsRecord)
{
    FontFileData data = smallFont();
    data.glyphs.push_back({u'A', 10, 20, 30, 40, 17, 2, -1});
    FFont& font = load(writeFontFile(data));
    ASSERT_TRUE(font.isLoaded());
    const FFontGlyph* glyph = font.findGlyph(u'A');
    ASSERT_NE(glyph, nullptr);
    const float page[4] = {9, 19, 31, 41};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(glyph->pageRect[i], page[i]) << i;
    EXPECT_EQ(glyph->leftOffset, 2);
    EXPECT_EQ(glyph->topOffset, -1);
    EXPECT_EQ(glyph->rightEdge, 24);
    EXPECT_EQ(glyph->bottomEdge, 21);
    EXPECT_EQ(glyph->advance, 17);
    EXPECT_TRUE(glyph->tinted);
    EXPECT_EQ(glyph->scaleDivisor, 0);
    EXPECT_EQ(font.scaleDivisor(), 2);
    EXPECT_EQ(font.lineHeight(), 30);
    EXPECT_EQ(font.topExtent(), -20);
    EXPECT_EQ(font.bottomExtent(), 6);
    EXPECT_EQ(font.ascentLine(), -15);
    EXPECT_EQ(font.baseLine(), 0);
    // The sheet keeps its own size although sixteen bytes followed it.
    ASSERT_NE(font.page().get(), nullptr);
    EXPECT_EQ(font.page()->width(), 64);
    EXPECT_EQ(font.page()->pixelRect(), (FImageRect{0, 0, 64, 48}));
}

TEST_F(FontTest, NoGlyphsStillReadsBoxesAndKerning)
{
    FontFileData data = smallFont();
    data.kerning = {{0x00410056u, -3}, {0x00560041u, -2}, {0x00410056u, -4}};
    FFont& font = load(writeFontFile(data));
    ASSERT_TRUE(font.isLoaded());
    EXPECT_TRUE(font.glyphs().empty());
    EXPECT_EQ(font.glyphMapSize(), 0u);
    EXPECT_EQ(font.topExtent(), -20);
    EXPECT_EQ(font.kerning(0x00410056), -4) << "a repeated key keeps the later value";
    EXPECT_EQ(font.kerning(0x00560041), -2);
    EXPECT_EQ(font.kerning(0x00410041), 0);
}

TEST_F(FontTest, CharacterListedTwiceKeepsTheLaterGlyph)
{
    FontFileData data = smallFont();
    data.glyphs.push_back({u'x', 1, 1, 2, 2, 5, 0, 0});
    data.glyphs.push_back({u'x', 3, 3, 4, 4, 9, 0, 0});
    FFont& font = load(writeFontFile(data));
    ASSERT_NE(font.findGlyph(u'x'), nullptr);
    EXPECT_EQ(font.findGlyph(u'x')->advance, 9);
}

TEST_F(FontTest, SheetWithoutTrailerShapeIsReadCorrectly)
{
    FontFileData data = smallFont();
    data.glyphs.push_back({u'A', 10, 20, 30, 40, 17, 2, -1});
    std::vector<uint8_t> file = writeFontFile(data);
    // The ignored bytes after the sheet, as another writer may leave them:
    // a placement far outside the sheet.
    const size_t after = data.sheetPng.size();
    for (size_t i = 0; i < 16; ++i)
        file[after + i] = static_cast<uint8_t>(0x11 * (i + 1));
    FFont& font = load(file);
    ASSERT_TRUE(font.isLoaded());
    EXPECT_EQ(font.page()->pixelRect(), (FImageRect{0, 0, 64, 48}));
    EXPECT_EQ(font.page()->width(), 64);
    EXPECT_EQ(font.findGlyph(u'A')->advance, 17);
}

TEST_F(FontTest, SecondLoadKeepsNoGlyphOfTheFirst)
{
    FontFileData first = smallFont();
    first.glyphs.push_back({u'a', 1, 1, 2, 2, 5, 0, 0});
    first.kerning = {{0x00610062u, -1}};
    FFont& font = load(writeFontFile(first));
    FontFileData second = smallFont();
    second.glyphs.push_back({u'b', 1, 1, 2, 2, 6, 0, 0});
    font.setSource(streamOver(writeFontFile(second)));
    EXPECT_EQ(font.findGlyph(u'a'), nullptr);
    ASSERT_NE(font.findGlyph(u'b'), nullptr);
    EXPECT_EQ(font.glyphs().size(), 1u);
    EXPECT_TRUE(font.kerningMap().empty());
}

TEST_F(FontTest, TruncatedTablesFailTheFont)
{
    FontFileData data = smallFont();
    data.glyphs.push_back({u'a', 1, 1, 2, 2, 5, 0, 0});
    std::vector<uint8_t> file = writeFontFile(data);
    file.resize(file.size() - 5);
    FFont& font = load(file);
    EXPECT_TRUE(font.hasFailed());
    EXPECT_FALSE(handler.texts.empty());
    EXPECT_EQ(font.findGlyph(u'a'), nullptr);
}

TEST_F(FontTest, DejaVuFontMatchesFreeType)
{
    const std::string path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    const std::u16string characters = u" AVTaoy.";
    FFont& font = load(writeFontFile(renderFont(path, 24, characters)));
    ASSERT_TRUE(font.isLoaded());

    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(library, path.c_str(), 0, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, 24);
    auto px = [](FT_Pos v) { return static_cast<int>((v + 32) >> 6); };
    EXPECT_EQ(font.topExtent(), -px(face->size->metrics.ascender));
    EXPECT_EQ(font.bottomExtent(), -px(face->size->metrics.descender));
    EXPECT_EQ(font.lineHeight(), px(face->size->metrics.height));
    EXPECT_EQ(font.glyphs().size(), characters.size());
    for (char16_t c : characters) {
        SCOPED_TRACE(static_cast<int>(c));
        ASSERT_EQ(FT_Load_Char(face, c, FT_LOAD_RENDER), 0);
        const FFontGlyph* glyph = font.findGlyph(c);
        ASSERT_NE(glyph, nullptr);
        EXPECT_EQ(glyph->advance, px(face->glyph->advance.x));
        // The page rectangle holds the bitmap and a clear pixel around it.
        EXPECT_EQ(glyph->pageRect[2] - glyph->pageRect[0], float(face->glyph->bitmap.width + 2));
        EXPECT_EQ(glyph->pageRect[3] - glyph->pageRect[1], float(face->glyph->bitmap.rows + 2));
        EXPECT_EQ(glyph->leftOffset + 1, float(face->glyph->bitmap_left));
        EXPECT_EQ(glyph->topOffset + 1, float(-face->glyph->bitmap_top));
    }
    int pairs = 0;
    for (char16_t previous : characters) {
        for (char16_t current : characters) {
            FT_Vector delta{};
            FT_Get_Kerning(face, FT_Get_Char_Index(face, previous), FT_Get_Char_Index(face, current),
                           FT_KERNING_DEFAULT, &delta);
            EXPECT_EQ(font.kerning(int32_t(uint32_t(current) << 16 | previous)), px(delta.x));
            pairs += px(delta.x) != 0;
        }
    }
    EXPECT_GT(pairs, 0) << "the font's kerning pairs between these letters arrive";
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

} // namespace
