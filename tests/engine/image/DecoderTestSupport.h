#pragma once

// Shared helpers of the decoder tests: engine streams over byte vectors,
// catching failure reports, and comparing pixels with a reference.

#include "engine/core/KernelTestSupport.h"

#include "core/FDebug.h"
#include "core/FMemory.h"
#include "image/FImage.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;
using Bgra = std::array<uint8_t, 4>;

// An engine stream over a copy of `bytes` (the copy lives as long as the stream).
class ByteStream
{
public:
    explicit ByteStream(Bytes bytes)
        : m_bytes(std::move(bytes)), m_stream(engineNew<FMemoryStreambuf>(
                                         k_memStream, m_bytes.data(), static_cast<int64_t>(m_bytes.size())))
    {
    }
    FInStream& stream() { return m_stream; }
    int64_t position() const { return m_stream.position(); }
    int64_t remaining() const { return m_stream.remaining(); }

private:
    Bytes m_bytes;
    FInStream m_stream;
};

// Runs `action`, which must raise a failure report; answers the report's text
// (empty, with a test failure, when nothing was raised).
inline std::string failureOf(const std::function<void()>& action)
{
    RecordingErrorHandler handler;
    try {
        action();
    } catch (const FDebug::VellumcoreException&) {
        if (!handler.texts.empty()) return handler.texts.back().toUtf8();
    }
    ADD_FAILURE() << "no failure report was raised";
    return std::string();
}

// The image's stored rows turned top row first (as decoders of other
// libraries deliver them), 4 bytes a pixel.
inline Bytes topDownPixels(const FImage& image)
{
    const int32_t w = image.pixelRect().width();
    const int32_t h = image.pixelRect().height();
    Bytes out(static_cast<std::size_t>(w) * h * 4);
    for (int32_t row = 0; row < h; ++row)
        std::memcpy(&out[static_cast<std::size_t>(h - 1 - row) * w * 4],
                    image.pixels() + static_cast<std::ptrdiff_t>(row) * image.pitch(),
                    static_cast<std::size_t>(w) * 4);
    return out;
}

// The largest difference of any channel between two equally sized buffers.
inline int maxChannelDifference(const Bytes& a, const Bytes& b)
{
    int worst = a.size() == b.size() ? 0 : 256;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}
