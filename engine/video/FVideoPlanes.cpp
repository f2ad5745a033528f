#include "video/FVideoPlanes.h"

#include "image/FYCbCr.h"

#include <cstddef>

namespace {

const uint8_t* at(const uint8_t* plane, int32_t stride, int32_t row, int32_t column)
{
    return plane + static_cast<std::ptrdiff_t>(row) * stride + column;
}

} // namespace

void FVideoPlanes::convert(uint8_t* dest, int32_t destPitch) const
{
    if (m_width <= 0 || m_height <= 0) return;
    const int32_t factorX = 1 << m_xShift;
    const int32_t factorY = 1 << m_yShift;
    const int32_t chromaX = m_pictureX >> m_xShift;
    // The shared conversion subsamples both axes alike and pairs rows from the
    // picture's bottom; that fits whole pictures whose rows meet the chroma
    // rows evenly.
    if (factorX == factorY && m_pictureY % factorY == 0 && m_height % factorY == 0) {
        const int32_t chromaY = m_pictureY >> m_yShift;
        convertYCbCr(dest, destPitch, at(m_data[2], m_stride[2], chromaY, chromaX),
                     at(m_data[1], m_stride[1], chromaY, chromaX), factorX, m_width, m_height, m_stride[0],
                     m_stride[1], at(m_data[0], m_stride[0], m_pictureY, m_pictureX), true);
        return;
    }
    // Otherwise one row at a time, each with the chroma row it belongs to.
    for (int32_t row = 0; row < m_height; ++row) {
        const int32_t planeRow = m_pictureY + row;
        const int32_t chromaY = planeRow >> m_yShift;
        convertYCbCr(dest + static_cast<std::ptrdiff_t>(m_height - 1 - row) * destPitch, destPitch,
                     at(m_data[2], m_stride[2], chromaY, chromaX),
                     at(m_data[1], m_stride[1], chromaY, chromaX), factorX, m_width, 1, m_stride[0],
                     m_stride[1], at(m_data[0], m_stride[0], planeRow, m_pictureX), true);
    }
}
