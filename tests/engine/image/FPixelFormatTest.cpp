#include "image/FPixelFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "image/FPixelRows.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes words(std::initializer_list<uint16_t> w)
{
    Bytes b(w.size() * 2);
    std::memcpy(b.data(), std::data(w), b.size());
    return b;
}

Bytes floats(std::initializer_list<float> f)
{
    Bytes b(f.size() * 4);
    std::memcpy(b.data(), std::data(f), b.size());
    return b;
}

// Little-endian RGB5A3 word as stored.
Bytes word5a3(uint16_t w)
{
    return Bytes{static_cast<uint8_t>(w & 0xFF), static_cast<uint8_t>(w >> 8)};
}

constexpr uint8_t k_sentinel = 0xA5;

const FPixelFormatOps& ops(int32_t kind)
{
    const FPixelFormatOps* o = getPixelFormatOps(kind);
    EXPECT_NE(o, nullptr) << "kind " << kind;
    return *o;
}

// Size of a value in each exchange form.
size_t formSize(int form)
{
    static const size_t sizes[k_formCount] = {1, 3, 4, 8, 16, 4, 1, 1, 1};
    return sizes[form];
}

TEST(PixelFormat, LookupCoversKindsOneToThirteen)
{
    EXPECT_EQ(getPixelFormatOps(0), nullptr);
    EXPECT_EQ(getPixelFormatOps(14), nullptr);
    EXPECT_EQ(getPixelFormatOps(-1), nullptr);
    const int32_t bits[] = {1, 4, 8, 24, 32, 16, 64, 128, 32, 8, 8, 8, 8};
    for (int32_t kind = 1; kind <= 13; ++kind) {
        const FPixelFormatOps* o = getPixelFormatOps(kind);
        ASSERT_NE(o, nullptr) << kind;
        EXPECT_EQ(o, getPixelFormatOps(kind)) << "the table is stable";
        EXPECT_EQ(o->bitsPerPixel(), bits[kind - 1]) << kind;
    }
}

TEST(PixelFormat, RowBytesRoundUpToWholeBytes)
{
    struct Case
    {
        int32_t kind, pixels, bytes;
    } cases[] = {
        {k_pixelMono1, 3, 1},   {k_pixelMono1, 9, 2},  {k_pixelMono1, 0, 0},      {k_pixelGrey4, 3, 2},
        {k_pixelGrey4, 4, 2},   {k_pixelRgb8, 3, 9},   {k_pixelRgbaFloat, 3, 48}, {k_pixelRgb5a3, 3, 6},
        {k_pixelRgba16, 2, 16}, {k_pixelBgra8, 5, 20}, {k_pixelPvr4, 7, 7},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ops(c.kind).rowBytes(c.pixels), c.bytes) << "kind " << c.kind << " pixels " << c.pixels;
    }
}

// Reading pixel `index` of `row` into `form`. An expected value equal to the
// sentinel-filled form means "left untouched".
struct ReadCase
{
    const char* what;
    int32_t kind;
    Bytes row;
    int32_t index;
    int form;
    Bytes expected;
};

Bytes untouched(int form)
{
    return Bytes(formSize(form), k_sentinel);
}

