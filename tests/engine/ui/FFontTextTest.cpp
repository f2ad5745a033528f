#include "engine/ui/SyntheticFont.h"

#include "tools/fontwriter/FontRenderer.h"
#include "ui/FFont.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A provider that answers every id with the glyph of '?'.
class QuestionMarks
{
public:
    explicit QuestionMarks(FFont& font) : m_font(font) {}
    bool provide(uint32_t id, FRefT<FImage>& page, FFontGlyph& glyph)
    {
        asked.push_back(id);
        glyph = *m_font.findGlyph(u'?');
        page = m_font.page();
        return true;
    }
    std::vector<uint32_t> asked;

private:
    FFont& m_font;
};

class FontTextTest : public FontFixture
{
protected:
    // The result codes of reading the whole text (0 shows as '_') and the
    // colour index the escapes leave.
    static std::pair<std::u16string, int32_t> readAll(FFont& font, std::u16string_view text, bool escapes)
    {
        FLaidOutString settings;
        settings.escapes = escapes;
        std::copy(k_table, k_table + 4, settings.colourTable);
        settings.colour = k_table[0];
        std::u16string codes;
        FRefT<FImage> page;
        FFontGlyph glyph;
        int32_t index = 0;
        for (int guard = 0; guard < 100; ++guard) {
            const int32_t code = font.parseText(settings, text, index, page, glyph);
            if (code == FFont::k_endOfText) break;
            codes.push_back(code == 0 ? u'_' : static_cast<char16_t>(code));
        }
        EXPECT_EQ(settings.colour, k_table[settings.colourIndex]);
        return {codes, settings.colourIndex};
    }
};

struct EscapeCase
{
    std::u16string_view text;
    bool escapes;
    bool providers;
    std::u16string_view codes;
    int32_t colourIndex;
};

TEST_F(FontTextTest, EscapeTable)
{
    const EscapeCase cases[] = {
        {u"a\\C2\\b", true, false, u"ab", 2},
        {u"\\C\\a", true, false, u"a", 0},
        {u"\\c3\\a\\C1\\b", true, false, u"ab", 1},
        {u"a\\\\b", true, false, u"a\\b", 0},
        {u"\\qa", true, false, u"qa", 0},
        {u"\\C1\\", true, false, u"_", 1},
        {u"a\\C1\\", true, false, u"a_", 1},
        {u"\\C1\\a", false, false, u"\\C1\\a", 0},
        {u"a\nb\rc", true, false, u"a_b_c", 0},
        {u"a\x07", true, false, u"a\x07", 0},
        {u"aza", true, false, u"a_a", 0},
        {u"\\S5\\a", true, true, u"_a", 0},
        {u"\\I12\\a", true, true, u"_a", 0},
        // Colour ids past the four-entry table draw in the first colour.
        {u"\\C4\\a", true, false, u"a", 0},
        {u"\\C65535\\a", true, false, u"a", 0},
        // Text a player typed: malformed escapes show as they are.
        {u"ab\\", true, false, u"ab\\", 0},
        {u"\\Cx", true, false, u"\\Cx", 0},
        {u"\\C1", true, false, u"\\C1", 0},
        {u"\\C", true, false, u"\\C", 0},
        {u"\\C70000\\a", true, false, u"\\C70000\\a", 0},
        {u"\\C1x2\\", true, false, u"\\C1x2\\", 0},
        {u"\\S5\\a", true, false, u"\\S5\\a", 0},
        {u"\\I5\\a", true, false, u"\\I5\\a", 0},
        {u"\\S5\\\\C2\\a", true, false, u"\\S5\\a", 2},
    };
    FFont& font = load();
    ASSERT_TRUE(font.isLoaded());
    QuestionMarks marks(font);
    for (const EscapeCase& c : cases) {
        auto* provider = makeObjectDelegate(&marks, &QuestionMarks::provide);
        font.setSpecialGlyphProvider(c.providers ? provider : nullptr);
        font.setEscapeProvider(c.providers ? provider : nullptr);
        engineFree(provider);
        const auto [codes, colourIndex] = readAll(font, c.text, c.escapes);
        EXPECT_EQ(codes, c.codes) << FString(c.text).toUtf8();
        EXPECT_EQ(colourIndex, c.colourIndex) << FString(c.text).toUtf8();
    }
    EXPECT_TRUE(handler.texts.empty());
}

