// Sound loading and streaming:
// - full decode of 60 s of 44.1 kHz stereo Vorbis through the engine's loader,
//   beside a bare libvorbisfile decode of the same file (compare the times);
// - one mixer pass (1632 frames) over 16 voices that stream at once, each from
//   its own decoder on a worker: the time the mixer thread spends in the pass;
// - the wrap of a streamed loop that starts 30 s into the minute: the Vorbis
//   decoder's seek back to the loop start (it decodes again from the start),
//   and the GWSample reader's (the first decodes from the start, later ones go
//   back to where the first arrived).

#include "engine/audio/AudioTestSupport.h"

#include "asset/FAssetStream.h"
#include "audio/FAudioGWSampleModule.h"
#include "audio/FAudioStreamTask.h"
#include "audio/FAudioVorbisModule.h"
#include "audio/FGwSampleReader.h"
#include "audio/FSample.h"
#include "audio/FVorbisDecoder.h"
#include "core/FMutex.h"
#include "tools/audiowriters/GwSampleWriter.h"
#include "tools/audiowriters/VorbisWriter.h"

#include "engine/audio/VorbisFileReader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

using namespace audiotest;

namespace {

std::vector<int16_t> music(int frames)
{
    std::vector<int16_t> out;
    uint32_t seed = 99;
    for (int k = 0; k < frames; ++k) {
        seed = seed * 1664525u + 1013904223u;
        const double tone = 6000.0 * std::sin(k * 0.031) + 3000.0 * std::sin(k * 0.173);
        const int noise = static_cast<int>(seed >> 22) - 512;
        out.push_back(static_cast<int16_t>(tone + noise));
        out.push_back(static_cast<int16_t>(tone * 0.7 - noise));
    }
    return out;
}

const std::vector<uint8_t>& minuteOfVorbis()
{
    static const std::vector<uint8_t> file = [] {
        VorbisSpec spec;
        return writeVorbis(spec, music(60 * 44100));
    }();
    return file;
}

FRefT<FSample> loadSample(FAssetLoader& loader, const std::vector<uint8_t>& bytes, bool streamed)
{
    auto* sample = engineNew<FSample>(k_memObject);
    FRefT<FSample> handle(FAsset::handleFor(sample));
    sample->setEntryFlags(FAsset::k_flagLoadOnUse | (streamed ? FAsset::k_flagKeepSource : 0));
    sample->setLoader(&loader);
    void* block = engineAlloc(k_memData, bytes.size() + 1);
    std::memcpy(block, bytes.data(), bytes.size());
    sample->setSource(
        FAssetStream::makeOver(makeRefHolder(block), block, static_cast<int64_t>(bytes.size())));
    sample->complete();
    return handle;
}

void vorbisEngineDecode(benchmark::State& state)
{
    const std::vector<uint8_t>& file = minuteOfVorbis();
    FAudioVorbisModule loader;
    for (auto _ : state) {
        FRefT<FSample> sample = loadSample(loader, file, false);
        benchmark::DoNotOptimize(sample->data());
    }
}

void vorbisFileDecode(benchmark::State& state)
{
    const std::vector<uint8_t>& file = minuteOfVorbis();
    std::vector<char> pcm(60 * 44100 * 4 + 65536);
    for (auto _ : state) {
        VorbisFileCursor cursor{&file};
        OggVorbis_File vf;
        if (!openVorbisFile(vf, cursor)) {
            state.SkipWithError("libvorbisfile refused the file");
            break;
        }
        size_t at = 0;
        int section;
        long got;
        while ((got = ov_read(&vf, pcm.data() + at, 4096, 0, 2, 1, &section)) > 0)
            at = std::min(at + static_cast<size_t>(got), pcm.size() - 4096);
        ov_clear(&vf);
        benchmark::DoNotOptimize(pcm.data());
    }
}

constexpr int k_passFrames = 1632;
constexpr int k_ringFrames = 6615;

void streamedVoicesPass(benchmark::State& state)
{
    const int voices = static_cast<int>(state.range(0));
    const GwSampleSpec spec{2, 44100, false, true, false, 0, 5 * 44100};
    const std::vector<int16_t> samples = music(5 * 44100);
    const std::vector<uint8_t> file = writeGwSample(spec, samples);
    FAudioGWSampleModule loader;
    FMutex lock;
    FAudioBus bus;
    Root root(k_ringFrames, bus);
    std::vector<FRefT<FSample>> playing;
    for (int voice = 0; voice < voices; ++voice) {
        playing.push_back(loadSample(loader, file, true));
        bus.setChannelSource(bus.addChannels(1), FRefT<FAudioNode>(static_cast<const FRef&>(playing.back())),
                             lock);
    }
    int start = 0;
    int silentPasses = 0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        root.mix(start, k_passFrames);
        benchmark::DoNotOptimize(root.output->frameAddress(0));
        const auto* first =
            reinterpret_cast<const int16_t*>(root.output->frameAddress(start + k_passFrames / 2));
        if (first[0] == 0 && first[1] == 0) ++silentPasses;
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        start = (start + k_passFrames) % (k_ringFrames - k_passFrames);
        // The decoders keep pace with real time, as they do on a machine
        // whose output consumes a pass every 37 ms; give them that room.
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    // Passes that met an underrun (the decoders had not caught up).
    if (state.iterations() > 0)
        state.counters["silent%"] = 100.0 * silentPasses / static_cast<double>(state.iterations());
}

constexpr int k_loopStart = 30 * 44100;

void vorbisLoopSeek(benchmark::State& state)
{
    const std::vector<uint8_t>& file = minuteOfVorbis();
    FVorbisDecoder decoder(bytesReader(file, 0));
    decoder.readHeaders();
    std::vector<int16_t> chunk;
    for (auto _ : state) {
        state.PauseTiming();
        decoder.seek(50 * 44100);
        state.ResumeTiming();
        decoder.seek(k_loopStart);
        chunk.clear();
        decoder.decode(chunk, 1);
        benchmark::DoNotOptimize(chunk.data());
    }
}

void gwSampleLoopSeek(benchmark::State& state)
{
    static const GwSampleSpec spec{2, 44100, false, false, false, 0, 0};
    static const std::vector<uint8_t> file = writeGwSample(spec, music(60 * 44100));
    const bool again = state.range(0) != 0;
    std::vector<int16_t> frames(2 * 1024);
    for (auto _ : state) {
        state.PauseTiming();
        FGwSampleReader reader(FGwSampleReader::parseHeader(file.data()),
                               bytesReader(file, FGwSampleReader::k_headerBytes));
        if (again) reader.seek(k_loopStart);
        // Played on to 50 s, as a stream decodes up to its loop end.
        while (reader.frame() < 50 * 44100)
            reader.decode(frames.data(), 1024);
        state.ResumeTiming();
        reader.seek(k_loopStart);
        reader.decode(frames.data(), 1024);
        benchmark::DoNotOptimize(frames.data());
    }
}

BENCHMARK(vorbisEngineDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(vorbisFileDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(vorbisLoopSeek)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(gwSampleLoopSeek)->Arg(0)->Arg(1)->Iterations(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(streamedVoicesPass)->Arg(16)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
