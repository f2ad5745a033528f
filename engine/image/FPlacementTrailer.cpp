#include "image/FPlacementTrailer.h"

#include "core/FErrorMessage.h"
#include "io/FInStream.h"

bool FPlacementTrailer::read(FInStream& stream)
{
    if (stream.remaining() < k_size) return false;
    m_offsetX = stream.readInt32();
    m_offsetY = stream.readInt32();
    m_fullWidth = stream.readInt32();
    m_fullHeight = stream.readInt32();
    return true;
}

FImageRect FPlacementTrailer::placedRect(FImagePoint storedSize, const char* format) const
{
    if (m_fullWidth < 1 || m_fullHeight < 1 || m_fullWidth > k_maximumDimension ||
        m_fullHeight > k_maximumDimension)
        ZIBBO_FAIL(msgFileCorrupted, format << ": full width (" << m_fullWidth << ") and height ("
                                            << m_fullHeight << ") in 1.." << k_maximumDimension);
    // In 64 bits, the sums of any two 32-bit values are exact.
    const int64_t right = int64_t{m_offsetX} + storedSize.x;
    const int64_t lowest = int64_t{m_offsetY} + storedSize.y;
    if (m_offsetX < 0 || m_offsetY < 0 || storedSize.x < 0 || storedSize.y < 0 || right > m_fullWidth ||
        lowest > m_fullHeight)
        ZIBBO_FAIL(msgFileCorrupted, format << ": stored " << storedSize.x << " x " << storedSize.y << " at ("
                                            << m_offsetX << ", " << m_offsetY << ") inside " << m_fullWidth
                                            << " x " << m_fullHeight);
    FImageRect r;
    r.left = m_offsetX;
    r.right = static_cast<int32_t>(right);
    r.top = m_fullHeight - m_offsetY;
    r.bottom = static_cast<int32_t>(m_fullHeight - lowest);
    return r;
}
