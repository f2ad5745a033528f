#pragma once

// Conversion rules between pixel kinds and exchange forms, as templates, so that
// the per-pixel operations tables and the whole-row loops are built from one
// description and cannot drift apart. The colour conversions of the renderer
// (graphics/FColorF) use the same source values.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "image/FPixelFormat.h"

namespace pixelcodec {

// Single-precision constants that the conversions multiply with.
constexpr float k_inv255f = 0.003921569f;          // 1/255
constexpr float k_inv15f = 0.06666667f;            // 1/15
constexpr double k_inv257 = 0.0038910505827516317; // single-precision 1/257, as a double: just below 1/257
constexpr double k_inv17 = static_cast<double>(0.05882353f);
constexpr double k_15over65535 = static_cast<double>(0.00022888533f);

// Float-to-integer conversions truncate toward zero and are not clamped: the
// stored value is the low bits of the truncated integer. Values beyond the
// 64-bit range (and NaN) store 0 rather than invoke undefined behaviour.
inline int64_t truncToInt(double v)
{
    if (!(v > -9.2e18 && v < 9.2e18)) return 0;
    return static_cast<int64_t>(v);
}
inline uint8_t trunc8(double v)
{
    return static_cast<uint8_t>(truncToInt(v));
}
inline uint16_t trunc16(double v)
{
    return static_cast<uint16_t>(truncToInt(v));
}

inline double luminance(double r, double g, double b)
{
    return 0.212671 * r + 0.71516 * g + 0.072169 * b;
}

inline uint8_t mono(bool set)
{
    return set ? 128 : 0;
}

// RGB5A3 coding.
inline void decodeRgb5a3(uint16_t w, uint8_t rgba[4])
{
    if (w & 0x8000) {
        auto x5 = [](unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); };
        rgba[0] = x5((w >> 10) & 31);
        rgba[1] = x5((w >> 5) & 31);
        rgba[2] = x5(w & 31);
        rgba[3] = 255;
    } else {
        auto x4 = [](unsigned v) { return static_cast<uint8_t>((v << 4) | v); };
        rgba[0] = x4((w >> 8) & 15);
        rgba[1] = x4((w >> 4) & 15);
        rgba[2] = x4(w & 15);
        unsigned a = (w >> 12) & 7;
        rgba[3] = a == 0 ? 0 : static_cast<uint8_t>((a << 5) | (a << 2) | (a >> 1));
    }
}

inline uint16_t encodeRgb5a3(const uint8_t rgba[4])
{
    unsigned a = rgba[3];
    if (a >= 240) {
        auto q5 = [](unsigned x) { return (x >> 3) | ((x >> 2) & 1); };
        return static_cast<uint16_t>(0x8000 | (q5(rgba[0]) << 10) | (q5(rgba[1]) << 5) | q5(rgba[2]));
    }
    auto q4 = [](unsigned x) { return (x >> 4) | ((x >> 3) & 1); };
    unsigned a3 = a >= 80 ? ((a >> 5) | ((a >> 4) & 1)) : (a == 1 ? 1 : 0);
    return static_cast<uint16_t>((a3 << 12) | (q4(rgba[0]) << 8) | (q4(rgba[1]) << 4) | q4(rgba[2]));
}

// ---------------------------------------------------------------------------
// Source values: one pixel as read from a kind or an exchange form, on its own
// scale. Each knows how it converts into every target shape.
//   monoByte()   -> 128 / 0
//   rgba8(out)   -> R, G, B, A bytes (the rgb8 and bgra8 forms derive from it)
//   rgba16(out), rgbaF(out)
//   grey8(), grey4() (writing the grey kinds)

struct SZero
{ // a payload byte read as a colour: zero everywhere
    uint8_t monoByte() const { return 0; }
    void rgba8(uint8_t o[4]) const { std::memset(o, 0, 4); }
    void rgba16(uint16_t o[4]) const { std::memset(o, 0, 8); }
    void rgbaF(float o[4]) const { o[0] = o[1] = o[2] = o[3] = 0.0f; }
    uint8_t grey8() const { return 0; }
    uint8_t grey4() const { return 0; }
};

struct SMono
{
    unsigned m; // 0 or 1
    uint8_t monoByte() const { return mono(m != 0); }
    void rgba8(uint8_t o[4]) const { std::memset(o, static_cast<int>(m * 255), 4); }
    void rgba16(uint16_t o[4]) const { o[0] = o[1] = o[2] = o[3] = static_cast<uint16_t>(m * 65535); }
    void rgbaF(float o[4]) const { o[0] = o[1] = o[2] = o[3] = static_cast<float>(m); }
    uint8_t grey8() const { return static_cast<uint8_t>(m * 255); }
    uint8_t grey4() const { return static_cast<uint8_t>(m * 15); }
};

