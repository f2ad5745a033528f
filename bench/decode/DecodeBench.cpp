// Decoding speed of the engine's image loaders against the libraries' own
// decoders on the same 2400 x 1600 picture, side by side in one run.
//
// JPEG: the engine's decoder (to bottom-up B, G, R, A) against libjpeg-turbo
// decoding to B, G, R, A with its accurate integer transform. PNG: the engine's
// loader (libpng with its transformations, bottom-up B, G, R, A, grey masks)
// against a bare libpng decode of the same file into R, G, B, A rows.
// Counters: megapixels per second; the JPEG ratio is ours over theirs in time,
// both in the thread's CPU time (steady on a loaded machine) and in wall time.
#include "core/FMemory.h"
#include "image/FImage.h"
#include "image/FJpegDecompress.h"
#include "image/FPngLoader.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "tools/imagewriters/JpegWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "tools/imagewriters/TestPicture.h"

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int32_t k_width = 2400;
constexpr int32_t k_height = 1600;
constexpr double k_megapixels = k_width * double(k_height) / 1e6;

using Bytes = std::vector<uint8_t>;

// CPU time of the calling thread in seconds: time the thread spent waiting for
// a core on a busy machine is left out.
double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

const Bytes& jpegFile()
{
    static const Bytes bytes = [] {
        JpegOptions options;
        options.sampling = JpegOptions::k420;
        options.quality = 85;
        return writeJpeg(TestPicture::make(k_width, k_height, 11), options);
    }();
    return bytes;
}

const Bytes& pngFile()
{
    static const Bytes bytes = [] {
        const TestPicture picture = TestPicture::make(k_width, k_height, 11);
        std::vector<uint8_t> rgba(static_cast<std::size_t>(k_width) * k_height * 4);
        for (std::size_t i = 0; i < static_cast<std::size_t>(k_width) * k_height; ++i) {
            std::memcpy(&rgba[i * 4], &picture.rgb[i * 3], 3);
            rgba[i * 4 + 3] = static_cast<uint8_t>(i);
        }
        return writePng(PngPicture::rgba(k_width, k_height, std::move(rgba)));
    }();
    return bytes;
}

void setRate(benchmark::State& state)
{
    state.counters["MPix/s"] =
        benchmark::Counter(k_megapixels * state.iterations(), benchmark::Counter::kIsRate);
}

void decodeWithEngine(Bytes& bytes)
{
    FInStream stream(
        engineNew<FMemoryStreambuf>(k_memStream, bytes.data(), static_cast<int64_t>(bytes.size())));
    FImage image;
    FJpegDecompress(stream).decode(image);
    benchmark::DoNotOptimize(image.pixels());
}

void decodeWithTurbo(const Bytes& bytes)
{
    // A new buffer for every picture, as the engine's decoder makes one.
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[static_cast<std::size_t>(k_width) * k_height * 4]);
    jpeg_decompress_struct d{};
    jpeg_error_mgr error{};
    d.err = jpeg_std_error(&error);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_EXT_BGRA;
    d.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&d);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = &pixels[static_cast<std::size_t>(d.output_scanline) * k_width * 4];
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    benchmark::DoNotOptimize(pixels.get());
}

void BM_JpegEngine(benchmark::State& state)
{
    Bytes bytes = jpegFile();
    for (auto _ : state)
        decodeWithEngine(bytes);
    setRate(state);
}

void BM_JpegTurbo(benchmark::State& state)
{
    const Bytes& bytes = jpegFile();
    for (auto _ : state)
        decodeWithTurbo(bytes);
    setRate(state);
}

// Both decoders in turn on every iteration, so that both see the same machine
// load: the rate of each and the ratio of their times (goal: at most 1.2),
// in CPU time ("cpu ratio") and in wall time ("time ratio").
void BM_JpegSideBySide(benchmark::State& state)
{
    Bytes bytes = jpegFile();
    using Clock = std::chrono::steady_clock;
    Clock::duration engine{};
    Clock::duration turbo{};
    double engineCpu = 0;
    double turboCpu = 0;
    for (auto _ : state) {
        const double c0 = threadCpuSeconds();
        const Clock::time_point t0 = Clock::now();
        decodeWithEngine(bytes);
        const Clock::time_point t1 = Clock::now();
        const double c1 = threadCpuSeconds();
        decodeWithTurbo(bytes);
        turbo += Clock::now() - t1;
        turboCpu += threadCpuSeconds() - c1;
        engine += t1 - t0;
        engineCpu += c1 - c0;
    }
    const double engineSeconds = std::chrono::duration<double>(engine).count();
    const double turboSeconds = std::chrono::duration<double>(turbo).count();
    state.counters["engine MPix/s"] = k_megapixels * state.iterations() / engineCpu;
    state.counters["turbo MPix/s"] = k_megapixels * state.iterations() / turboCpu;
    state.counters["cpu ratio"] = engineCpu / turboCpu;
    state.counters["time ratio"] = engineSeconds / turboSeconds;
}

void BM_PngEngine(benchmark::State& state)
{
    Bytes bytes = pngFile();
    for (auto _ : state) {
        FInStream stream(
            engineNew<FMemoryStreambuf>(k_memStream, bytes.data(), static_cast<int64_t>(bytes.size())));
        FImage image;
        FPngLoader::load(stream, image);
        benchmark::DoNotOptimize(image.pixels());
    }
    setRate(state);
}

struct PngSource
{
    const Bytes* bytes;
    std::size_t offset;
};

void readFromMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    std::memcpy(data, source->bytes->data() + source->offset, length);
    source->offset += length;
}

void BM_PngBare(benchmark::State& state)
{
    const Bytes& bytes = pngFile();
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> pixels(new uint8_t[static_cast<std::size_t>(k_width) * k_height * 4]);
        std::vector<png_bytep> rows(k_height);
        for (int32_t y = 0; y < k_height; ++y)
            rows[y] = &pixels[static_cast<std::size_t>(y) * k_width * 4];
        PngSource source{&bytes, 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &source, readFromMemory);
        png_read_info(png, info);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels.get());
    }
    setRate(state);
}

} // namespace

BENCHMARK(BM_JpegEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegTurbo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegSideBySide)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PngEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngBare)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