std::vector<ReadCase> readCases()
{
    const float k = 0.003921569f; // single-precision 1/255
    return {
        // mono: bits from the most significant end
        {"mono set bit", k_pixelMono1, {0x40, 0x80}, 1, k_formMono, {128}},
        {"mono clear bit", k_pixelMono1, {0x40, 0x80}, 0, k_formMono, {0}},
        {"mono second byte", k_pixelMono1, {0x40, 0x80}, 8, k_formRgba8, {255, 255, 255, 255}},
        {"mono to rgb8", k_pixelMono1, {0x40}, 1, k_formRgb8, {255, 255, 255}},
        {"mono to rgba16", k_pixelMono1, {0x40}, 1, k_formRgba16, words({65535, 65535, 65535, 65535})},
        {"mono to float", k_pixelMono1, {0x40}, 1, k_formRgbaFloat, floats({1, 1, 1, 1})},
        {"mono clear to float", k_pixelMono1, {0x40}, 2, k_formRgbaFloat, floats({0, 0, 0, 0})},
        {"mono to raw stays", k_pixelMono1, {0xFF}, 0, k_formRaw8, untouched(k_formRaw8)},
        // grey4: pixel 2n low nibble, 2n+1 high nibble; alpha takes the grey too
        {"grey4 high nibble", k_pixelGrey4, {0xA3}, 1, k_formRgba8, {170, 170, 170, 170}},
        {"grey4 low nibble", k_pixelGrey4, {0xA3}, 0, k_formRgba16, words({13107, 13107, 13107, 13107})},
        {"grey4 to float",
         k_pixelGrey4,
         {0xF0},
         1,
         k_formRgbaFloat,
         floats({15 * 0.06666667f, 15 * 0.06666667f, 15 * 0.06666667f, 15 * 0.06666667f})},
        {"grey4 black is mono 0", k_pixelGrey4, {0xF0}, 0, k_formMono, {0}},
        {"grey4 to pvr stays", k_pixelGrey4, {0xF0}, 0, k_formPvr2, untouched(k_formPvr2)},
        // grey8: alpha equals the grey
        {"grey8 to rgba8", k_pixelGrey8, {200}, 0, k_formRgba8, {200, 200, 200, 200}},
        {"grey8 to bgra8", k_pixelGrey8, {200}, 0, k_formBgra8, {200, 200, 200, 200}},
        {"grey8 to rgba16", k_pixelGrey8, {200}, 0, k_formRgba16, words({51400, 51400, 51400, 51400})},
        {"grey8 to float",
         k_pixelGrey8,
         {3},
         0,
         k_formRgbaFloat,
         floats({0.011764707f, 0.011764707f, 0.011764707f, 0.011764707f})},
        {"grey8 nonzero is mono", k_pixelGrey8, {1}, 0, k_formMono, {128}},
        {"grey8b same as grey8", k_pixelGrey8b, {200}, 0, k_formRgba8, {200, 200, 200, 200}},
        // rgb8: opaque when it meets alpha
        {"rgb8 own form", k_pixelRgb8, {1, 2, 3, 10, 20, 30}, 1, k_formRgb8, {10, 20, 30}},
        {"rgb8 to rgba8", k_pixelRgb8, {10, 20, 30}, 0, k_formRgba8, {10, 20, 30, 255}},
        {"rgb8 to bgra8", k_pixelRgb8, {10, 20, 30}, 0, k_formBgra8, {30, 20, 10, 255}},
        {"rgb8 to rgba16", k_pixelRgb8, {10, 20, 30}, 0, k_formRgba16, words({2570, 5140, 7710, 65535})},
        // rgb8 multiplies by the single-precision 1/255; rgba8 divides by 255
        {"rgb8 to float",
         k_pixelRgb8,
         {3, 0, 255},
         0,
         k_formRgbaFloat,
         floats({0.011764707f, 0, 255 * k, 255 * k})},
        {"rgba8 to float divides",
         k_pixelRgba8,
         {3, 0, 255, 51},
         0,
         k_formRgbaFloat,
         floats({0.0117647061f, 0, 1.0f, 0.2f})},
        {"rgba8 to rgb8 drops alpha", k_pixelRgba8, {10, 20, 30, 40}, 0, k_formRgb8, {10, 20, 30}},
        {"rgba8 to bgra8 swaps", k_pixelRgba8, {10, 20, 30, 40}, 0, k_formBgra8, {30, 20, 10, 40}},
        {"rgba8 alpha plays no part in mono", k_pixelRgba8, {0, 0, 0, 255}, 0, k_formMono, {0}},
        {"rgba8 faint blue is mono", k_pixelRgba8, {0, 0, 1, 0}, 0, k_formMono, {128}},
        {"bgra8 to rgba8 swaps", k_pixelBgra8, {30, 20, 10, 40}, 0, k_formRgba8, {10, 20, 30, 40}},
        {"bgra8 to float multiplies",
         k_pixelBgra8,
         {0, 0, 3, 0},
         0,
         k_formRgbaFloat,
         floats({0.011764707f, 0, 0, 0})},
        // RGB5A3
        {"5a3 opaque black", k_pixelRgb5a3, word5a3(0x8000), 0, k_formRgba8, {0, 0, 0, 255}},
        {"5a3 translucent white", k_pixelRgb5a3, word5a3(0x7FFF), 0, k_formRgba8, {255, 255, 255, 255}},
        {"5a3 alpha 1 is 36", k_pixelRgb5a3, word5a3(0x1000), 0, k_formRgba8, {0, 0, 0, 36}},
        {"5a3 alpha 4 is 146", k_pixelRgb5a3, word5a3(0x4000), 0, k_formRgba8, {0, 0, 0, 146}},
        {"5a3 alpha 0", k_pixelRgb5a3, word5a3(0x0F00), 0, k_formRgba8, {255, 0, 0, 0}},
        {"5a3 five-bit expansion",
         k_pixelRgb5a3,
         word5a3(0x8000 | (16 << 10) | (1 << 5) | 31),
         0,
         k_formBgra8,
         {255, 8, 132, 255}},
        {"5a3 second pixel", k_pixelRgb5a3, {0, 0x80, 0xFF, 0xFF}, 1, k_formRgb8, {255, 255, 255}},
        // 16-bit: x 0.0038910505827516317 lies just below 1/257
        {"rgba16 to rgba8", k_pixelRgba16, words({65535, 65534, 256, 257}), 0, k_formRgba8, {254, 254, 0, 0}},
        {"rgba16 to rgb8", k_pixelRgba16, words({514, 771, 1, 0}), 0, k_formRgb8, {1, 2, 0}},
        {"rgba16 to float", k_pixelRgba16, words({65535, 0, 0, 65535}), 0, k_formRgbaFloat,
         floats({1, 0, 0, 1})},
        {"rgba16 faint is mono", k_pixelRgba16, words({0, 0, 1, 0}), 0, k_formMono, {128}},
        // float: truncated, not clamped
        {"float to rgba8",
         k_pixelRgbaFloat,
         floats({1.0f, 0.999f, 0.5f, 0.0f}),
         0,
         k_formRgba8,
         {255, 254, 127, 0}},
        {"float out of range keeps low bits",
         k_pixelRgbaFloat,
         floats({2.0f, -1.0f, 0, 0}),
         0,
         k_formRgba8,
         {254, 1, 0, 0}},
        {"float to rgba16", k_pixelRgbaFloat, floats({1.0f, 0.999f, 0.5f, 0.0f}), 0, k_formRgba16,
         words({65535, 65469, 32767, 0})},
        {"float tiny is mono", k_pixelRgbaFloat, floats({0, 0, 1e-30f, 0}), 0, k_formMono, {128}},
        {"float black is mono 0", k_pixelRgbaFloat, floats({0, 0, 0, 1}), 0, k_formMono, {0}},
        // payload kinds
        {"raw own form", k_pixelRaw8, {7, 42}, 1, k_formRaw8, {42}},
        {"raw other payload stays", k_pixelRaw8, {42}, 0, k_formPvr4, untouched(k_formPvr4)},
        {"raw to colour is zero", k_pixelRaw8, {42}, 0, k_formRgba8, {0, 0, 0, 0}},
        {"pvr2 own form", k_pixelPvr2, {42}, 0, k_formPvr2, {42}},
        {"pvr2 to float is zero", k_pixelPvr2, {42}, 0, k_formRgbaFloat, floats({0, 0, 0, 0})},
        {"pvr4 own form", k_pixelPvr4, {42}, 0, k_formPvr4, {42}},
        {"pvr4 to mono is zero", k_pixelPvr4, {42}, 0, k_formMono, {0}},
        {"pvr4 to raw stays", k_pixelPvr4, {42}, 0, k_formRaw8, untouched(k_formRaw8)},
    };
}

