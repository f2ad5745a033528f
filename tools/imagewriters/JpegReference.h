#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// libjpeg-turbo's decode of a JPEG stream, for comparisons with the engine's
// decoder: the accurate integer transform and plain sample replication (no
// smoothing of subsampled chroma), as 32-bit B, G, R, A rows, top row first.
struct JpegReference
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgra;

    static JpegReference decode(const uint8_t* data, std::size_t size);
};
