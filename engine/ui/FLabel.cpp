#include "ui/FLabel.h"

#include "asset/FScreenRegistry.h"
#include "graphics/FDrawContext.h"
#include "io/FInStream.h"

#include <algorithm>

namespace {

// Automatic origins stay this far inside the left and right edges.
constexpr int32_t k_margin = 16;

} // namespace

FLabel::FLabel(FContainer* parent) : FWidget(parent, true) {}

FLabel::FLabel(FContainer* parent, bool addToParent) : FWidget(parent, addToParent) {}

FLabel::~FLabel()
{
    releaseShownAsset(m_font);
}

bool FLabel::ready() const
{
    return m_font.get() != nullptr && !m_text.empty();
}

void FLabel::setVisible(bool visible)
{
    storeVisibleShowing(visible, m_font);
    relayout();
}

void FLabel::setText(const FString& text)
{
    m_textSource.release();
    if (text == m_text) return;
    m_text = text;
    relayout();
}

void FLabel::setFont(const FRefT<FFont>& font)
{
    if (font.get() == m_font.get()) return;
    replaceShownAsset(m_font, font);
    relayout();
}

void FLabel::setColor(uint32_t colour)
{
    if (m_colours[0] == colour) return;
    m_colours[0] = colour;
    requestRedraw();
    rebuildGlyphRuns();
}

void FLabel::setAlpha(uint8_t alpha)
{
    for (int i : {0, 3})
        m_colours[i] = (m_colours[i] & 0x00FFFFFFu) | uint32_t(alpha) << 24;
    requestRedraw();
    rebuildGlyphRuns();
}

void FLabel::setColourTableEntry(int32_t index, uint32_t colour)
{
    if (index < 0 || index > 3) return;
    m_colours[index] = colour;
    requestRedraw();
    rebuildGlyphRuns();
}

void FLabel::setShadowDelta(int32_t x, int32_t y)
{
    if (m_shadow == FPointI{x, y}) return;
    m_shadow = {x, y};
    requestRedraw();
    rebuildGlyphRuns();
}

void FLabel::setHorizontalAlignment(int32_t value)
{
    if (m_horizontal == value) return;
    m_horizontal = value;
    requestRedraw();
    rebuildGlyphRuns();
}

void FLabel::setVerticalAlignment(int32_t value)
{
    if (m_vertical == value) return;
    m_vertical = value;
    requestRedraw();
    rebuildGlyphRuns();
}

void FLabel::setOrigin(int32_t x, int32_t y)
{
    m_origin = {x, y};
    requestRedraw();
    rebuildGlyphRuns();
}

void FLabel::resetOrigin()
{
    setOrigin(k_automaticOrigin, 0);
}

void FLabel::enableWordWrap()
{
    if (m_wordWrap) return;
    m_wordWrap = true;
    relayout();
}

void FLabel::setLineSpacing(float spacing)
{
    m_lineSpacing = spacing;
    relayout();
}

void FLabel::setVisibleCharacters(int32_t count)
{
    m_visibleCharacters = count;
    requestRedraw();
}

void FLabel::onResized()
{
    if (!m_resizing) relayout();
}

void FLabel::onTargetChange()
{
    if (const FString* source = m_textSource.as<FString>(); source != nullptr && !(*source == m_text)) {
        FRef keep = m_textSource;
        setText(*source);
        m_textSource = std::move(keep);
    }
    relayout();
}

int32_t FLabel::lineHeight() const
{
    const FFont* font = m_font.get();
    if (font == nullptr) return 0;
    return static_cast<int32_t>(m_lineSpacing * (font->bottomExtent() - font->topExtent()) /
                                static_cast<float>(font->scaleDivisor()));
}

FPointI FLabel::measureText()
{
    if (!ready()) return {0, 0};
    if (!m_wordWrap) return m_font->measureString(m_text, m_escapes);
    int32_t widest = 0;
    for (const FString& line : m_lines)
        widest = std::max(widest, m_font->measureString(line, m_escapes).x);
    return {widest, static_cast<int32_t>(m_lines.size()) * lineHeight()};
}