TEST(PixelFormat, ReadsPixelIntoEveryForm)
{
    for (const ReadCase& c : readCases()) {
        Bytes out(formSize(c.form), k_sentinel);
        ops(c.kind).readIndex[c.form](out.data(), c.row.data(), c.index);
        EXPECT_EQ(out, c.expected) << c.what;
    }
}

// Reading at a byte pointer agrees with reading pixel 0, except where the
// packed kinds take the byte differently.
TEST(PixelFormat, PointerReadsMatchIndexReadsOfTheFirstPixel)
{
    for (const ReadCase& c : readCases()) {
        if (c.index != 0 || c.kind == k_pixelMono1 || c.kind == k_pixelGrey4) {
            continue;
        }
        Bytes out(formSize(c.form), k_sentinel);
        ops(c.kind).read[c.form](out.data(), c.row.data());
        EXPECT_EQ(out, c.expected) << c.what;
    }
}

TEST(PixelFormat, PackedKindsTakeTheWholeByteAtAPointer)
{
    const uint8_t byte = 0x81;
    Bytes mono(1, 0);
    ops(k_pixelMono1).read[k_formMono](mono.data(), &byte);
    EXPECT_EQ(mono, Bytes{0x81}) << "the mono read copies the byte";
    Bytes rgba(4, 0);
    ops(k_pixelMono1).read[k_formRgba8](rgba.data(), &byte);
    EXPECT_EQ(rgba, (Bytes{255, 255, 255, 255})) << "bit 7 decides";

    // 0xA3 = 163 taken as one grey value: 163 * 17 = 2771, low byte 211.
    const uint8_t grey = 0xA3;
    ops(k_pixelGrey4).read[k_formRgba8](rgba.data(), &grey);
    EXPECT_EQ(rgba, (Bytes{211, 211, 211, 211}));
}

