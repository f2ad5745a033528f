#include "ui/FFont.h"

#include "asset/FAssetLoader.h"
#include "core/FApplication.h"
#include "core/FLogStream.h"
#include "graphics/FShapeEmitter.h"

#include <algorithm>

namespace {

constexpr char16_t k_backslash = u'\\';
constexpr int32_t k_space = 32;

int32_t truncate(float value)
{
    return static_cast<int32_t>(value);
}

} // namespace

FFont::FFont()
{
    setLoader(findService<FAssetLoader>(k_slotFontLoader));
}

FFont::~FFont()
{
    freeAndNull(m_specialProvider);
    freeAndNull(m_escapeProvider);
    freeAndNull(m_missingProvider);
}

void FFont::setSpecialGlyphProvider(const GlyphProvider* provider)
{
    GlyphProvider::assign(m_specialProvider, provider);
}

void FFont::setEscapeProvider(const GlyphProvider* provider)
{
    GlyphProvider::assign(m_escapeProvider, provider);
}

void FFont::setMissingGlyphProvider(const GlyphProvider* provider)
{
    GlyphProvider::assign(m_missingProvider, provider);
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

int32_t FFont::spaceGlyph(FRefT<FImage>& page, FFontGlyph& glyph) const
{
    // A font without a space is not supported; an empty glyph keeps it safe.
    const FFontGlyph* space = findGlyph(k_space);
    glyph = space != nullptr ? *space : FFontGlyph{};
    page = m_page;
    return 0;
}

int32_t FFont::lookup(char16_t c, FRefT<FImage>& page, FFontGlyph& glyph)
{
    if (const FFontGlyph* found = findGlyph(c)) {
        glyph = *found;
        page = m_page;
        return c;
    }
    if (m_missingProvider != nullptr && (*m_missingProvider)(c, page, glyph)) return c;
    ZIBBO_LOG(k_logWarn, false) << "escape=false: invalid curChar (" << static_cast<int32_t>(c) << ")";
    return spaceGlyph(page, glyph);
}

bool FFont::readEscape(FLaidOutString& settings, std::u16string_view text, int32_t start, int32_t& index,
                       int32_t& result, FRefT<FImage>& page, FFontGlyph& glyph)
{
    const int32_t length = static_cast<int32_t>(text.size());
    const char16_t kind = text[start + 1];
    int32_t id = 0;
    index = start + 2;
    for (;; ++index) {
        if (index >= length) return false;
        const char16_t c = text[index];
        if (c == k_backslash) break;
        if (c < u'0' || c > u'9') return false;
        id = id * 10 + (c - u'0');
        if (id >= 65536) return false;
    }
    // index is at the closing backslash.
    if (kind == u'C' || kind == u'c') {
        // The table has four entries; a higher id draws in the first.
        settings.colourIndex = id < 4 ? id : 0;
        settings.colour = settings.colourTable[settings.colourIndex];
        ++index;
        result = index >= length ? spaceGlyph(page, glyph) : k_endOfText;
        return true;
    }
    GlyphProvider* provider = kind == u'S' || kind == u's' ? m_specialProvider : m_escapeProvider;
    if (provider == nullptr || !(*provider)(static_cast<uint32_t>(id), page, glyph)) return false;
    ++index;
    result = 0;
    return true;
}

int32_t FFont::parseText(FLaidOutString& settings, std::u16string_view text, int32_t& index,
                         FRefT<FImage>& page, FFontGlyph& glyph)
{
    ensureLoaded();
    const int32_t length = static_cast<int32_t>(text.size());
    while (index >= 0 && index < length) {
        const char16_t c = text[index];
        if (c == 10 || c == 13) {
            ++index;
            return spaceGlyph(page, glyph);
        }
        if (c == 7) {
            ++index;
            spaceGlyph(page, glyph);
            return 7;
        }
        if (c != k_backslash || !settings.escapes || index <= settings.literalEnd) {
            ++index;
            return lookup(c, page, glyph);
        }
        // A backslash opens an escape.
        const int32_t start = index;
        const char16_t next = index + 1 < length ? text[index + 1] : 0;
        if (next == k_backslash) {
            index += 2;
            return lookup(k_backslash, page, glyph);
        }
        const bool numbered =
            next == u'C' || next == u'c' || next == u'S' || next == u's' || next == u'I' || next == u'i';
        if (!numbered) {
            if (index + 1 >= length) {
                // A trailing backslash shows as itself.
                ++index;
                return lookup(k_backslash, page, glyph);
            }
            // The backslash drops before any other character.
            index += 2;
            return lookup(next, page, glyph);
        }
        int32_t result = k_endOfText;
        if (!readEscape(settings, text, start, index, result, page, glyph)) {
            // Malformed: everything up to where reading failed shows as it
            // is; an id too long shows with all its digits and its closing
            // backslash.
            while (index + 1 < length && text[index] >= u'0' && text[index] <= u'9')
                ++index;
            settings.literalEnd = index < length ? index : length - 1;
            index = start + 1;
            return lookup(k_backslash, page, glyph);
        }
        if (result != k_endOfText) return result;
    }
    return k_endOfText;
}

void FFont::layoutLine(const FString& text, int32_t colourIndex, int32_t maximumWidth, int32_t horizontal,
                       int32_t vertical, const uint32_t table[4], FLaidOutString& out, bool escapes)
{
    out.colourEscapes = true;
    out.escapes = escapes;
    for (int i = 0; i < 4; ++i)
        out.colourTable[i] = table[i];
    out.colourIndex = colourIndex >= 0 && colourIndex < 4 ? colourIndex : 0;
    out.colour = table[out.colourIndex];
    out.text = text;
    out.maximumWidth = maximumWidth;
    out.horizontalAlignment = horizontal;
    out.verticalAlignment = vertical;
    layout(out);
}

void FFont::layout(FLaidOutString& out)
{
    ensureLoaded();
    const int32_t divisor = m_scaleDivisor;
    out.minimumX = out.minimumY = out.penX = out.maximumY = 0;
    out.glyphs.clear();
    out.inverseScale = 1.0f / static_cast<float>(divisor);
    out.literalEnd = -1;
    const std::u16string_view text = out.text.view();
    // Layout reads escapes on a copy, so the string keeps the colour it
    // starts drawing with.
    FLaidOutString reader;
    reader.escapes = out.escapes;
    std::copy(out.colourTable, out.colourTable + 4, reader.colourTable);
    reader.colourIndex = out.colourIndex;
    int32_t index = 0;
    int32_t previous = 0;
    int32_t overhang = 0;
    FRefT<FImage> page;
    FFontGlyph glyph;
    for (;;) {
        const int32_t start = index;
        const int32_t code = parseText(reader, text, index, page, glyph);
        if (code == k_endOfText) break;
        const float g = glyph.scaleDivisor != 0 ? static_cast<float>(divisor) / glyph.scaleDivisor : 1.0f;
        const int32_t key =
            static_cast<int32_t>((static_cast<uint32_t>(code) << 16) | static_cast<uint32_t>(previous));
        auto kern = m_kerning.find(key);
        if (kern != m_kerning.end()) out.penX += g * static_cast<float>(kern->second);
        const int32_t placement = truncate(out.penX);
        const float saved[4] = {out.minimumX, out.minimumY, out.penX, out.maximumY};
        if (out.penX - out.minimumX < -g * glyph.leftOffset) out.minimumX = out.penX + g * glyph.leftOffset;
        out.minimumY = std::min(out.minimumY, g * glyph.topOffset);
        out.maximumY = std::max(out.maximumY, g * glyph.bottomEdge);
        out.penX += static_cast<float>(truncate(g * static_cast<float>(glyph.advance)));
        if (out.maximumWidth > 0 && (out.penX - out.minimumX) / divisor > out.maximumWidth) {
            out.minimumX = saved[0];
            out.minimumY = saved[1];
            out.penX = saved[2];
            out.maximumY = saved[3];
            break;
        }
        overhang = truncate(g * glyph.rightEdge - g * static_cast<float>(glyph.advance));
        out.glyphs.push_back({start, placement / divisor});
        previous = code;
    }
    out.box[0] = static_cast<float>(truncate(out.minimumX) / divisor);
    const int32_t width = (truncate(out.penX) + divisor - 1) / divisor;
    out.penX = static_cast<float>(width);
    out.minimumX = 0;
    out.box[2] = static_cast<float>(width + (overhang > 0 ? overhang / divisor : 0));
    out.box[1] = static_cast<float>(truncate(out.minimumY) / divisor);
    out.box[3] = static_cast<float>((divisor - 1 + truncate(out.maximumY)) / divisor);
    out.finalColourIndex = reader.colourIndex;
    out.state = 2;
}

FPointI FFont::measureString(const FString& text, bool escapes)
{
    FLaidOutString line;
    line.text = text;
    line.horizontalAlignment = 1;
    line.verticalAlignment = 3;
    line.escapes = escapes;
    line.colourEscapes = false;
    layout(line);
    // Both in pixels: the extents are font units.
    return {truncate(line.box[2]), truncate(m_bottomExtent - m_topExtent) / m_scaleDivisor};
}

std::vector<FString> FFont::wrapText(const FString& text, const std::vector<int32_t>& widths,
                                     std::vector<int32_t>& lineStarts, bool escapes)
{
    std::vector<FString> lines;
    std::vector<int> paragraphStarts;
    const std::vector<FString> paragraphs = text.split(10, false, paragraphStarts);
    int32_t lineNumber = 0;
    const auto widthOf = [&](int32_t n) {
        return widths.empty() ? 0 : widths[static_cast<std::size_t>(n) % widths.size()];
    };
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        const FString& paragraph = paragraphs[p];
        const int32_t offset = paragraphStarts[p];
        if (paragraph.empty()) {
            lines.emplace_back();
            lineStarts.push_back(offset);
            ++lineNumber;
            continue;
        }
        FLaidOutString laid;
        laid.text = paragraph;
        laid.escapes = escapes;
        laid.horizontalAlignment = 1;
        laid.verticalAlignment = 3;
        layout(laid);
        const std::vector<FPlacedGlyph>& placed = laid.glyphs;
        const std::u16string_view view = paragraph.view();
        std::size_t first = 0; // the line's first placed glyph
        while (first < placed.size()) {
            const int32_t width = widthOf(lineNumber++);
            const int32_t lineStart = placed[first].index;
            std::size_t over = first + 1;
            while (over < placed.size() && placed[over].x - placed[first].x <= width)
                ++over;
            lineStarts.push_back(offset + lineStart);
            if (over >= placed.size()) {
                lines.emplace_back(view.substr(static_cast<std::size_t>(lineStart)));
                break;
            }
            // Break at the nearest space before the glyph that does not fit,
            // looking from two glyphs before it; none: break before that glyph.
            std::size_t breakAt = over;
            for (std::size_t k = over >= 2 ? over - 2 : 0; k > first; --k) {
                if (view[static_cast<std::size_t>(placed[k].index)] == k_space) {
                    breakAt = k;
                    break;
                }
            }
            const int32_t end = placed[breakAt].index;
            lines.emplace_back(
                view.substr(static_cast<std::size_t>(lineStart), static_cast<std::size_t>(end - lineStart)));
            first = breakAt == over ? over : breakAt + 1;
        }
    }
    return lines;
}

