#include "graphics/FColorF.h"

#include <cstring>

#include "image/FPixelCodec.h"

// The pixel formats convert between these shapes by the same rules; their
// source values serve here too.
using namespace pixelcodec;

FColorF FColorF::fromRgba8(const std::array<uint8_t, 4>& bytes)
{
    SRgba8 s;
    std::memcpy(s.c, bytes.data(), 4);
    FColorF out;
    s.rgbaF(out.c);
    return out;
}

FColorF FColorF::fromRgba16(const std::array<uint16_t, 4>& words)
{
    SColor16 s;
    std::memcpy(s.c, words.data(), 8);
    FColorF out;
    s.rgbaF(out.c);
    return out;
}

std::array<uint8_t, 4> FColorF::toRgba8() const
{
    SColorF s;
    std::memcpy(s.c, c, 16);
    std::array<uint8_t, 4> out;
    s.rgba8(out.data());
    return out;
}

std::array<uint16_t, 4> FColorF::toRgba16() const
{
    SColorF s;
    std::memcpy(s.c, c, 16);
    std::array<uint16_t, 4> out;
    s.rgba16(out.data());
    return out;
}