// Writing a value in `form` into pixel `index` of `before`.
struct WriteCase
{
    const char* what;
    int32_t kind;
    int form;
    Bytes value;
    Bytes before;
    int32_t index;
    Bytes after;
};

TEST(PixelFormat, WritesPixelFromEveryForm)
{
    const WriteCase cases[] = {
        // packed kinds touch only their own bits
        {"mono sets bit 6 of byte 1", k_pixelMono1, k_formMono, {128}, {0, 0}, 9, {0, 0x40}},
        {"mono clears bit 6 of byte 1", k_pixelMono1, k_formMono, {0x7F}, {0xFF, 0xFF}, 9, {0xFF, 0xBF}},
        {"mono from opaque black", k_pixelMono1, k_formRgba8, {0, 0, 0, 255}, {0xFF}, 0, {0x7F}},
        {"mono from faint colour", k_pixelMono1, k_formRgba16, words({0, 1, 0, 0}), {0}, 7, {0x01}},
        {"mono from payload clears", k_pixelMono1, k_formRaw8, {0xFF}, {0xFF}, 1, {0xBF}},
        {"grey4 pixel 3 high nibble", k_pixelGrey4, k_formRgba8, {255, 255, 255, 0}, {0, 0}, 3, {0, 0xF0}},
        {"grey4 pixel 2 low nibble", k_pixelGrey4, k_formRgb8, {0, 0, 0}, {0xFF, 0xFF}, 2, {0xFF, 0xF0}},
        {"grey4 from mono", k_pixelGrey4, k_formMono, {128}, {0x00}, 0, {0x0F}},
        {"grey4 from 16-bit white",
         k_pixelGrey4,
         k_formRgba16,
         words({65535, 65535, 65535, 0}),
         {0},
         0,
         {14}},
        {"grey4 from float white", k_pixelGrey4, k_formRgbaFloat, floats({1, 1, 1, 0}), {0}, 1, {0xF0}},
        // grey8 from colour: the luminance, truncated
        {"grey8 from red", k_pixelGrey8, k_formRgba8, {255, 0, 0, 0}, {9}, 0, {54}},
        {"grey8 from bgra8 swaps", k_pixelGrey8, k_formBgra8, {255, 0, 0, 0}, {9}, 0, {18}},
        {"grey8 from white", k_pixelGrey8, k_formRgb8, {255, 255, 255}, {9}, 0, {255}},
        {"grey8 from even grey 19", k_pixelGrey8, k_formRgba8, {19, 19, 19, 19}, {9}, 0, {18}},
        {"grey8 from 16-bit white",
         k_pixelGrey8,
         k_formRgba16,
         words({65535, 65535, 65535, 0}),
         {9},
         0,
         {254}},
        {"grey8 from float white", k_pixelGrey8, k_formRgbaFloat, floats({1, 1, 1, 0}), {9}, 0, {255}},
        {"grey8 from mono", k_pixelGrey8, k_formMono, {0x80}, {9}, 0, {255}},
        {"grey8 from payload", k_pixelGrey8, k_formPvr2, {77}, {9}, 0, {0}},
        {"grey8b from red", k_pixelGrey8b, k_formRgba8, {255, 0, 0, 0}, {9}, 0, {54}},
        // RGB5A3 encoding
        {"5a3 alpha 1 is not 0", k_pixelRgb5a3, k_formRgba8, {255, 255, 255, 1}, {9, 9}, 0, word5a3(0x1FFF)},
        {"5a3 alpha 0", k_pixelRgb5a3, k_formRgba8, {255, 255, 255, 0}, {9, 9}, 0, word5a3(0x0FFF)},
        {"5a3 alpha 79", k_pixelRgb5a3, k_formRgba8, {255, 255, 255, 79}, {9, 9}, 0, word5a3(0x0FFF)},
        {"5a3 alpha 80", k_pixelRgb5a3, k_formRgba8, {255, 255, 255, 80}, {9, 9}, 0, word5a3(0x3FFF)},
        {"5a3 alpha 240 opaque",
         k_pixelRgb5a3,
         k_formRgba8,
         {255, 255, 255, 240},
         {9, 9},
         0,
         word5a3(0xFFFF)},
        {"5a3 quantising ORs the first dropped bit",
         k_pixelRgb5a3,
         k_formBgra8,
         {0x0C, 0x04, 0x08, 255},
         {9, 9},
         0,
         word5a3(0x8000 | (1 << 10) | (1 << 5) | 1)},
        {"5a3 4-bit quantising",
         k_pixelRgb5a3,
         k_formRgba8,
         {0x08, 0x10, 0x18, 100},
         {9, 9},
         0,
         word5a3((3 << 12) | (1 << 8) | (1 << 4) | 1)},
        {"5a3 from rgb8 is opaque", k_pixelRgb5a3, k_formRgb8, {255, 255, 255}, {9, 9}, 0, word5a3(0xFFFF)},
        {"5a3 from mono", k_pixelRgb5a3, k_formMono, {128}, {9, 9}, 0, word5a3(0xFFFF)},
        {"5a3 from 16-bit",
         k_pixelRgb5a3,
         k_formRgba16,
         words({65535, 0, 0, 65535}),
         {9, 9},
         0,
         word5a3(0x8000 | (31 << 10))},
        {"5a3 from payload", k_pixelRgb5a3, k_formRaw8, {0xFF}, {9, 9}, 0, word5a3(0)},
        {"5a3 second pixel", k_pixelRgb5a3, k_formRgba8, {0, 0, 0, 255}, {9, 9, 9, 9}, 1, {9, 9, 0x00, 0x80}},
        // colour kinds
        {"rgb8 from rgba8",
         k_pixelRgb8,
         k_formRgba8,
         {1, 2, 3, 4},
         {9, 9, 9, 9, 9, 9},
         1,
         {9, 9, 9, 1, 2, 3}},
        {"rgba8 from bgra8", k_pixelRgba8, k_formBgra8, {1, 2, 3, 4}, {9, 9, 9, 9}, 0, {3, 2, 1, 4}},
        {"rgba8 from payload", k_pixelRgba8, k_formPvr4, {1}, {9, 9, 9, 9}, 0, {0, 0, 0, 0}},
        {"rgba16 from rgba8",
         k_pixelRgba16,
         k_formRgba8,
         {255, 0, 1, 128},
         words({9, 9, 9, 9}),
         0,
         words({65535, 0, 257, 32896})},
        {"float from rgba8",
         k_pixelRgbaFloat,
         k_formRgba8,
         {255, 0, 0, 51},
         floats({9, 9, 9, 9}),
         0,
         floats({1.0f, 0, 0, 0.2f})},
        {"bgra8 from float",
         k_pixelBgra8,
         k_formRgbaFloat,
         floats({1.0f, 0.999f, 0, 0.5f}),
         {9, 9, 9, 9},
         0,
         {0, 254, 255, 127}},
        {"bgra8 own form",
         k_pixelBgra8,
         k_formBgra8,
         {1, 2, 3, 4},
         {9, 9, 9, 9, 9, 9, 9, 9},
         1,
         {9, 9, 9, 9, 1, 2, 3, 4}},
        // payload kinds take only their own form
        {"raw own form", k_pixelRaw8, k_formRaw8, {42}, {9, 9}, 1, {9, 42}},
        {"raw from other payload", k_pixelRaw8, k_formPvr2, {42}, {9}, 0, {0}},
        {"pvr2 from colour", k_pixelPvr2, k_formRgba8, {1, 2, 3, 4}, {9}, 0, {0}},
        {"pvr4 own form", k_pixelPvr4, k_formPvr4, {42}, {9}, 0, {42}},
    };
    for (const WriteCase& c : cases) {
        Bytes row = c.before;
        ops(c.kind).writeIndex[c.form](c.value.data(), row.data(), c.index);
        EXPECT_EQ(row, c.after) << c.what;
    }
}

