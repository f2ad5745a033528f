#include "platform/FKeyboardSdl.h"

#include "core/FKeyCode.h"
#include "core/FKeyListener.h"

#include <string>

namespace {
std::u16string toUtf16(const char* utf8)
{
    std::u16string out;
    if (utf8 == nullptr || *utf8 == 0) return out;
    // SDL's converter replaces what it cannot decode instead of failing.
    char* converted = SDL_iconv_string("UTF-16LE", "UTF-8", utf8, SDL_strlen(utf8) + 1);
    if (converted == nullptr) return out;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(converted);
    for (std::size_t i = 0;; i += 2) {
        const char16_t unit = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
        if (unit == 0) break;
        out.push_back(unit);
    }
    SDL_free(converted);
    return out;
}
} // namespace

std::uint16_t FKeyboardSdl::specialKey(SDL_Keycode key)
{
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return static_cast<std::uint16_t>(FKeyCode::k_f1 + (key - SDLK_F1));
    switch (key) {
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER:
    case SDLK_EXECUTE:
        return FKeyCode::k_enter;
    case SDLK_ESCAPE:
        return FKeyCode::k_escape;
    case SDLK_LEFT:
        return FKeyCode::k_left;
    case SDLK_RIGHT:
        return FKeyCode::k_right;
    case SDLK_UP:
        return FKeyCode::k_up;
    case SDLK_DOWN:
        return FKeyCode::k_down;
    case SDLK_PAGEUP:
        return FKeyCode::k_pageUp;
    case SDLK_PAGEDOWN:
        return FKeyCode::k_pageDown;
    case SDLK_BACKSPACE:
        return FKeyCode::k_backspace;
    case SDLK_DELETE:
        return FKeyCode::k_delete;
    case SDLK_INSERT:
        return FKeyCode::k_insert;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return FKeyCode::k_shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return FKeyCode::k_control;
    case SDLK_LALT:
    case SDLK_RALT:
        return FKeyCode::k_alt;
    case SDLK_TAB:
        return FKeyCode::k_tab;
    default:
        return 0;
    }
}

std::uint16_t FKeyboardSdl::lastUnit(const char* utf8)
{
    const std::u16string units = toUtf16(utf8);
    return units.empty() ? 0 : units.back();
}

bool FKeyboardSdl::wantsText(const SDL_KeyboardEvent& event) const
{
    // A repeat swallows the text it typed again: the repeat reports the
    // remembered code instead.
    return isDown(event.keysym.scancode) || specialKey(event.keysym.sym) == 0;
}

void FKeyboardSdl::keyDown(const SDL_KeyboardEvent& event, const char* typed, FKeyListener& listener)
{
    const SDL_Scancode scan = event.keysym.scancode;
    const auto held = m_keysDown.find(scan);
    if (held != m_keysDown.end()) {
        listener.keyRepeated(held->second);
        return;
    }
    std::uint16_t code = specialKey(event.keysym.sym);
    // Only the left shift key turns Tab into the backward Tab.
    if (code == FKeyCode::k_tab && isDown(SDL_SCANCODE_LSHIFT))
        code = FKeyCode::k_shiftTab;
    else if (code == 0)
        code = lastUnit(typed);
    m_keysDown[scan] = code;
    listener.keyPressed(code);
}

bool FKeyboardSdl::keyUp(const SDL_KeyboardEvent& event, FKeyListener& listener)
{
    const auto held = m_keysDown.find(event.keysym.scancode);
    if (held == m_keysDown.end()) return false;
    const std::uint16_t code = held->second;
    m_keysDown.erase(held);
    listener.keyReleased(code);
    return true;
}

void FKeyboardSdl::text(const char* utf8, FKeyListener& listener)
{
    for (char16_t unit : toUtf16(utf8)) {
        listener.keyPressed(unit);
        listener.keyReleased(unit);
    }
}
