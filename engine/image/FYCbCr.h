#pragma once

#include <cstdint>

// Colour conversion of three 8-bit sample planes (Y, Cb, Cr) into rows of
// 32-bit B, G, R, A pixels with alpha 255.
//
// Planes are row-major, row 0 at the top. The chroma planes share one stride
// and may be subsampled by the same factor f (1, 2 or 4) in both directions:
// pixel column x takes chroma column x / f. Rows are grouped in f from the
// bottom of the picture and every row of a group takes the chroma row of the
// group's lowest plane row (the top partial group takes chroma row 0).
//
// Output is bottom-up: output row 0 holds the last (lowest) plane row, which is
// the row order of FImage. Rows step by destPitch bytes, pixels by 4.

// One conversion: filled by the entry points, read by the kernels.
struct FYCbCrJob
{
    uint8_t* m_dest = nullptr;
    int32_t m_destPitch = 0;
    const uint8_t* m_y = nullptr;
    int32_t m_yStride = 0;
    const uint8_t* m_cb = nullptr;
    const uint8_t* m_cr = nullptr;
    int32_t m_chromaStride = 0;
    int32_t m_tilesAcross = 0; // width / f
    int32_t m_tilesDown = 0;   // height / f
    int32_t m_restX = 0;       // width mod f
    int32_t m_restY = 0;       // height mod f
};

// Full range (the JFIF matrix) when studio is false, studio range (BT.601
// gains, luma gain applied to Y as it is) when true. Any factor other than 1,
// 2 or 4 returns without writing anything.
void convertYCbCr(uint8_t* dest, int32_t destPitch, const uint8_t* cr, const uint8_t* cb, int32_t factor,
                  int32_t width, int32_t height, int32_t yStride, int32_t chromaStride, const uint8_t* y,
                  bool studio);

// The full-range matrix; the same result as convertYCbCr with studio false.
void convertYCbCrFull(uint8_t* dest, int32_t destPitch, const uint8_t* cr, const uint8_t* cb, int32_t factor,
                      int32_t width, int32_t height, int32_t yStride, int32_t chromaStride, const uint8_t* y);
