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
    // The same cap as on the stored pictures: the full picture is allocated
    // whole when the trimmed art is drawn or decoded.
    static constexpr int32_t k_maximumDimension = 16384;

    int32_t m_offsetX = 0;
    int32_t m_offsetY = 0;
    int32_t m_fullWidth = 0;
    int32_t m_fullHeight = 0;

    // Reads the trailer when at least k_size bytes remain; otherwise reads
    // nothing and answers false.
    bool read(FInStream& stream);

    // The stored rectangle (y upward) of pixels of storedSize placed by this
    // trailer. A failure report (naming `format`) when the full picture is not
    // 1..k_maximumDimension on each side or the stored pixels do not lie
    // inside it, so no rectangle is ever made from values that overflow.
    FImageRect placedRect(FImagePoint storedSize, const char* format) const;
};