// Grey of scale 15 (grey4) or 255 (grey8). The value is an int because a
// grey4 read at a byte pointer takes the whole byte as its grey value.
template <int Max> struct SGrey
{
    int v;
    uint8_t monoByte() const { return mono(v != 0); }
    void rgba8(uint8_t o[4]) const { std::memset(o, static_cast<uint8_t>(Max == 15 ? v * 17 : v), 4); }
    void rgba16(uint16_t o[4]) const
    {
        o[0] = o[1] = o[2] = o[3] = static_cast<uint16_t>(Max == 15 ? v * 4369 : v * 257);
    }
    void rgbaF(float o[4]) const
    {
        o[0] = o[1] = o[2] = o[3] = static_cast<float>(v) * (Max == 15 ? k_inv15f : k_inv255f);
    }
};

// 8-bit colour. DivideFloat: the rgba8 form becomes float by x / 255; the rgb8
// and bgra8 forms multiply by the single-precision 1/255.
template <bool DivideFloat> struct SColor8
{
    uint8_t c[4]; // R, G, B, A
    double lum() const { return luminance(c[0] * (1.0 / 255), c[1] * (1.0 / 255), c[2] * (1.0 / 255)); }
    uint8_t monoByte() const { return mono(lum() != 0.0); }
    void rgba8(uint8_t o[4]) const { std::memcpy(o, c, 4); }
    void rgba16(uint16_t o[4]) const
    {
        for (int i = 0; i < 4; ++i)
            o[i] = static_cast<uint16_t>(c[i] * 257);
    }
    void rgbaF(float o[4]) const
    {
        for (int i = 0; i < 4; ++i)
            o[i] = DivideFloat ? static_cast<float>(c[i]) / 255.0f : static_cast<float>(c[i]) * k_inv255f;
    }
    uint8_t grey8() const { return trunc8(luminance(c[0], c[1], c[2])); }
    uint8_t grey4() const { return trunc8(luminance(c[0], c[1], c[2]) * k_inv17); }
};
using SRgba8 = SColor8<true>;
using SScaled8 = SColor8<false>; // rgb8 and bgra8

struct SColor16
{
    uint16_t c[4];
    uint8_t monoByte() const
    {
        return mono(luminance(c[0] * (1.0 / 65535), c[1] * (1.0 / 65535), c[2] * (1.0 / 65535)) != 0.0);
    }
    void rgba8(uint8_t o[4]) const
    {
        for (int i = 0; i < 4; ++i)
            o[i] = trunc8(c[i] * k_inv257);
    }
    void rgba16(uint16_t o[4]) const { std::memcpy(o, c, 8); }
    void rgbaF(float o[4]) const
    {
        for (int i = 0; i < 4; ++i)
            o[i] = static_cast<float>(c[i]) / 65535.0f;
    }
    uint8_t grey8() const { return trunc8(luminance(c[0], c[1], c[2]) * k_inv257); }
    uint8_t grey4() const { return trunc8(luminance(c[0], c[1], c[2]) * k_15over65535); }
};

struct SColorF
{
    float c[4];
    uint8_t monoByte() const { return mono(luminance(c[0], c[1], c[2]) != 0.0); }
    void rgba8(uint8_t o[4]) const
    {
        for (int i = 0; i < 4; ++i)
            o[i] = trunc8(c[i] * 255.0f);
    }
    void rgba16(uint16_t o[4]) const
    {
        for (int i = 0; i < 4; ++i)
            o[i] = trunc16(c[i] * 65535.0f);
    }
    void rgbaF(float o[4]) const { std::memcpy(o, c, 16); }
    uint8_t grey8() const { return trunc8(luminance(c[0], c[1], c[2]) * 255); }
    uint8_t grey4() const { return trunc8(luminance(c[0], c[1], c[2]) * 15); }
};

// ---------------------------------------------------------------------------
// Exchange forms: how a source value is stored into a form (reads), and how a
// form's value becomes a source value (writes).

template <int Form> struct FormOf;

template <> struct FormOf<k_formMono>
{
    template <class S> static void store(const S& s, void* out)
    {
        *static_cast<uint8_t*>(out) = s.monoByte();
    }
    static SMono load(const void* v)
    {
        return SMono{static_cast<unsigned>(*static_cast<const uint8_t*>(v) >> 7)};
    }
};

