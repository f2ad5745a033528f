// The JPEG loader: the engine's decoder and the placement trailer after it.
#include "ImageFuzz.h"

#include "image/FJpegLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzImageLoader(data, size, [](FInStream& s, FImage& i) { FJpegLoader::load(s, i); });
}
