#pragma once

#include "core/FString.h"
#include "ui/FFont.h"
#include "ui/FLaidOutString.h"
#include "ui/FWidget.h"

#include <string>
#include <vector>

// A text in a font: a colour table (text, two escape colours, shadow),
// alignments, an origin that is explicit or follows the alignments 16 pixels
// inside the edges, an optional drop shadow, word wrap with automatic height,
// a line-spacing factor and a limit on the characters drawn. It answers
// which character lies under a point and where the caret before a character
// goes. The font stays loaded while the label is visible.
class FLabel : public FWidget
{
public:
    static constexpr int32_t k_automaticOrigin = -2147483647;
    static constexpr int32_t k_allCharacters = 2147483647;

    // A line laid out for drawing: where it starts in the whole text and
    // where it sits relative to the label's top-left.
    struct GlyphRun
    {
        FLaidOutString line;
        int32_t lineOffset = 0;
        FPointI position;
        bool shadow = false;
    };

    explicit FLabel(FContainer* parent);
    // The parent argument form of the widget factory; a parentless label is
    // the caption of a button.
    FLabel(FContainer* parent, bool addToParent);
    ~FLabel() override;

    void setVisible(bool visible) override;
    void draw(FDrawContext& context) override;
    void onResized() override;
    // Shows the current string of the text handle its record named (a
    // language change swaps the handle's target), then lays out again.
    void onTargetChange() override;
    // The widget part, then font id, text id (16 bits each, 0: keep the font,
    // empty text), alignments, origin, red, green, blue and word wrap.
    void load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids) override;
    std::string describe() override;
    // Stores the text and relays out when it differs from the current one.
    // The label then no longer follows the text handle its record named.
    virtual void setText(const FString& text);

    const FString& text() const { return m_text; }
    void setFont(const FRefT<FFont>& font);
    const FRefT<FFont>& font() const { return m_font; }
    void setColor(uint32_t colour);
    // The alpha of the text and shadow colours.
    void setAlpha(uint8_t alpha);
    void setShadowDelta(int32_t x, int32_t y);
    void setHorizontalAlignment(int32_t value);
    void setVerticalAlignment(int32_t value);
    void setOrigin(int32_t x, int32_t y);
    void resetOrigin();
    void enableWordWrap();
    void setAutoHeight(bool on) { m_autoHeight = on; }
    void setLineSpacing(float spacing);
    void setVisibleCharacters(int32_t count);
    void setColourTableEntry(int32_t index, uint32_t colour);

    const uint32_t* colourTable() const { return m_colours; }
    int32_t horizontalAlignment() const { return m_horizontal; }
    int32_t verticalAlignment() const { return m_vertical; }
    FPointI origin() const { return m_origin; }
    FPointI shadowDelta() const { return m_shadow; }
    bool wordWrap() const { return m_wordWrap; }
    int32_t visibleCharacters() const { return m_visibleCharacters; }

    int32_t lineHeight() const;
    FPointI measureText();
    FString getLine(int32_t index) const;
    std::size_t lineCount() const { return m_lines.size(); }
    const std::vector<int32_t>& lineStarts() const { return m_lineStarts; }
    const std::vector<GlyphRun>& runs() const { return m_runs; }

    // The character offset under point (in the parent's space), or -1.
    int32_t characterAt(FPointI point) const;
    // Where the caret before offset goes, in the parent's space.
    FRectI caretRect(int32_t offset) const;

    void relayout();
    void rebuildGlyphRuns();

protected:
    bool ready() const;
    // Off, the text shows exactly as it is, backslashes included.
    void setEscapesEnabled(bool on) { m_escapes = on; }

private:
    FPointI automaticOrigin() const;
    GlyphRun& addRun(const FString& text, int32_t colourIndex, int32_t vertical, int32_t lineOffset,
                     FPointI position, bool shadow);
    // A run's top and bottom relative to the label's top: its line's extents.
    int32_t runTop(const GlyphRun& run) const;
    int32_t runBottom(const GlyphRun& run) const;

    std::vector<GlyphRun> m_runs;
    std::vector<int32_t> m_lineStarts;
    FString m_text;
    std::vector<FString> m_lines;
    // The registry's handle on the text the layout record named, if any.
    FRef m_textSource;
    FRefT<FFont> m_font;
    uint32_t m_colours[4] = {0xFFFFFFFFu, 0xFFFF0000u, 0xFF00FF00u, 0xFF000000u};
    bool m_wordWrap = false;
    bool m_autoHeight = false;
    FPointI m_shadow{0, 0};
    int32_t m_horizontal = 1;
    int32_t m_vertical = 3;
    FPointI m_origin{k_automaticOrigin, 0};
    bool m_resizing = false;
    float m_lineSpacing = 1.0f;
    int32_t m_visibleCharacters = k_allCharacters;
    bool m_escapes = true;
};
