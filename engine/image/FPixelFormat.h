#pragma once

#include <cstdint>

// Pixel-format kinds. The number is what images, loaders and the texture code
// store and compare, so the values are fixed.
enum FPixelFormat : int32_t {
    k_pixelNone = 0,      // an empty image
    k_pixelMono1 = 1,     // 1 bit; eight pixels a byte, first pixel in bit 7
    k_pixelGrey4 = 2,     // 4-bit grey; pixel 2n in the low nibble, 2n+1 in the high nibble
    k_pixelGrey8 = 3,     // 8-bit grey
    k_pixelRgb8 = 4,      // bytes R, G, B
    k_pixelRgba8 = 5,     // bytes R, G, B, A
    k_pixelRgb5a3 = 6,    // one little-endian 16-bit RGB5A3 word
    k_pixelRgba16 = 7,    // four unsigned 16-bit words R, G, B, A
    k_pixelRgbaFloat = 8, // four floats R, G, B, A, nominally 0.0 to 1.0
    k_pixelBgra8 = 9,     // bytes B, G, R, A (the texture layout)
    k_pixelGrey8b = 10,   // behaves exactly as k_pixelGrey8
    k_pixelRaw8 = 11,     // one opaque payload byte
    k_pixelPvr2 = 12,     // one opaque byte of a 2-bit-per-pixel PVR payload
    k_pixelPvr4 = 13,     // one opaque byte of any other PVR payload
};

// The shapes in which one pixel travels between kinds.
enum FPixelForm : int32_t {
    k_formMono = 0,      // one byte: 128 set, 0 clear (only bit 7 counts when read)
    k_formRgb8 = 1,      // bytes R, G, B
    k_formRgba8 = 2,     // bytes R, G, B, A
    k_formRgba16 = 3,    // four uint16_t R, G, B, A
    k_formRgbaFloat = 4, // four floats R, G, B, A
    k_formBgra8 = 5,     // bytes B, G, R, A
    k_formRaw8 = 6,      // the byte of k_pixelRaw8
    k_formPvr2 = 7,      // the byte of k_pixelPvr2
    k_formPvr4 = 8,      // the byte of k_pixelPvr4
    k_formCount = 9,
};

// The operations of one kind. Every entry is present for every form; a form the
// kind cannot produce or take has a defined fallback (see FPixelFormat.cpp).
struct FPixelFormatOps
{
    // Reads the pixel that begins at the byte (bit 7 for k_pixelMono1, whose
    // mono read copies the whole byte; the whole byte as one grey value for
    // k_pixelGrey4) into the exchange form at out.
    using ReadFn = void (*)(void* out, const uint8_t* pixel);
    // Reads pixel i of a row into the exchange form at out.
    using ReadIndexFn = void (*)(void* out, const uint8_t* row, int32_t i);
    // Writes pixel i of a row from a value in the exchange form. Packed kinds
    // change only the bits of pixel i.
    using WriteIndexFn = void (*)(const void* value, uint8_t* row, int32_t i);

    ReadFn read[k_formCount];
    ReadIndexFn readIndex[k_formCount];
    WriteIndexFn writeIndex[k_formCount];
    int32_t (*bitsPerPixel)();
    // (n * bits per pixel + 7) >> 3
    int32_t (*rowBytes)(int32_t pixelCount);
};

// The operations of a kind, or null for a number outside 1 to 13. The tables are
// constant and live for the whole program; any thread may ask.
const FPixelFormatOps* getPixelFormatOps(int32_t kind);
