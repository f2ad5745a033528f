#pragma once

class FImage;
class FInStream;

// Loads a PNG stream through libpng into 32-bit B, G, R, A pixels stored
// bottom row first. Grey pictures become white with the grey level as alpha
// (they are masks). A placement trailer of 16 bytes after the PNG data, when
// present, puts the pixels inside a larger logical picture.
class FPngLoader
{
public:
    // Larger pictures are refused before their pixels are allocated.
    static constexpr int k_maximumDimension = 16384;

    static void load(FInStream& stream, FImage& image);
};
