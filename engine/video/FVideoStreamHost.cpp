#include "video/FVideoStreamHost.h"

FVideoStreamHost::FVideoStreamHost(FRefT<FInStream> stream, bool keepSource)
    : m_stream(std::move(stream)), m_keepSource(keepSource)
{
}

void FVideoStreamHost::setPictureSize(int32_t width, int32_t height)
{
    m_width = width;
    m_height = height;
}