TEST_F(FontTextTest, ProvidersAreAskedForTheId)
{
    FFont& font = load();
    QuestionMarks special(font);
    QuestionMarks plain(font);
    auto* first = makeObjectDelegate(&special, &QuestionMarks::provide);
    auto* second = makeObjectDelegate(&plain, &QuestionMarks::provide);
    font.setSpecialGlyphProvider(first);
    font.setEscapeProvider(second);
    engineFree(first);
    engineFree(second);
    readAll(font, u"\\S17\\x\\i4\\", true);
    EXPECT_EQ(special.asked, (std::vector<uint32_t>{17}));
    EXPECT_EQ(plain.asked, (std::vector<uint32_t>{4}));
}

TEST_F(FontTextTest, LayoutPlacesGlyphsWithKerningAndBoxes)
{
    FFont& font = load();
    FLaidOutString line;
    font.layoutLine(FString("abW"), 1, 0, 1, 3, k_table, line);
    EXPECT_EQ(line.state, 2);
    ASSERT_EQ(line.glyphs.size(), 3u);
    EXPECT_EQ(line.glyphs[0].x, 0);
    EXPECT_EQ(line.glyphs[1].x, 7) << "the pair ab kerns by -3";
    EXPECT_EQ(line.glyphs[2].x, 17);
    EXPECT_EQ(line.penX, 37.0f);
    EXPECT_EQ(line.colour, k_table[1]);
    // Page rectangles are 4 x 4 at (0, -8); W starts 2 left of its pen.
    EXPECT_EQ(line.box[0], 0.0f);
    EXPECT_EQ(line.box[1], -8.0f);
    EXPECT_EQ(line.box[2], 37.0f);
    EXPECT_EQ(line.box[3], 0.0f) << "the bottom starts at the base line";

    font.layoutLine(FString("Wa"), 0, 0, 1, 3, k_table, line);
    EXPECT_EQ(line.box[0], -2.0f) << "a glyph left of its pen grows the box to the left";
    EXPECT_EQ(line.box[3], 0.0f);
}

TEST_F(FontTextTest, MaximumWidthDropsTheGlyphThatDoesNotFitAndTheRest)
{
    FFont& font = load();
    FLaidOutString line;
    font.layoutLine(FString("cccccc"), 0, 35, 1, 3, k_table, line);
    EXPECT_EQ(line.glyphs.size(), 3u);
    EXPECT_EQ(line.penX, 30.0f);
    font.layoutLine(FString("cccccc"), 0, 0, 1, 3, k_table, line);
    EXPECT_EQ(line.glyphs.size(), 6u);
}

TEST_F(FontTextTest, ScaleDivisorDividesPlacementsAndRoundsWidthUp)
{
    FFont& font = load(3);
    FLaidOutString line;
    font.layoutLine(FString("ab"), 0, 0, 1, 3, k_table, line);
    ASSERT_EQ(line.glyphs.size(), 2u);
    EXPECT_EQ(line.glyphs[1].x, 7);
    EXPECT_EQ(line.penX, 17.0f);
    EXPECT_EQ(font.measureString(FString("ab")), (FPointI{17, 8})) << "both in pixels";
}

TEST_F(FontTextTest, AlignmentOffsets)
{
    FFont& font = load();
    ASSERT_EQ(font.topExtent(), -20.0f);
    ASSERT_EQ(font.bottomExtent(), 6.0f);
    ASSERT_EQ(font.ascentLine(), -15.0f);
    ASSERT_EQ(font.baseLine(), 0.0f);
    FLaidOutString line;
    font.layoutLine(FString("Wa"), 0, 0, 1, 3, k_table, line); // box -2 .. 30, width 30
    const int32_t horizontal[] = {2, 0, -15, -30, -30, 0};
    for (int32_t h = 0; h < 6; ++h) {
        line.horizontalAlignment = h;
        EXPECT_EQ(FFont::horizontalOffset(line), horizontal[h]) << h;
    }
    const int32_t vertical[] = {20, 15, 2, 0, 0, -6, 0};
    for (int32_t v = 0; v < 7; ++v)
        EXPECT_EQ(font.verticalOffset(v), vertical[v]) << v;
}

TEST_F(FontTextTest, MeasureString)
{
    FFont& font = load();
    EXPECT_EQ(font.measureString(FString("abW")), (FPointI{37, 26}));
    EXPECT_EQ(font.measureString(FString("a\\C2\\b")), (FPointI{17, 26}));
    EXPECT_EQ(font.measureString(FString("")), (FPointI{0, 26}));
}

struct WrapCase
{
    const char* text;
    std::vector<int32_t> widths;
    std::vector<const char*> lines;
    std::vector<int32_t> starts;
};

