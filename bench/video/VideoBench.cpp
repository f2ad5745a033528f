// Decoding speed of the video players on a 640 x 480 clip of 100 frames.
//
// GW video: every frame decoded when the header is read (PNG, JPEG and JPEG32
// frames), and the same clip played frame by frame keeping the source.
// Theora (each chroma layout): the engine's player (one seekFrame per frame,
// a new picture each) against a bare libtheora decode of the same file with
// the same colour conversion into one reused buffer, side by side in one run.
// Counters: frames per second; for Theora also the ratio of the times
// (engine over bare).
#include "core/FMemory.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "tools/videowriters/TheoraReference.h"
#include "tools/videowriters/TheoraWriter.h"
#include "video/FGWVideo.h"
#include "video/FVideoStreamHost.h"
#include "video/FVideoTarget.h"
#include "video/FVideoTheora.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr int32_t k_width = 640;
constexpr int32_t k_height = 480;
constexpr int32_t k_frames = 100;

using Bytes = std::vector<uint8_t>;

const std::vector<TestPicture>& pictures()
{
    static const std::vector<TestPicture> frames = movingPictures(k_width, k_height, k_frames, 17);
    return frames;
}

PngPicture pngOf(const TestPicture& picture)
{
    std::vector<uint8_t> rgba(static_cast<std::size_t>(k_width) * k_height * 4);
    for (std::size_t i = 0; i < static_cast<std::size_t>(k_width) * k_height; ++i) {
        std::memcpy(&rgba[i * 4], &picture.rgb[i * 3], 3);
        rgba[i * 4 + 3] = 255;
    }
    return PngPicture::rgba(k_width, k_height, std::move(rgba));
}

enum GwFormat { k_png, k_jpeg, k_jpeg32 };

const Bytes& gwClip(GwFormat format)
{
    static std::map<GwFormat, Bytes> clips;
    Bytes& clip = clips[format];
    if (clip.empty()) {
        GwVideoFile file;
        for (int32_t i = 0; i < k_frames; ++i) {
            const TestPicture& p = pictures()[i];
            if (format == k_png) file.frames.push_back(GwFrameRecord::png(pngOf(p)));
            if (format == k_jpeg) file.frames.push_back(GwFrameRecord::jpeg(p));
            if (format == k_jpeg32) file.frames.push_back(GwFrameRecord::jpeg32(p, pngOf(p)));
            if (i % 25 == 0) file.keyFrames.push_back({i, -1});
        }
        clip = writeGwVideo(file);
    }
    return clip;
}

const Bytes& theoraClip(TheoraClip::Sampling sampling)
{
    static std::map<TheoraClip::Sampling, Bytes> clips;
    Bytes& clip = clips[sampling];
    if (clip.empty()) {
        TheoraClip c;
        c.sampling = sampling;
        c.width = k_width;
        c.height = k_height;
        c.quality = 48;
        c.keyFrameInterval = 64;
        c.frames = pictures();
        clip = writeTheora(c);
    }
    return clip;
}

void setFrameRate(benchmark::State& state)
{
    state.counters["frames/s"] =
        benchmark::Counter(double(k_frames) * state.iterations(), benchmark::Counter::kIsRate);
}

FVideoStreamHost hostOver(Bytes& bytes, bool keepSource)
{
    return FVideoStreamHost(FInStream::make(engineNew<FMemoryStreambuf>(k_memStream, bytes.data(),
                                                                        static_cast<int64_t>(bytes.size()))),
                            keepSource);
}

// Reads the header with a new player of the clip and then shows every frame
// in order.
template <class Player> void playWithEngine(Bytes& bytes, bool keepSource)
{
    FVideoStreamHost host = hostOver(bytes, keepSource);
    Player player(host);
    player.readHeader();
    FVideoTarget target;
    for (int32_t n = 0; n < k_frames; ++n)
        target.setCurrentFrame(player.seekFrame(target, n));
    benchmark::DoNotOptimize(target.sourceImage().get());
}

// GW video decodes every frame when the header is read, or only frame 0 when
// the source is kept.
void playGw(benchmark::State& state, bool keepSource)
{
    Bytes bytes = gwClip(static_cast<GwFormat>(state.range(0)));
    for (auto _ : state)
        playWithEngine<FGWVideo>(bytes, keepSource);
    setFrameRate(state);
}

void BM_GwFullDecode(benchmark::State& state)
{
    playGw(state, false);
}

void BM_GwKeepSourcePlay(benchmark::State& state)
{
    playGw(state, true);
}

void playBare(const Bytes& bytes, std::vector<uint8_t>& pixels)
{
    TheoraReference decoder(bytes);
    while (decoder.nextFrame()) {
        const FVideoPlanes planes = FVideoTheora::planesOf(decoder.info(), decoder.planes());
        planes.convert(pixels.data(), planes.m_width * 4);
        benchmark::DoNotOptimize(pixels.data());
    }
}

// Both in turn on every iteration, so that both see the same machine load.
void BM_TheoraSideBySide(benchmark::State& state)
{
    Bytes bytes = theoraClip(static_cast<TheoraClip::Sampling>(state.range(0)));
    std::vector<uint8_t> pixels(static_cast<std::size_t>(k_width) * k_height * 4);
    using Clock = std::chrono::steady_clock;
    Clock::duration engine{};
    Clock::duration bare{};
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        playWithEngine<FVideoTheora>(bytes, true);
        const Clock::time_point t1 = Clock::now();
        playBare(bytes, pixels);
        bare += Clock::now() - t1;
        engine += t1 - t0;
    }
    const double engineSeconds = std::chrono::duration<double>(engine).count();
    const double bareSeconds = std::chrono::duration<double>(bare).count();
    state.counters["engine frames/s"] = k_frames * double(state.iterations()) / engineSeconds;
    state.counters["bare frames/s"] = k_frames * double(state.iterations()) / bareSeconds;
    state.counters["time ratio"] = engineSeconds / bareSeconds;
}

} // namespace

BENCHMARK(BM_GwFullDecode)->ArgName("png0_jpeg1_j32_2")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GwKeepSourcePlay)->ArgName("png0_jpeg1_j32_2")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TheoraSideBySide)
    ->ArgName("pf420_0_422_2_444_3")
    ->Arg(TheoraClip::k420)
    ->Arg(TheoraClip::k422)
    ->Arg(TheoraClip::k444)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_MAIN();