int32_t FFont::horizontalOffset(const FLaidOutString& line)
{
    switch (line.horizontalAlignment) {
    case 0:
        return -truncate(line.box[0]);
    case 2:
        return truncate(-line.penX * 0.5f);
    case 3:
        return -truncate(line.penX);
    case 4:
        return -truncate(line.box[2]);
    default:
        return 0;
    }
}

int32_t FFont::verticalOffset(int32_t alignment) const
{
    int32_t units = 0;
    switch (alignment) {
    case 0:
        units = truncate(-m_topExtent);
        break;
    case 1:
        units = truncate(-m_ascentLine);
        break;
    case 2:
        units = truncate(-m_ascentLine - (m_bottomExtent - m_topExtent) * 0.5f);
        break;
    case 4:
        units = truncate(-m_baseLine);
        break;
    case 5:
        units = truncate(-m_bottomExtent);
        break;
    default:
        break;
    }
    return units / m_scaleDivisor;
}

void FFont::drawString(FDrawContext& context, FLaidOutString& line, FPointI position, int32_t count)
{
    const int32_t xOffset = horizontalOffset(line);
    const int32_t y = position.y + verticalOffset(line.verticalAlignment);
    const std::u16string_view text = line.text.view();
    const int32_t length = static_cast<int32_t>(text.size());
    line.literalEnd = -1;
    // Escapes replayed while drawing change the colour; the next draw starts
    // where this one did.
    const int32_t startIndex = line.colourIndex;
    const uint32_t startColour = line.colour;
    std::vector<FGlyphQuad> quads;
    FRefT<FImage> page;
    FFontGlyph glyph;
    for (const FPlacedGlyph& placed : line.glyphs) {
        if (count-- <= 0) break;
        if (placed.index >= length) {
            ZIBBO_LOG(k_logDefault, false)
                << "Trying to draw an invalid string. Possible cause: FLabel did not "
                   "receive onTargetChange() after target switch";
            break;
        }
        int32_t index = placed.index;
        if (parseText(line, text, index, page, glyph) == k_endOfText) break;
        const float scale = glyph.scaleDivisor != 0 ? 1.0f / glyph.scaleDivisor : line.inverseScale;
        FGlyphQuad quad;
        quad.page = page;
        quad.rect = {glyph.pageRect[0], glyph.pageRect[1], glyph.pageRect[2], glyph.pageRect[3]};
        quad.pen = {static_cast<float>(position.x + placed.x + xOffset) + glyph.leftOffset * scale,
                    static_cast<float>(y) + glyph.topOffset * scale};
        quad.scale = scale;
        quad.colour = line.colourEscapes && glyph.tinted ? line.colour : 0xFFFFFFFFu;
        quads.push_back(std::move(quad));
    }
    line.colourIndex = startIndex;
    line.colour = startColour;
    std::vector<FGlyphRunRecord> records;
    FShapeEmitter::pushTextRun(context, quads, records);
}