template <> struct FormOf<k_formRgb8>
{
    template <class S> static void store(const S& s, void* out)
    {
        uint8_t c[4];
        s.rgba8(c);
        std::memcpy(out, c, 3);
    }
    // rgb8 carries no alpha: it stands for an opaque colour.
    static SScaled8 load(const void* v)
    {
        const auto* p = static_cast<const uint8_t*>(v);
        return SScaled8{{p[0], p[1], p[2], 255}};
    }
};

template <> struct FormOf<k_formRgba8>
{
    template <class S> static void store(const S& s, void* out) { s.rgba8(static_cast<uint8_t*>(out)); }
    static SRgba8 load(const void* v)
    {
        SRgba8 s;
        std::memcpy(s.c, v, 4);
        return s;
    }
};

template <> struct FormOf<k_formBgra8>
{
    template <class S> static void store(const S& s, void* out)
    {
        uint8_t c[4];
        s.rgba8(c);
        auto* o = static_cast<uint8_t*>(out);
        o[0] = c[2];
        o[1] = c[1];
        o[2] = c[0];
        o[3] = c[3];
    }
    static SScaled8 load(const void* v)
    {
        const auto* p = static_cast<const uint8_t*>(v);
        return SScaled8{{p[2], p[1], p[0], p[3]}};
    }
};

template <> struct FormOf<k_formRgba16>
{
    template <class S> static void store(const S& s, void* out)
    {
        uint16_t c[4];
        s.rgba16(c);
        std::memcpy(out, c, 8);
    }
    static SColor16 load(const void* v)
    {
        SColor16 s;
        std::memcpy(s.c, v, 8);
        return s;
    }
};

template <> struct FormOf<k_formRgbaFloat>
{
    template <class S> static void store(const S& s, void* out)
    {
        float c[4];
        s.rgbaF(c);
        std::memcpy(out, c, 16);
    }
    static SColorF load(const void* v)
    {
        SColorF s;
        std::memcpy(s.c, v, 16);
        return s;
    }
};

constexpr bool isRawForm(int form)
{
    return form >= k_formRaw8;
}

// ---------------------------------------------------------------------------
// Kinds: how pixel i of a row is read into a source value and written from one.
// ownForm is the exchange form whose layout is the kind's own (-1: none).

template <int Kind> struct KindOf;

template <> struct KindOf<k_pixelMono1>
{
    static constexpr int bits = 1;
    static constexpr int ownForm = k_formMono;
    static SMono load(const uint8_t* row, int32_t i) { return SMono{(row[i >> 3] >> (7 - (i & 7))) & 1u}; }
    static SMono loadAt(const uint8_t* p) { return SMono{static_cast<unsigned>(*p >> 7)}; }
    template <class S> static void store(const S& s, uint8_t* row, int32_t i)
    {
        const uint8_t bit = static_cast<uint8_t>(0x80 >> (i & 7));
        uint8_t& b = row[i >> 3];
        b = s.monoByte() ? static_cast<uint8_t>(b | bit) : static_cast<uint8_t>(b & ~bit);
    }
};

template <> struct KindOf<k_pixelGrey4>
{
    static constexpr int bits = 4;
    static constexpr int ownForm = -1;
    static SGrey<15> load(const uint8_t* row, int32_t i)
    {
        const uint8_t b = row[i >> 1];
        return SGrey<15>{(i & 1) ? b >> 4 : b & 15};
    }
    static SGrey<15> loadAt(const uint8_t* p) { return SGrey<15>{*p}; }
    template <class S> static void store(const S& s, uint8_t* row, int32_t i)
    {
        const uint8_t v = s.grey4() & 15;
        uint8_t& b = row[i >> 1];
        b = (i & 1) ? static_cast<uint8_t>((b & 0x0F) | (v << 4)) : static_cast<uint8_t>((b & 0xF0) | v);
    }
};

struct KindGrey8
{
    static constexpr int bits = 8;
    static constexpr int ownForm = -1;
    static SGrey<255> load(const uint8_t* row, int32_t i) { return SGrey<255>{row[i]}; }
    static SGrey<255> loadAt(const uint8_t* p) { return SGrey<255>{*p}; }
    template <class S> static void store(const S& s, uint8_t* row, int32_t i) { row[i] = s.grey8(); }
};
template <> struct KindOf<k_pixelGrey8> : KindGrey8
{
};
template <> struct KindOf<k_pixelGrey8b> : KindGrey8
{
};

