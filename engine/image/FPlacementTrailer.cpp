#include "image/FPlacementTrailer.h"

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

FImageRect FPlacementTrailer::placedRect(FImagePoint storedSize) const
{
    const int64_t top = int64_t{m_fullHeight} - m_offsetY;
    FImageRect r;
    r.left = m_offsetX;
    r.right = static_cast<int32_t>(int64_t{m_offsetX} + storedSize.x);
    r.top = static_cast<int32_t>(top);
    r.bottom = static_cast<int32_t>(top - storedSize.y);
    return r;
}
