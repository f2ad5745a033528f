// kittool decode SOUND OUT.wav: loads a ".gwsample" or ".vorbis" sound
// through the engine's own loader, decoded whole, and writes it as a 16-bit
// PCM WAV at the sound's own rate and channel count. A looping sound prints
// "loop START LENGTH" (frames) on standard output.
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitSession.h"

#include "asset/FAssetStream.h"
#include "audio/FAudioGWSampleModule.h"
#include "audio/FAudioVorbisModule.h"
#include "audio/FSample.h"
#include "core/FMemory.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void putLittle(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> wavFile(const FAudioBuffer& data)
{
    const uint32_t channels = static_cast<uint32_t>(data.channels());
    const uint32_t rate = static_cast<uint32_t>(data.rate());
    const uint32_t bytes = static_cast<uint32_t>(data.frames()) * channels * 2;
    std::vector<uint8_t> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    putLittle(out, 36 + bytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLittle(out, 16, 4);
    putLittle(out, 1, 2); // PCM
    putLittle(out, channels, 2);
    putLittle(out, rate, 4);
    putLittle(out, rate * channels * 2, 4);
    putLittle(out, channels * 2, 2);
    putLittle(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putLittle(out, bytes, 4);
    // The buffer holds native 16-bit samples; WAV wants them little-endian.
    const auto* samples = reinterpret_cast<const int16_t*>(data.frameAddress(0));
    for (uint32_t i = 0; i < bytes / 2; ++i)
        putLittle(out, static_cast<uint16_t>(samples[i]), 2);
    return out;
}

} // namespace

void kitLoadSample(const std::vector<uint8_t>& bytes, FAssetLoader& loader, FSample& sample)
{
    void* block = engineAlloc(k_memData, bytes.size() + 1);
    if (block == nullptr) throw std::runtime_error("out of memory");
    if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
    FRefT<FInStream> stream =
        FAssetStream::makeOver(makeRefHolder(block), block, static_cast<int64_t>(bytes.size()));

    sample.setEntryFlags(FAsset::k_flagLoadOnUse);
    sample.setLoader(&loader);
    sample.setSource(stream);
    sample.complete();
    // The loader's failure report is on standard error already.
    if (!sample.isLoaded() || sample.data() == nullptr) throw std::runtime_error("the sound does not decode");
}

int kitDecodeSound(const KitArgs& args, bool vorbis)
{
    KitSession session;
    FAudioGWSampleModule gwSampleLoader;
    FAudioVorbisModule vorbisLoader;
    FSample sample;
    try {
        kitLoadSample(kitReadFile(args[0]),
                      vorbis ? static_cast<FAssetLoader&>(vorbisLoader) : gwSampleLoader, sample);
    } catch (const std::runtime_error&) {
        throw std::runtime_error("cannot decode " + args[0]);
    }
    if (sample.loops()) std::printf("loop %d %d\n", sample.loopStart(), sample.loopLength());

    const std::vector<uint8_t> wav = wavFile(*sample.data());
    std::ofstream out(args[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + args[1]);
    return 0;
}
