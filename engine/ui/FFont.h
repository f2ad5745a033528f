#pragma once

#include "asset/FAsset.h"
#include "core/FDelegate.h"
#include "core/FRef.h"
#include "graphics/FGeometry.h"
#include "image/FImage.h"
#include "ui/FLaidOutString.h"

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

class FDrawContext;

// One glyph of a font, in font units relative to the pen position (y
// downward from the base line), and where it sits on its texture page.
struct FFontGlyph
{
    float leftOffset = 0;
    float topOffset = 0;
    float rightEdge = 0;
    float bottomEdge = 0;
    // Left, top, right, bottom on the page, pixels with y downward.
    float pageRect[4] = {0, 0, 0, 0};
    int32_t advance = 0;
    // Drawn in the current text colour; otherwise in the page's own colours.
    bool tinted = true;
    // Font units per pixel of this glyph; 0: the font's.
    float scaleDivisor = 0;
};

// The font asset: glyphs on a texture page, kerning and metrics, filled by
// the font loader from a font file (a PNG glyph sheet and its tables). It
// reads text with backslash escapes: "\Cn\" switches to colour n of the
// string's table, "\Sn\" and "\In\" ask the providers for a glyph, "\\" is
// one backslash. Text a player typed may hold any of these half-written, so
// a malformed escape never fails: its characters are shown as they are.
class FFont : public FAsset
{
public:
    // Asked for a glyph by id or character; true when it set page and glyph.
    using GlyphProvider = FDelegate<bool(uint32_t, FRefT<FImage>&, FFontGlyph&)>;
    static constexpr int32_t k_endOfText = -1;

    FFont();
    ~FFont() override;

    // The font's flag byte from its screen-file entry.
    void readKindData(FInStream& reader) override;

    // Replaces everything the font holds by what a load read: a second load
    // never keeps glyphs of the first.
    void setFontData(FRefT<FImage> page, int32_t scaleDivisor, int32_t lineHeight, const float firstBox[4],
                     const float secondBox[4], std::vector<FFontGlyph> glyphs,
                     const std::vector<uint16_t>& characters, std::map<int32_t, int32_t> kerning);

    bool flag() const { return m_flag; }
    // The glyph of a character (the later one when a character is listed
    // twice), or null.
    const FFontGlyph* findGlyph(uint16_t character) const;
    const std::vector<FFontGlyph>& glyphs() const { return m_glyphs; }
    std::size_t glyphMapSize() const { return m_glyphMap.size(); }
    // The adjustment for a pair, keyed (current << 16) | previous; 0 when none.
    int32_t kerning(int32_t key) const;
    const std::map<int32_t, int32_t>& kerningMap() const { return m_kerning; }

    float topExtent() const { return m_topExtent; }
    float ascentLine() const { return m_ascentLine; }
    float bottomExtent() const { return m_bottomExtent; }
    float baseLine() const { return m_baseLine; }
    int32_t scaleDivisor() const { return m_scaleDivisor; }
    int32_t lineHeight() const { return m_lineHeight; }
    // Both boxes as loaded: left, top, right, bottom.
    const float* firstBox() const { return m_firstBox; }
    const float* secondBox() const { return m_secondBox; }
    const FRefT<FImage>& page() const { return m_page; }

    // Each keeps a copy of the given provider (null removes it).
    void setSpecialGlyphProvider(const GlyphProvider* provider);
    void setEscapeProvider(const GlyphProvider* provider);
    void setMissingGlyphProvider(const GlyphProvider* provider);

    // Reads the next glyph of text from index (escapes applied to settings)
    // and moves index past it. The result is the glyph's character, 0 for a
    // space standing in (line break, missing character, special glyph), 7 for
    // character 7, or k_endOfText when nothing is left.
    int32_t parseText(FLaidOutString& settings, std::u16string_view text, int32_t& index, FRefT<FImage>& page,
                      FFontGlyph& glyph);
    // Lays text out as one line with escapes and colour escapes on, starting
    // in table[colourIndex]; glyphs past maximumWidth pixels (0: none) drop.
    // Without escapes every backslash is an ordinary character.
    void layoutLine(const FString& text, int32_t colourIndex, int32_t maximumWidth, int32_t horizontal,
                    int32_t vertical, const uint32_t table[4], FLaidOutString& out, bool escapes = true);
    // Lays out out.text with the settings out holds.
    void layout(FLaidOutString& out);
    // Width and height in pixels of text as one line.
    FPointI measureString(const FString& text, bool escapes = true);
    // Lines of text at most widths[n mod count] pixels wide each (broken at
    // spaces where one is found); the start of every line is appended to
    // lineStarts.
    std::vector<FString> wrapText(const FString& text, const std::vector<int32_t>& widths,
                                  std::vector<int32_t>& lineStarts, bool escapes = true);
    // Pixels from the position to the laid-out line's origin for its
    // horizontal alignment, and for a vertical alignment.
    static int32_t horizontalOffset(const FLaidOutString& line);
    int32_t verticalOffset(int32_t alignment) const;
    // Draws at most count glyphs of a laid-out line at position.
    void drawString(FDrawContext& context, FLaidOutString& line, FPointI position, int32_t count);

private:
    // The glyph for character c (the space standing in when missing) and the
    // result code for it.
    int32_t lookup(char16_t c, FRefT<FImage>& page, FFontGlyph& glyph);
    int32_t spaceGlyph(FRefT<FImage>& page, FFontGlyph& glyph) const;
    // Reads the escape whose backslash is at start; false when it is malformed.
    bool readEscape(FLaidOutString& settings, std::u16string_view text, int32_t start, int32_t& index,
                    int32_t& result, FRefT<FImage>& page, FFontGlyph& glyph);

    bool m_flag = false;
    std::vector<FFontGlyph> m_glyphs;
    std::map<uint16_t, std::size_t> m_glyphMap;
    std::map<int32_t, int32_t> m_kerning;
    float m_firstBox[4] = {0, 0, 0, 0};
    float m_secondBox[4] = {0, 0, 0, 0};
    float m_topExtent = 0;
    float m_ascentLine = 0;
    float m_bottomExtent = 0;
    float m_baseLine = 0;
    int32_t m_scaleDivisor = 1;
    int32_t m_lineHeight = 0;
    FRefT<FImage> m_page;
    GlyphProvider* m_specialProvider = nullptr;
    GlyphProvider* m_escapeProvider = nullptr;
    GlyphProvider* m_missingProvider = nullptr;
};
