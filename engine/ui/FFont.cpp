#include "ui/FFont.h"

#include "asset/FAssetLoader.h"
#include "core/FApplication.h"

FFont::FFont()
{
    setLoader(findService<FAssetLoader>(k_slotFontLoader));
}

void FFont::readKindData(FInStream& reader)
{
    m_flag = reader.readUInt8() == 1;
}

void FFont::setFontData(FRefT<FImage> page, int32_t scaleDivisor, int32_t lineHeight, const float firstBox[4],
                        const float secondBox[4], std::vector<FFontGlyph> glyphs,
                        const std::vector<uint16_t>& characters, std::map<int32_t, int32_t> kerning)
{
    FMutexLock lock(this->lock());
    m_page = std::move(page);
    m_scaleDivisor = scaleDivisor < 1 ? 1 : scaleDivisor;
    m_lineHeight = lineHeight;
    for (int i = 0; i < 4; ++i) {
        m_firstBox[i] = firstBox[i];
        m_secondBox[i] = secondBox[i];
    }
    m_topExtent = firstBox[1];
    m_bottomExtent = firstBox[3];
    m_ascentLine = secondBox[1];
    m_baseLine = secondBox[3];
    m_glyphs = std::move(glyphs);
    m_glyphMap.clear();
    for (std::size_t i = 0; i < characters.size() && i < m_glyphs.size(); ++i)
        m_glyphMap[characters[i]] = i;
    m_kerning = std::move(kerning);
}

const FFontGlyph* FFont::findGlyph(uint16_t character) const
{
    auto it = m_glyphMap.find(character);
    return it != m_glyphMap.end() ? &m_glyphs[it->second] : nullptr;
}

int32_t FFont::kerning(int32_t key) const
{
    auto it = m_kerning.find(key);
    return it != m_kerning.end() ? it->second : 0;
}
