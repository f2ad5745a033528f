#pragma once

class FImage;
class FInStream;

// Loads a ".jpg" asset: the picture through FJpegDecompress, then, when at
// least 16 bytes follow the end-of-image marker, the placement trailer that
// puts the pixels inside a larger logical picture.
class FJpegLoader
{
public:
    static void load(FInStream& stream, FImage& image);
};
