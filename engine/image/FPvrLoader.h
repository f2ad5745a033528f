#pragma once

class FImage;
class FInStream;

// Loads a PVR texture file with the legacy 52-byte header (little-endian
// words). The image keeps the header in front of the payload and holds it as
// an opaque kind (k_pixelPvr2 for 2 bits per pixel, k_pixelPvr4 otherwise), so
// it loads but is not drawn. Six big-endian words after the payload, when
// present, place the pixels: left, top, right, bottom, full width and height.
class FPvrLoader
{
public:
    static constexpr int k_headerSize = 52;
    static constexpr int k_trailerSize = 24;
    static constexpr int k_maximumDimension = 16384;

    static void load(FInStream& stream, FImage& image);
};
