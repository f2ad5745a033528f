#pragma once

#include <cstdint>

// A decoded Y'CbCr frame as a video decoder hands it out: three planes, rows
// top first (a stride may be negative), the chroma planes subsampled by
// 1 << xShift across and 1 << yShift down, and the rectangle of the frame that
// is the picture (x, y from the top left).
struct FVideoPlanes
{
    const uint8_t* m_data[3] = {nullptr, nullptr, nullptr}; // Y', Cb, Cr
    int32_t m_stride[3] = {0, 0, 0};
    int32_t m_xShift = 0;
    int32_t m_yShift = 0;
    int32_t m_pictureX = 0;
    int32_t m_pictureY = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;

    // Converts the picture (studio range) into B, G, R, 255 pixels, bottom
    // row first, rows destPitch bytes apart. Each axis takes its own chroma
    // factor, so 4:2:2 keeps one chroma row per picture row.
    void convert(uint8_t* dest, int32_t destPitch) const;
};