FString FLabel::getLine(int32_t index) const
{
    if (!ready() || index < 0 || index >= static_cast<int32_t>(m_lines.size())) return FString();
    return m_lines[static_cast<std::size_t>(index)];
}

void FLabel::relayout()
{
    if (!isVisible()) return;
    if (m_wordWrap && ready()) {
        m_lineStarts.clear();
        m_lines = m_font->wrapText(m_text, {width()}, m_lineStarts, m_escapes);
        if (m_autoHeight) {
            m_resizing = true;
            setWidgetHeight(static_cast<int32_t>(m_lines.size()) * lineHeight());
            m_resizing = false;
        }
    }
    requestRedraw();
    rebuildGlyphRuns();
}

FPointI FLabel::automaticOrigin() const
{
    FPointI origin;
    switch (m_horizontal) {
    case 0:
    case 1:
        origin.x = k_margin;
        break;
    case 2:
        origin.x = width() / 2;
        break;
    default:
        origin.x = width() - k_margin;
        break;
    }
    switch (m_vertical) {
    case 0:
    case 1:
        origin.y = 0;
        break;
    case 2:
    case 3:
        origin.y = height() / 2;
        break;
    default:
        origin.y = height();
        break;
    }
    return origin;
}

FLabel::GlyphRun& FLabel::addRun(const FString& text, int32_t colourIndex, int32_t vertical,
                                 int32_t lineOffset, FPointI position, bool shadow)
{
    GlyphRun& run = m_runs.emplace_back();
    m_font->layoutLine(text, colourIndex, width(), m_horizontal, vertical, m_colours, run.line, m_escapes);
    run.lineOffset = lineOffset;
    run.position = position;
    run.shadow = shadow;
    return run;
}

void FLabel::rebuildGlyphRuns()
{
    m_runs.clear();
    if (!isVisible() || !ready()) return;
    const FPointI origin = m_origin.x == k_automaticOrigin ? automaticOrigin() : m_origin;
    const bool shadow = m_shadow.x != 0 || m_shadow.y != 0;
    if (!m_wordWrap) {
        if (shadow) addRun(m_text, 3, m_vertical, 0, {origin.x + m_shadow.x, origin.y + m_shadow.y}, true);
        addRun(m_text, 0, m_vertical, 0, origin, false);
        return;
    }
    const int32_t h = lineHeight();
    const int32_t f = static_cast<int32_t>((m_font->bottomExtent() - m_font->topExtent()) /
                                           static_cast<float>(m_font->scaleDivisor()));
    const int32_t block = (static_cast<int32_t>(m_lines.size()) - 1) * h + f;
    int32_t y = origin.y;
    if (m_vertical == 2 || m_vertical == 3) y -= block / 2;
    if (m_vertical == 4 || m_vertical == 5) y -= block;
    int32_t colourIndex = 0;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        // Lines below the label are not laid out.
        if (y >= height()) break;
        const int32_t offset = m_lineStarts[i];
        if (shadow) addRun(m_lines[i], 3, 1, offset, {origin.x + m_shadow.x, y + m_shadow.y}, true);
        colourIndex = addRun(m_lines[i], colourIndex, 1, offset, {origin.x, y}, false).line.finalColourIndex;
        y += h;
    }
}

void FLabel::draw(FDrawContext& context)
{
    drawDecoration(context);
    if (!ready()) return;
    if (m_runs.empty()) rebuildGlyphRuns();
    int32_t remaining = m_visibleCharacters;
    for (GlyphRun& run : m_runs) {
        if (remaining <= 0) break;
        m_font->drawString(context, run.line, {rect().left + run.position.x, rect().top + run.position.y},
                           remaining);
        remaining -= static_cast<int32_t>(run.line.text.length());
    }
}

int32_t FLabel::runTop(const GlyphRun& run) const
{
    return run.position.y + m_font->verticalOffset(run.line.verticalAlignment) +
           static_cast<int32_t>(m_font->topExtent()) / m_font->scaleDivisor();
}

int32_t FLabel::runBottom(const GlyphRun& run) const
{
    return run.position.y + m_font->verticalOffset(run.line.verticalAlignment) +
           static_cast<int32_t>(m_font->bottomExtent()) / m_font->scaleDivisor();
}

