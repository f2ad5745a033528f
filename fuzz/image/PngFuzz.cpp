// The PNG loader around libpng, with its callbacks and the placement trailer.
#include "ImageFuzz.h"

#include "image/FPngLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzImageLoader(data, size, [](FInStream& s, FImage& i) { FPngLoader::load(s, i); });
}
