#pragma once

class FImage;
class FInStream;

// Loads a ".j32" file: the signature "J321", a JPEG stream with the colour,
// then a PNG stream whose alpha (or grey level) becomes the alpha, followed by
// the PNG's optional placement trailer, which places the result.
class FJpeg32Loader
{
public:
    static void load(FInStream& stream, FImage& image);
};
