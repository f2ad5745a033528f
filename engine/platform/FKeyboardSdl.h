#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <string>

class FKeyListener;

// Turns SDL key and text events into the key listener's calls. A key that
// types a character reports that character, taken from the text event SDL
// queues right behind its key event; the keys without a character report the
// FKeyCode values. The code a press produced is remembered by scan code, so
// repeats and the release report the same code even when the modifiers
// changed in between.
class FKeyboardSdl
{
public:
    // The FKeyCode of a key without a character, or 0 for any other key.
    static std::uint16_t specialKey(SDL_Keycode key);
    // The last UTF-16 unit of UTF-8 text, or 0 for empty text.
    static std::uint16_t lastUnit(const char* utf8);

    // A key went down (or repeats). `typed` is the text the key typed, or
    // null when SDL queued none behind it.
    void keyDown(const SDL_KeyboardEvent& event, const char* typed, FKeyListener& listener);
    // A key went up; false when its press was never seen.
    bool keyUp(const SDL_KeyboardEvent& event, FKeyListener& listener);
    // Text that no key event claimed (an input method committing it later):
    // each UTF-16 unit as a press and a release.
    void text(const char* utf8, FKeyListener& listener);

    // Whether a key event of this kind takes the text event behind it.
    bool wantsText(const SDL_KeyboardEvent& event) const;
    bool isDown(SDL_Scancode scan) const { return m_keysDown.count(scan) != 0; }

private:
    std::map<SDL_Scancode, std::uint16_t> m_keysDown;
};
