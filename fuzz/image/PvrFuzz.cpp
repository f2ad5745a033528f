// The PVR loader: header checks, payload and placement words.
#include "ImageFuzz.h"

#include "image/FPvrLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzImageLoader(data, size, [](FInStream& s, FImage& i) { FPvrLoader::load(s, i); });
}
