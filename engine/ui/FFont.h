#pragma once

#include "asset/FAsset.h"
#include "core/FRef.h"
#include "image/FImage.h"

#include <cstdint>
#include <map>
#include <vector>

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
// the font loader from a font file (a PNG glyph sheet and its tables).
class FFont : public FAsset
{
public:
    FFont();

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

private:
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
};
