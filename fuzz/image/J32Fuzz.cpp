// The JPEG32 loader: signature, JPEG colour, PNG alpha and their merge.
#include "ImageFuzz.h"

#include "image/FJpeg32Loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzImageLoader(data, size, [](FInStream& s, FImage& i) { FJpeg32Loader::load(s, i); });
}