TEST_F(FontTextTest, WrapTable)
{
    const WrapCase cases[] = {
        {"aaa bbb ccc", {45}, {"aaa", "bbb", "ccc"}, {0, 4, 8}},
        {"aaa bbb ccc", {200}, {"aaa bbb ccc"}, {0}},
        // The search for a space starts two glyphs before the first that
        // does not fit.
        {"aaa bbb ccc", {75}, {"aaa", "bbb ccc"}, {0, 4}},
        {"aaa bbb ccc", {85}, {"aaa bbb", "ccc"}, {0, 8}},
        {"aaaaaaa", {25}, {"aaa", "aaa", "a"}, {0, 3, 6}},
        {"aa\n\nbb", {100}, {"aa", "", "bb"}, {0, 3, 4}},
        {"aaa bbb ccc ddd", {45, 200}, {"aaa", "bbb ccc ddd"}, {0, 4}},
        {"", {100}, {}, {}},
    };
    FFont& font = load();
    for (const WrapCase& c : cases) {
        std::vector<int32_t> starts;
        const std::vector<FString> lines = font.wrapText(FString(c.text), c.widths, starts);
        std::vector<std::string> got;
        for (const FString& line : lines)
            got.push_back(line.toUtf8());
        EXPECT_EQ(got, std::vector<std::string>(c.lines.begin(), c.lines.end())) << c.text;
        EXPECT_EQ(starts, c.starts) << c.text;
    }
}

class FontDrawTest : public FontDrawFixture
{
};

TEST_F(FontDrawTest, CountLimitsTheGlyphsAndEscapesChangeTheColour)
{
    FFont& font = load();
    FLaidOutString line;
    font.layoutLine(FString("ab\\C2\\cde"), 0, 0, 1, 3, k_table, line);
    font.drawString(context, line, {100, 50}, 3);
    const auto glyphs = glyphsDrawn();
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0], std::make_pair(100.0f, k_table[0]));
    EXPECT_EQ(glyphs[1], std::make_pair(107.0f, k_table[0]));
    EXPECT_EQ(glyphs[2], std::make_pair(117.0f, k_table[2]));
    EXPECT_EQ(line.colour, k_table[0]) << "the next draw starts in the line's own colour";
}

TEST_F(FontDrawTest, ColourEscapesOffDrawsWhiteAndTextChangedAfterLayoutStops)
{
    FFont& font = load();
    FLaidOutString line;
    font.layoutLine(FString("a\\C1\\b"), 0, 0, 3, 3, k_table, line);
    line.colourEscapes = false;
    font.drawString(context, line, {100, 50}, 100);
    line.text = FString("a");
    font.drawString(context, line, {100, 50}, 100);
    const auto glyphs = glyphsDrawn();
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0], std::make_pair(83.0f, 0xFFFFFFFFu)) << "right aligned on 100, ab kerned";
    EXPECT_EQ(glyphs[1], std::make_pair(90.0f, 0xFFFFFFFFu));
    EXPECT_EQ(glyphs[2], std::make_pair(83.0f, 0xFFFFFFFFu)) << "the second draw stops at the changed text";
}

TEST_F(FontTextTest, DejaVuLinesFitTheirWidthAndKerningNarrowsPairs)
{
    const std::u16string characters = u" AVTaoy.Wbcdefghilmnrstu";
    fonts.createFromStream(handle, streamOver(writeFontFile(renderFont(
                                       "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 20, characters))));
    FFont& font = *handle.as<FFont>();
    ASSERT_TRUE(font.isLoaded());
    EXPECT_LT(font.measureString(FString("AV")).x,
              font.measureString(FString("A")).x + font.measureString(FString("V")).x);
    const FString text("Two tall trees stood by a wide road. We saw many birds today.");
    for (int32_t width : {60, 120, 250}) {
        std::vector<int32_t> starts;
        const std::vector<FString> lines = font.wrapText(text, {width}, starts);
        ASSERT_GT(lines.size(), 1u) << width;
        ASSERT_EQ(starts.size(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_LE(font.measureString(lines[i]).x, width + 20) << lines[i].toUtf8() << " in " << width;
            // Each line is the text at its start; the next starts right after
            // it or after the one space it broke at.
            EXPECT_EQ(lines[i].view(),
                      text.view().substr(static_cast<std::size_t>(starts[i]), lines[i].length()));
            const std::size_t end = static_cast<std::size_t>(starts[i]) + lines[i].length();
            const std::size_t next =
                i + 1 < lines.size() ? static_cast<std::size_t>(starts[i + 1]) : text.length();
            EXPECT_TRUE(next == end || (next == end + 1 && text[end] == u' ')) << width << " line " << i;
        }
    }
}

} // namespace
