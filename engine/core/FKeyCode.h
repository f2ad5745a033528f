#pragma once

#include <cstdint>

// Key codes handed to the UI module's key listener. A code is a 16-bit value
// carried in 32 bits: a UTF-16 unit for a character key, or one of the
// private-use values below for the keys that have no character.
struct FKeyCode
{
    static constexpr std::uint16_t k_none = 0;
    static constexpr std::uint16_t k_enter = 0xE001;
    static constexpr std::uint16_t k_escape = 0xE002;
    static constexpr std::uint16_t k_left = 0xE003;
    static constexpr std::uint16_t k_right = 0xE004;
    static constexpr std::uint16_t k_up = 0xE005;
    static constexpr std::uint16_t k_down = 0xE006;
    static constexpr std::uint16_t k_pageUp = 0xE007;
    static constexpr std::uint16_t k_pageDown = 0xE008;
    static constexpr std::uint16_t k_backspace = 0xE009;
    static constexpr std::uint16_t k_delete = 0xE00A;
    static constexpr std::uint16_t k_insert = 0xE00B;
    static constexpr std::uint16_t k_shift = 0xE00C;
    static constexpr std::uint16_t k_control = 0xE00D;
    static constexpr std::uint16_t k_alt = 0xE00E;
    // F1 to F12 are consecutive: k_f1 + n is F(n + 1).
    static constexpr std::uint16_t k_f1 = 0xE00F;
    static constexpr std::uint16_t k_f12 = 0xE01A;
    static constexpr std::uint16_t k_tab = 0xE021;
    static constexpr std::uint16_t k_shiftTab = 0xE022;
};
