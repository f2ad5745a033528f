#include "ui/FEditBox.h"

#include "core/FKeyCode.h"
#include "core/FLogStream.h"
#include "graphics/FShapeEmitter.h"
#include "io/FInStream.h"
#include "ui/FScreen.h"

#include <algorithm>

namespace {

// The box's width less this margin limits a text measured against it.
constexpr int32_t k_widthMargin = 15;

bool isIgnored(uint32_t key)
{
    switch (key) {
    case FKeyCode::k_none:
    case FKeyCode::k_shift:
    case FKeyCode::k_control:
    case FKeyCode::k_alt:
    case FKeyCode::k_up:
    case FKeyCode::k_down:
    case FKeyCode::k_pageUp:
    case FKeyCode::k_pageDown:
    case FKeyCode::k_escape:
    case FKeyCode::k_tab:
        return true;
    default:
        return false;
    }
}

// The codes of keys without a character (Enter, Insert, the function keys,
// Shift+Tab) never enter the text.
bool isSpecialKey(uint32_t key)
{
    return key >= 0xE000u && key <= 0xE0FFu;
}

} // namespace

FEditBox::FEditBox(FContainer* parent) : FEditBox(parent, true) {}

FEditBox::FEditBox(FContainer* parent, bool addToParent) : FLabel(parent, addToParent)
{
    setEscapesEnabled(false);
}

FEditBox::~FEditBox()
{
    for (TextChangedListener*& listener : m_textChangedListeners)
        freeAndNull(listener);
    for (EnterListener*& listener : m_enterListeners)
        freeAndNull(listener);
}

void FEditBox::addTextChangedListener(const TextChangedListener& listener)
{
    TextChangedListener* copy = nullptr;
    TextChangedListener::assign(copy, &listener);
    if (copy != nullptr) m_textChangedListeners.push_back(copy);
}

void FEditBox::addEnterListener(const EnterListener& listener)
{
    EnterListener* copy = nullptr;
    EnterListener::assign(copy, &listener);
    if (copy != nullptr) m_enterListeners.push_back(copy);
}

void FEditBox::setSelection(int32_t anchor, int32_t caret)
{
    m_anchor = anchor;
    m_caret = caret;
    requestRedraw();
}

void FEditBox::setText(const FString& newText)
{
    if (newText == text()) return;
    const FString before = text();
    for (std::size_t i = 0; i < m_textChangedListeners.size(); ++i)
        (*m_textChangedListeners[i])(*this, before, newText);
    FLabel::setText(newText);
}

void FEditBox::setFocused(bool focused)
{
    m_caretEnabled = focused;
    m_caretVisible = focused;
    requestRedraw();
}

void FEditBox::restartBlink()
{
    m_blinkElapsed = 0;
    m_nextBlink = k_blinkMs;
    m_caretVisible = true;
}

void FEditBox::blinkCaret(int32_t elapsedMs)
{
    if (!m_caretEnabled) return;
    m_blinkElapsed += elapsedMs;
    if (m_blinkElapsed > m_nextBlink) {
        m_caretVisible = !m_caretVisible;
        m_nextBlink = m_blinkElapsed + k_blinkMs;
        requestRedraw();
    }
}

bool FEditBox::allowed(char16_t c) const
{
    return m_allowedChars.empty() || m_allowedChars.view().find(c) != std::u16string_view::npos;
}

bool FEditBox::fits(const FString& candidate)
{
    if (m_maxLength == k_unlimited) return true;
    if (m_maxLength > 0) return static_cast<int32_t>(candidate.length()) <= m_maxLength;
    if (font().get() == nullptr) return true;
    return font()->measureString(candidate, false).x <= width() - k_widthMargin;
}

