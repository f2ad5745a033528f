#pragma once

#include <cstdint>
#include <vector>

// Our own containers around JPEG and PNG data, and PVR texture files.

// Sixteen bytes: offset x, offset y (downward from the top), full width, full
// height, each big-endian 32-bit.
std::vector<uint8_t> placementTrailer(int32_t offsetX, int32_t offsetY, int32_t fullWidth,
                                      int32_t fullHeight);

// A ".j32" file: "J321", the JPEG stream, the PNG stream (whose alpha or grey
// is the alpha), then `trailer` (empty or a placement trailer).
std::vector<uint8_t> writeJ32(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& png,
                              const std::vector<uint8_t>& trailer = {});

// A PVR file with the legacy 52-byte little-endian header, then the payload,
// then, when given, the six big-endian words left, top, right, bottom, full
// width, full height.
struct PvrFile
{
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitCount = 4;
    uint32_t headerSize = 52;   // anything else makes a broken file
    uint32_t dataSizeField = 0; // 0: the payload's size
    std::vector<uint8_t> payload;
    std::vector<int32_t> placement; // empty or six values
};

std::vector<uint8_t> writePvr(const PvrFile& file);
