// The Vorbis header path (page scan, the three headers over any number of
// pages, the loop comments) and the decode that follows it.
#include "SoundFuzz.h"

#include "audio/FAudioVorbisModule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzSoundLoader<FAudioVorbisModule>(data, size);
}
