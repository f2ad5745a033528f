// One mixer pass (1632 frames, 37 ms of sound) over a root bus of voices that
// play 22050 Hz samples resampled to the 44100 Hz output. "budget%" is the
// share of the 37 ms between two passes that the pass takes on one core.

#include "engine/audio/AudioTestSupport.h"

#include "audio/FAudioBus.h"
#include "core/FMutex.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace audiotest;

namespace {

constexpr int k_passFrames = 1632;
constexpr int k_ringFrames = 6615;

FRefT<FAudioBuffer> sineSample(int frames)
{
    std::vector<std::int16_t> samples;
    for (int k = 0; k < frames; ++k) {
        const auto value = static_cast<std::int16_t>(8000.0 * std::sin(k * 0.05));
        samples.push_back(value);
        samples.push_back(static_cast<std::int16_t>(-value));
    }
    return makeBuffer(samples, 2, 22050.0f);
}

void mixPass(benchmark::State& state)
{
    const int voices = static_cast<int>(state.range(0));
    FMutex lock;
    FAudioBus bus;
    Root root(k_ringFrames, bus);
    FRefT<FAudioBuffer> sample = sineSample(22050);
    for (int voice = 0; voice < voices; ++voice)
        bus.setChannelSource(bus.addChannels(1), makeSource(sample, true, 0, 22050), lock);
    int start = 0;
    double total = 0.0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        root.mix(start, k_passFrames);
        benchmark::DoNotOptimize(root.output->frameAddress(0));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
        start = (start + k_passFrames) % (k_ringFrames - k_passFrames);
    }
    if (state.iterations() > 0)
        state.counters["budget%"] = total / static_cast<double>(state.iterations()) / 0.037 * 100.0;
}

BENCHMARK(mixPass)->Arg(8)->Arg(32)->Arg(64)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
