#pragma once

#include <cstdint>

// The inverse DCT of the JPEG decoder in integers: the separable form of the
// definition with the constants 2048 x cos(k x pi / 16) truncated (c1 = 2008 ..
// c7 = 399, 1448 for the DC term), each of the 8 rows and then each of the 8
// columns shifted right by 12. Samples are then descaled by 256 (negative
// values rounding one lower than a symmetric rounding), offset by 128 and
// clamped to 0..255.
//
// Sums are taken modulo 2^32: a well-formed block never comes near the limit,
// and a corrupt one then gives defined (meaningless) samples.
class FJpegIdct
{
public:
    // block: 64 dequantised coefficients in natural (row-major) order, scaled
    // by 256. rowMask has bit r set when row r may hold a non-zero value,
    // acRowMask when it may hold one outside column 0; both only let the
    // transform skip work. The top-left cols x rows samples are stored at
    // dest, rows stride bytes apart (cols and rows at most 8).
    static void transform(const int32_t* block, uint32_t rowMask, uint32_t acRowMask, uint8_t* dest,
                          int32_t stride, int32_t cols, int32_t rows);

    // The same for processors without AVX2; transform picks the variant that
    // the processor runs best once, and both give the same samples.
    static void transformPlain(const int32_t* block, uint32_t rowMask, uint32_t acRowMask, uint8_t* dest,
                               int32_t stride, int32_t cols, int32_t rows);
};