// Kinds whose layout is an exchange form: reading and writing go through it.
template <int Form, int Bytes> struct KindAsForm
{
    static constexpr int bits = Bytes * 8;
    static constexpr int ownForm = Form;
    static auto load(const uint8_t* row, int32_t i) { return FormOf<Form>::load(row + i * Bytes); }
    static auto loadAt(const uint8_t* p) { return FormOf<Form>::load(p); }
    template <class S> static void store(const S& s, uint8_t* row, int32_t i)
    {
        FormOf<Form>::store(s, row + i * Bytes);
    }
};
template <> struct KindOf<k_pixelRgb8> : KindAsForm<k_formRgb8, 3>
{
};
template <> struct KindOf<k_pixelRgba8> : KindAsForm<k_formRgba8, 4>
{
};
template <> struct KindOf<k_pixelRgba16> : KindAsForm<k_formRgba16, 8>
{
};
template <> struct KindOf<k_pixelRgbaFloat> : KindAsForm<k_formRgbaFloat, 16>
{
};
template <> struct KindOf<k_pixelBgra8> : KindAsForm<k_formBgra8, 4>
{
};

template <> struct KindOf<k_pixelRgb5a3>
{
    static constexpr int bits = 16;
    static constexpr int ownForm = -1;
    static SRgba8 loadAt(const uint8_t* p)
    {
        SRgba8 s;
        decodeRgb5a3(static_cast<uint16_t>(p[0] | (p[1] << 8)), s.c);
        return s;
    }
    static SRgba8 load(const uint8_t* row, int32_t i) { return loadAt(row + 2 * i); }
    template <class S> static void store(const S& s, uint8_t* row, int32_t i)
    {
        uint8_t c[4];
        s.rgba8(c);
        const uint16_t w = encodeRgb5a3(c);
        row[2 * i] = static_cast<uint8_t>(w & 0xFF);
        row[2 * i + 1] = static_cast<uint8_t>(w >> 8);
    }
};

// Opaque payload bytes: a colour read of them is zero, a write from anything but
// their own form stores zero.
template <int Form> struct KindRaw
{
    static constexpr int bits = 8;
    static constexpr int ownForm = Form;
    static SZero load(const uint8_t*, int32_t) { return SZero{}; }
    static SZero loadAt(const uint8_t*) { return SZero{}; }
    template <class S> static void store(const S&, uint8_t* row, int32_t i) { row[i] = 0; }
};
template <> struct KindOf<k_pixelRaw8> : KindRaw<k_formRaw8>
{
};
template <> struct KindOf<k_pixelPvr2> : KindRaw<k_formPvr2>
{
};
template <> struct KindOf<k_pixelPvr4> : KindRaw<k_formPvr4>
{
};

constexpr int ownBytes(int bits)
{
    return bits / 8;
}

// ---------------------------------------------------------------------------
// The operations, composed from the above.

template <int Kind, int Form> void readIndex(void* out, const uint8_t* row, int32_t i)
{
    using K = KindOf<Kind>;
    if constexpr (isRawForm(Form)) {
        if constexpr (Form == K::ownForm) *static_cast<uint8_t*>(out) = row[i];
        // another kind's payload byte: the output stays as it was
    } else if constexpr (Form == K::ownForm && K::bits >= 8) {
        std::memcpy(out, row + i * ownBytes(K::bits), ownBytes(K::bits));
    } else {
        FormOf<Form>::store(K::load(row, i), out);
    }
}

template <int Kind, int Form> void readAt(void* out, const uint8_t* p)
{
    using K = KindOf<Kind>;
    if constexpr (isRawForm(Form)) {
        if constexpr (Form == K::ownForm) *static_cast<uint8_t*>(out) = *p;
    } else if constexpr (Form == K::ownForm) {
        // also the mono read of kind 1, which copies the whole byte
        std::memcpy(out, p, K::bits >= 8 ? ownBytes(K::bits) : 1);
    } else {
        FormOf<Form>::store(K::loadAt(p), out);
    }
}

template <int Form, int Kind> void writeIndex(const void* value, uint8_t* row, int32_t i)
{
    using K = KindOf<Kind>;
    if constexpr (Form == K::ownForm && K::bits >= 8) {
        std::memcpy(row + i * ownBytes(K::bits), value, ownBytes(K::bits));
    } else if constexpr (isRawForm(Form)) {
        K::store(SZero{}, row, i);
    } else {
        K::store(FormOf<Form>::load(value), row, i);
    }
}

} // namespace pixelcodec
