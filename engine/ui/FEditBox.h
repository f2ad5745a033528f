#pragma once

#include "core/FDelegate.h"
#include "ui/FLabel.h"

#include <vector>

// The text field: a label the user edits with keys, with a blinking caret, a
// selection made by dragging, an optional list of allowed characters and a
// length limit (units, or the box's width). Its text shows as typed: a
// backslash is an ordinary character, never an escape.
class FEditBox : public FLabel
{
public:
    using TextChangedListener = FDelegate<void(FEditBox&, const FString& before, const FString& after)>;
    using EnterListener = FDelegate<void(FEditBox&, const FString& text)>;
    static constexpr int32_t k_blinkMs = 660;
    // maxLength values besides a count of units.
    static constexpr int32_t k_unlimited = 0;
    static constexpr int32_t k_limitedByWidth = -1;

    explicit FEditBox(FContainer* parent);
    FEditBox(FContainer* parent, bool addToParent);
    ~FEditBox() override;

    void draw(FDrawContext& context) override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void onKeyDown(uint32_t key) override { handleKey(key); }
    void onChar(uint32_t key) override { handleKey(key); }
    // The label record, the selection colour (blue, green, red, alpha), then
    // the widget ids reached with Shift+Tab and Tab (0: none).
    void load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids) override;
    void setFocused(bool focused) override;
    // Tells the text-changed listeners first when the text differs.
    void setText(const FString& text) override;

    // Applies one key; true when the text was rebuilt.
    bool handleKey(uint32_t key);
    // Called every frame with the milliseconds since the last.
    void blinkCaret(int32_t elapsedMs);

    // Each keeps a copy of the listener.
    void addTextChangedListener(const TextChangedListener& listener);
    void addEnterListener(const EnterListener& listener);

    int32_t caret() const { return m_caret; }
    int32_t anchor() const { return m_anchor; }
    void setSelection(int32_t anchor, int32_t caret);
    bool caretVisible() const { return m_caretVisible; }
    bool caretEnabled() const { return m_caretEnabled; }
    int32_t maxLength() const { return m_maxLength; }
    void setMaxLength(int32_t length) { m_maxLength = length; }
    const FString& allowedChars() const { return m_allowedChars; }
    void setAllowedChars(const FString& characters) { m_allowedChars = characters; }
    // ARGB.
    uint32_t selectionColour() const { return m_selectionColour; }
    void setSelectionColour(uint32_t colour) { m_selectionColour = colour; }

private:
    void restartBlink();
    bool allowed(char16_t c) const;
    bool fits(const FString& candidate);

    std::vector<TextChangedListener*> m_textChangedListeners;
    std::vector<EnterListener*> m_enterListeners;
    int32_t m_caret = 0;
    int32_t m_anchor = 0;
    bool m_caretVisible = false;
    int32_t m_blinkElapsed = 0;
    int32_t m_nextBlink = k_blinkMs;
    int32_t m_maxLength = k_unlimited;
    FString m_allowedChars;
    uint32_t m_selectionColour = 0xFF000000u;
    bool m_selecting = false;
    bool m_caretEnabled = false;
};