// Whole-row conversions must give exactly the bytes of the per-pixel
// operations (read bgra8, write bgra8), for every pair of kinds.
TEST(PixelRows, ConvertersMatchPerPixelOperations)
{
    std::mt19937 random(1234);
    const int32_t count = 11;
    for (int32_t src = 1; src <= 13; ++src) {
        Bytes in(ops(src).rowBytes(count + 3) + 16);
        for (uint8_t& b : in) {
            b = static_cast<uint8_t>(random());
        }
        if (src == k_pixelRgbaFloat) {
            // keep floats finite and mostly in range
            for (size_t i = 0; i + 4 <= in.size(); i += 4) {
                const float f = static_cast<float>(random() % 1200) / 1000.0f;
                std::memcpy(&in[i], &f, 4);
            }
        }
        for (int32_t dst = 1; dst <= 13; ++dst) {
            const FPixelRowConvertFn convert = getPixelRowConverter(src, dst);
            ASSERT_NE(convert, nullptr);
            Bytes fill(ops(dst).rowBytes(count + 5) + 16);
            for (uint8_t& b : fill) {
                b = static_cast<uint8_t>(random());
            }
            Bytes expected = fill;
            for (int32_t j = 0; j < count; ++j) {
                uint8_t bgra[4];
                ops(src).readIndex[k_formBgra8](bgra, in.data(), 3 + j);
                ops(dst).writeIndex[k_formBgra8](bgra, expected.data(), 1 + j);
            }
            Bytes actual = fill;
            convert(in.data(), 3, actual.data(), 1, count);
            EXPECT_EQ(actual, expected) << "from kind " << src << " to kind " << dst;
        }
    }
    EXPECT_EQ(getPixelRowConverter(0, 9), nullptr);
    EXPECT_EQ(getPixelRowConverter(9, 14), nullptr);
}

TEST(PixelRows, ClearingWritesTransparentBlackAndKeepsNeighbours)
{
    const uint8_t zero[4] = {0, 0, 0, 0};
    for (int32_t kind = 1; kind <= 13; ++kind) {
        Bytes expected(ops(kind).rowBytes(12), 0xFF);
        for (int32_t i = 3; i < 8; ++i) {
            ops(kind).writeIndex[k_formBgra8](zero, expected.data(), i);
        }
        Bytes actual(expected.size(), 0xFF);
        clearPixels(kind, actual.data(), 3, 5);
        EXPECT_EQ(actual, expected) << "kind " << kind;
    }
}

} // namespace