bool FEditBox::handleKey(uint32_t key)
{
    if (isIgnored(key)) return false;
    const FString current = text();
    const std::u16string_view view = current.view();
    const int32_t length = static_cast<int32_t>(view.size());
    int32_t lo = std::min(m_caret, m_anchor);
    int32_t hi = std::max(m_caret, m_anchor);
    if (lo > length) {
        ZIBBO_LOG(k_logWarn, false) << "min (" << lo << ") > strLen (" << length << "). Resetting to strLen";
        lo = length;
    }
    if (hi > length) {
        ZIBBO_LOG(k_logWarn, false) << "max (" << hi << ") > strLen (" << length << "). Resetting to strLen";
        hi = length;
    }
    lo = std::max(lo, 0);
    hi = std::max(hi, lo);
    const auto piece = [&](int32_t from, int32_t to) {
        return view.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    };
    FString working;
    bool rebuilt = false;
    switch (key) {
    case FKeyCode::k_left:
        m_caret = std::min(m_caret, length);
        if (m_caret > 0) --m_caret;
        m_anchor = m_caret;
        break;
    case FKeyCode::k_right:
        m_caret = std::min(m_caret, length);
        if (m_caret < length) ++m_caret;
        m_anchor = m_caret;
        break;
    case FKeyCode::k_backspace:
        if (lo == hi && lo <= 0) break;
        m_caret = lo == hi ? lo - 1 : lo;
        working.append(piece(0, m_caret));
        working.append(piece(hi, length));
        rebuilt = true;
        break;
    case FKeyCode::k_delete:
        working.append(piece(0, lo));
        if (lo != hi) {
            working.append(piece(hi, length));
        } else if (hi < length) {
            working.append(piece(hi + 1, length));
        }
        m_caret = lo;
        rebuilt = true;
        break;
    default: {
        if (isSpecialKey(key) || key > 0xFFFFu || !allowed(static_cast<char16_t>(key))) break;
        FString candidate;
        candidate.append(piece(0, lo));
        candidate.pushBack(static_cast<char16_t>(key));
        candidate.append(piece(hi, length));
        if (!fits(candidate)) break;
        working = std::move(candidate);
        m_caret = lo + 1;
        rebuilt = true;
        break;
    }
    }
    restartBlink();
    if (rebuilt) {
        m_anchor = m_caret;
        setText(working);
    }
    if (key == FKeyCode::k_enter) {
        const FString now = text();
        for (std::size_t i = 0; i < m_enterListeners.size(); ++i)
            (*m_enterListeners[i])(*this, now);
    }
    requestRedraw();
    return rebuilt;
}

void FEditBox::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    FLabel::onPointerDown(pointer, button, point);
    const int32_t i = characterAt(point);
    if (i != -1) {
        m_caret = m_anchor = i;
        m_selecting = true;
        capturePointer(pointer);
        restartBlink();
    }
    requestRedraw();
}

void FEditBox::onPointerMove(int32_t pointer, const FPointI& point)
{
    FLabel::onPointerMove(pointer, point);
    if (!m_selecting) return;
    const int32_t i = characterAt(point);
    if (i != -1) {
        m_caret = i;
        restartBlink();
    }
    requestRedraw();
}

void FEditBox::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    FLabel::onPointerUp(pointer, button, point);
    m_selecting = false;
    if (FScreen* screen = getScreen()) screen->releaseCapture(pointer);
}

void FEditBox::draw(FDrawContext& context)
{
    if (!ready()) {
        FLabel::draw(context);
        return;
    }
    if (m_caret != m_anchor) {
        const FRectI a = caretRect(std::min(m_caret, m_anchor));
        const FRectI b = caretRect(std::max(m_caret, m_anchor));
        if (a.top == b.top) {
            FShapeEmitter::pushColouredPolygon(context, m_selectionColour, {a.left, a.top, b.left, a.bottom});
        } else {
            FShapeEmitter::pushColouredPolygon(context, m_selectionColour,
                                               {a.left, a.top, rect().right, a.bottom});
            FShapeEmitter::pushColouredPolygon(context, m_selectionColour,
                                               {rect().left, b.top, b.left, b.bottom});
            FShapeEmitter::pushColouredPolygon(context, m_selectionColour,
                                               {rect().left, a.bottom, rect().right, b.top});
        }
    }
    FLabel::draw(context);
    if (m_caretVisible) {
        const FRectI c = caretRect(m_caret);
        const int32_t height = static_cast<int32_t>((font()->bottomExtent() - font()->topExtent()) /
                                                    static_cast<float>(font()->scaleDivisor()));
        FShapeEmitter::pushColouredPolygon(context, colourTable()[0],
                                           {c.left, c.top, c.left + 2, c.top + height});
    }
}

void FEditBox::load(FInStream& stream, FScreenRegistry& registry, std::vector<int32_t>& ids)
{
    FLabel::load(stream, registry, ids);
    const uint32_t blue = stream.readUInt8();
    const uint32_t green = stream.readUInt8();
    const uint32_t red = stream.readUInt8();
    const uint32_t alpha = stream.readUInt8();
    m_selectionColour = alpha << 24 | red << 16 | green << 8 | blue;
    resetOrigin();
    const int32_t previous = stream.readInt32();
    const int32_t next = stream.readInt32();
    if (previous != 0) setNeighbourId(FKeyCode::k_shiftTab, previous);
    if (next != 0) setNeighbourId(FKeyCode::k_tab, next);
}
