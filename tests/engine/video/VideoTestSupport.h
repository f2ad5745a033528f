#pragma once

// Shared by the video tests: a player over a file in memory, pictures as
// comparable bytes, failure texts.

#include "engine/image/DecoderTestSupport.h"

#include "core/FMemory.h"
#include "image/FImage.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "video/FVideoStreamHost.h"
#include "video/FVideoTarget.h"

#include <memory>

// A video file in memory with its host and a player of kind P.
template <class P> class VideoUnderTest
{
public:
    VideoUnderTest(Bytes bytes, bool keepSource)
        : m_bytes(std::move(bytes)),
          m_host(FInStream::make(engineNew<FMemoryStreambuf>(k_memStream, m_bytes.data(),
                                                             static_cast<int64_t>(m_bytes.size()))),
                 keepSource),
          m_player(m_host)
    {
    }
    P& player() { return m_player; }
    FVideoStreamHost& host() { return m_host; }

    // Seeks as a video sprite does: the target's current frame follows.
    int32_t show(FVideoTarget& target, int32_t frame)
    {
        const int32_t shown = m_player.seekFrame(target, frame);
        target.setCurrentFrame(shown);
        return shown;
    }

private:
    Bytes m_bytes;
    FVideoStreamHost m_host;
    P m_player;
};

// The logical picture that an image (or the image it stands for) shows, as
// bottom-up B, G, R, A bytes; empty for an empty picture.
inline Bytes pictureOf(const FImage& image)
{
    const FImage& shown = image.sourceImage().get() != nullptr ? *image.sourceImage() : image;
    Bytes out;
    for (int32_t y = 0; y < shown.height(); ++y)
        for (int32_t x = 0; x < shown.width(); ++x) {
            const Bgra p = getImagePixel(shown, {x, y});
            out.insert(out.end(), p.begin(), p.end());
        }
    return out;
}
