#pragma once

#include <array>
#include <cstdint>

// Four float channels in the order of the packed source (R, G, B, A for the
// rgba forms), nominally 0.0 to 1.0.
struct FColorF
{
    float c[4] = {0.0f, 0.0f, 0.0f, 0.0f};

    // channel i = byte i / 255
    static FColorF fromRgba8(const std::array<uint8_t, 4>& bytes);
    // channel i = word i / 65535
    static FColorF fromRgba16(const std::array<uint16_t, 4>& words);
    // byte i = channel i x 255 and word i = channel i x 65535, truncated toward
    // zero and not clamped (an out-of-range channel keeps the low bits).
    std::array<uint8_t, 4> toRgba8() const;
    std::array<uint16_t, 4> toRgba16() const;
};