int32_t FLabel::characterAt(FPointI point) const
{
    if (!ready() || m_runs.empty()) return -1;
    const int32_t y = point.y - rect().top;
    for (const GlyphRun& run : m_runs) {
        const std::vector<FPlacedGlyph>& glyphs = run.line.glyphs;
        if (run.shadow || glyphs.empty()) continue;
        const int32_t g = point.x - rect().left - run.position.x - FFont::horizontalOffset(run.line);
        const int32_t left = static_cast<int32_t>(run.line.box[0]);
        if (g < left || g >= left + 32000 || y < runTop(run) || y >= runBottom(run)) continue;
        for (std::size_t k = 0; k < glyphs.size(); ++k) {
            if (glyphs[k].x <= g) continue;
            if (k == 0) return run.lineOffset + glyphs[0].index;
            const bool previous = g - glyphs[k - 1].x < glyphs[k].x - g;
            return run.lineOffset + glyphs[previous ? k - 1 : k].index;
        }
        const FPlacedGlyph& last = glyphs.back();
        const int32_t lineWidth = static_cast<int32_t>(run.line.penX);
        return run.lineOffset + (g < (last.x + lineWidth) / 2 ? last.index : last.index + 1);
    }
    return -1;
}

FRectI FLabel::caretRect(int32_t offset) const
{
    const FRectI& r = rect();
    if (!ready()) return {r.left, r.top, r.left + 1, r.top + height()};
    const GlyphRun* lastRun = nullptr;
    for (const GlyphRun& run : m_runs) {
        const std::vector<FPlacedGlyph>& glyphs = run.line.glyphs;
        if (run.shadow || glyphs.empty()) continue;
        lastRun = &run;
        const int32_t x = r.left + FFont::horizontalOffset(run.line) + run.position.x;
        for (std::size_t k = 0; k < glyphs.size(); ++k) {
            if (run.lineOffset + glyphs[k].index < offset) continue;
            const int32_t right =
                k + 1 < glyphs.size() ? glyphs[k + 1].x : static_cast<int32_t>(run.line.penX);
            return {x + glyphs[k].x, r.top + runTop(run), x + right, r.top + runBottom(run)};
        }
    }
    if (lastRun == nullptr) return {r.left, r.top, r.left + 1, r.top + height()};
    const int32_t end = r.left + FFont::horizontalOffset(lastRun->line) + lastRun->position.x +
                        static_cast<int32_t>(lastRun->line.penX);
    return {end, r.top + runTop(*lastRun), end + 1, r.top + runBottom(*lastRun)};
}

void FLabel::load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids)
{
    FWidget::load(stream, registry, ids);
    const int32_t fontId = stream.readUInt16();
    const int32_t textId = stream.readUInt16();
    const int32_t horizontal = stream.readUInt8();
    const int32_t vertical = stream.readUInt8();
    const int32_t originX = stream.readInt32();
    const int32_t originY = stream.readInt32();
    const uint32_t red = stream.readUInt8();
    const uint32_t green = stream.readUInt8();
    const uint32_t blue = stream.readUInt8();
    const bool wrap = stream.readUInt8() == 1;
    if (fontId != 0) {
        FRef asset = registry.findInSecond(fontId);
        // Only a font can draw text; an id naming anything else is ignored.
        if (dynamic_cast<FFont*>(static_cast<FAsset*>(asset.get())) != nullptr) setFont(FRefT<FFont>(asset));
    }
    FRef source = textId != 0 ? registry.findInThird(textId) : FRef();
    const FString* text = source.as<FString>();
    setText(text != nullptr ? *text : FString());
    m_textSource = std::move(source);
    m_horizontal = horizontal;
    m_vertical = vertical;
    m_origin = {originX, originY};
    setColor(0xFF000000u | red << 16 | green << 8 | blue);
    m_wordWrap = wrap;
    relayout();
}

std::string FLabel::describe()
{
    std::string text = FWidget::describe();
    if (!m_text.empty()) text += "\"" + m_text.toUtf8() + "\"";
    return text + " | ";
}
