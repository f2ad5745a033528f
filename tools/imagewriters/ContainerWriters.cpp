#include "tools/imagewriters/ContainerWriters.h"

#include <cstring>

namespace {

void putBigEndian(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void putLittleEndian(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

} // namespace

std::vector<uint8_t> placementTrailer(int32_t offsetX, int32_t offsetY, int32_t fullWidth, int32_t fullHeight)
{
    std::vector<uint8_t> out;
    for (int32_t v : {offsetX, offsetY, fullWidth, fullHeight})
        putBigEndian(out, static_cast<uint32_t>(v));
    return out;
}

std::vector<uint8_t> writeJ32(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& png,
                              const std::vector<uint8_t>& trailer)
{
    std::vector<uint8_t> out(4 + jpeg.size() + png.size() + trailer.size());
    std::memcpy(out.data(), "J321", 4);
    std::size_t at = 4;
    for (const std::vector<uint8_t>* part : {&jpeg, &png, &trailer}) {
        if (!part->empty()) std::memcpy(out.data() + at, part->data(), part->size());
        at += part->size();
    }
    return out;
}

std::vector<uint8_t> writePvr(const PvrFile& file)
{
    std::vector<uint8_t> out;
    const uint32_t dataSize =
        file.dataSizeField != 0 ? file.dataSizeField : static_cast<uint32_t>(file.payload.size());
    // header size, height, width, mipmaps, flags, data size, bit count,
    // red, green, blue and alpha masks, tag, surfaces
    const uint32_t words[13] = {file.headerSize,
                                file.height,
                                file.width,
                                0,
                                0x8019,
                                dataSize,
                                file.bitCount,
                                0,
                                0,
                                0,
                                0,
                                0x21525650 /* "PVR!" */,
                                1};
    for (uint32_t w : words)
        putLittleEndian(out, w);
    out.insert(out.end(), file.payload.begin(), file.payload.end());
    for (int32_t v : file.placement)
        putBigEndian(out, static_cast<uint32_t>(v));
    return out;
}
