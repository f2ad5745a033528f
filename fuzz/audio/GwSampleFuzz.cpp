// The GWSample reader: header words, sizes against the data, ADPCM nibbles.
#include "SoundFuzz.h"

#include "audio/FAudioGWSampleModule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzSoundLoader<FAudioGWSampleModule>(data, size);
}
