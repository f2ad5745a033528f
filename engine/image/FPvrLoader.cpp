#include "image/FPvrLoader.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "core/FTimedLogStream.h"
#include "image/FImage.h"
#include "image/FPlacementTrailer.h"
#include "io/FInStream.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>

namespace {

struct BlockFree
{
    void operator()(uint8_t* block) const { engineFree(block); }
};

uint32_t littleEndianWord(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Header words in file order.
enum : int {
    k_wordHeaderSize,
    k_wordHeight,
    k_wordWidth,
    k_wordMipmaps,
    k_wordFlags,
    k_wordDataSize,
    k_wordBitCount,
    k_wordCount = 13,
};

} // namespace

void FPvrLoader::load(FInStream& stream, FImage& image)
{
    // Disk loads are timed when that diagnosis is switched on.
    std::optional<FTimedLogStream> timer;
    if (k_logDiskLoad.isOn()) timer.emplace(ZIBBO_HERE) << "PVR ";

    unsigned char header[k_headerSize];
    const std::streamsize got = stream.buffer()->sgetn(reinterpret_cast<char*>(header), k_headerSize);
    if (got != k_headerSize)
        ZIBBO_FAIL(msgFileCorrupted, "PVR: header (" << static_cast<int64_t>(got) << ") == " << k_headerSize);
    uint32_t words[k_wordCount];
    for (int i = 0; i < k_wordCount; ++i)
        words[i] = littleEndianWord(header + 4 * i);

    // Checked before anything is allocated: the payload must be in the file.
    const uint32_t headerSize = words[k_wordHeaderSize];
    const uint32_t width = words[k_wordWidth];
    const uint32_t height = words[k_wordHeight];
    const uint32_t dataSize = words[k_wordDataSize];
    if (headerSize != k_headerSize)
        ZIBBO_FAIL(msgFileCorrupted, "PVR: headerSize (" << headerSize << ") == " << k_headerSize);
    if (width == 0 || height == 0 || width > k_maximumDimension || height > k_maximumDimension)
        ZIBBO_FAIL(msgFileCorrupted,
                   "PVR: width (" << width << ") and height (" << height << ") in 1.." << k_maximumDimension);
    if (dataSize == 0 || static_cast<int64_t>(dataSize) > stream.remaining())
        ZIBBO_FAIL(msgFileCorrupted, "PVR: dataSize (" << dataSize << ") > 0 && dataSize <= remaining ("
                                                       << stream.remaining() << ")");

    const std::size_t total = std::size_t{dataSize} + k_headerSize;
    std::unique_ptr<uint8_t, BlockFree> buffer(static_cast<uint8_t*>(engineAlloc(k_memImage, total)));
    if (!buffer) ZIBBO_FAIL(msgSystemError, "engineAlloc (NULL)");
    std::memcpy(buffer.get(), header, k_headerSize);
    if (stream.buffer()->sgetn(reinterpret_cast<char*>(buffer.get() + k_headerSize), dataSize) !=
        static_cast<std::streamsize>(dataSize))
        ZIBBO_FAIL(msgFileCorrupted, "PVR: data (" << dataSize << ") read in full");

    FImagePoint stored{static_cast<int32_t>(width), static_cast<int32_t>(height)};
    FPlacementTrailer placement;
    placement.m_fullWidth = stored.x;
    placement.m_fullHeight = stored.y;
    if (stream.remaining() >= k_trailerSize) {
        const int32_t left = stream.readInt32();
        const int32_t top = stream.readInt32();
        const int32_t right = stream.readInt32();
        const int32_t bottom = stream.readInt32();
        placement.m_offsetX = left;
        placement.m_offsetY = top;
        placement.m_fullWidth = stream.readInt32();
        placement.m_fullHeight = stream.readInt32();
        // The trimmed part lies within the texture's own pixels.
        const int64_t trimmedWidth = int64_t{right} - left;
        const int64_t trimmedHeight = int64_t{bottom} - top;
        if (trimmedWidth < 1 || trimmedHeight < 1 || trimmedWidth > stored.x || trimmedHeight > stored.y)
            ZIBBO_FAIL(msgFileCorrupted, "PVR: placed " << trimmedWidth << " x " << trimmedHeight << " in 1.."
                                                        << stored.x << " x 1.." << stored.y);
        stored = {static_cast<int32_t>(trimmedWidth), static_cast<int32_t>(trimmedHeight)};
    }
    const FImageRect placedRect = placement.placedRect(stored, "PVR");
    const int32_t kind = words[k_wordBitCount] == 2 ? k_pixelPvr2 : k_pixelPvr4;
    image.setPixels(stored, kind, buffer.release(), 0, 1.0f);
    image.setPlacement(placement.m_fullWidth, placement.m_fullHeight, placedRect);
}
