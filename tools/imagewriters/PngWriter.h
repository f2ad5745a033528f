#pragma once

#include <cstdint>
#include <vector>

// PNG fixtures through libpng. Samples are given the way libpng takes rows of
// the colour type and bit depth: top row first, each row packed, 16-bit
// samples big-endian.
struct PngPicture
{
    int32_t width = 0;
    int32_t height = 0;
    int colorType = 6; // PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint8_t> samples;
    std::vector<uint8_t> paletteRgb;   // colour type 3: 3 bytes an entry
    std::vector<uint8_t> transparency; // tRNS: palette alphas, or the big-endian key sample(s)
    // Adds the ancillary chunks a paint program writes (gAMA, cHRM, sBIT,
    // bKGD, pHYs, tIME, tEXt, zTXt), which a reader must pass over.
    bool ancillary = false;

    // Bytes per row for the colour type and depth.
    std::size_t rowBytes() const;
    // An 8-bit RGBA picture from top-down R, G, B, A bytes.
    static PngPicture rgba(int32_t width, int32_t height, std::vector<uint8_t> rgba);
};

std::vector<uint8_t> writePng(const PngPicture& picture);
