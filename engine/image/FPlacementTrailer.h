#pragma once

#include "image/FImageRect.h"

#include <cstdint>

class FInStream;

// Trimmed art: sixteen bytes after a PNG or JPEG stream give the logical size
// of the full picture and where the stored pixels sit in it (x from the left
// edge, y downward from the top edge), as big-endian 32-bit integers.
struct FPlacementTrailer
{
    static constexpr int64_t k_size = 16;

    int32_t m_offsetX = 0;
    int32_t m_offsetY = 0;
    int32_t m_fullWidth = 0;
    int32_t m_fullHeight = 0;

    // Reads the trailer when at least k_size bytes remain; otherwise reads
    // nothing and answers false.
    bool read(FInStream& stream);

    // The stored rectangle (y upward) of pixels of storedSize placed by this
    // trailer. The values are taken as they come: sums wrap, never overflow.
    FImageRect placedRect(FImagePoint storedSize) const;
};
