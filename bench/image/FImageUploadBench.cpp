// The texture upload path: a 2400 x 1600 picture whose stored pixels are
// trimmed, copied whole into a texture-ready BGRA buffer, against a plain
// memcpy of the same number of bytes.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/FMemory.h"
#include "image/FImage.h"

namespace {

constexpr int32_t k_width = 2400;
constexpr int32_t k_height = 1600;
constexpr size_t k_bytes = size_t(k_width) * k_height * 4;

// The stored pixels cover all but a transparent border.
void makeImage(FImage& image, int32_t kind, FImagePoint stored, FImagePoint offset)
{
    const int32_t pitch = getPixelFormatOps(kind)->rowBytes(stored.x);
    auto* buffer = static_cast<uint8_t*>(engineAlloc(k_memImage, size_t(pitch) * stored.y));
    for (size_t i = 0; i < size_t(pitch) * stored.y; ++i) {
        buffer[i] = static_cast<uint8_t>(i * 13);
    }
    image.setPlacedPixels({k_width, k_height}, kind, buffer, stored, offset, pitch, 1.0f);
}

void report(benchmark::State& state)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(k_bytes));
}

void BM_Memcpy(benchmark::State& state)
{
    std::vector<uint8_t> src(k_bytes, 1), dst(k_bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), k_bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    report(state);
}

void copyWhole(benchmark::State& state, int32_t kind, FImagePoint stored, FImagePoint offset)
{
    FImage image;
    makeImage(image, kind, stored, offset);
    std::vector<uint8_t> dst(k_bytes);
    for (auto _ : state) {
        image.copyRegionTo(dst.data(), {k_width, k_height}, k_pixelBgra8,
                           FTopDownRect{0, 0, k_width, k_height}, {0, 0});
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    report(state);
}

void BM_TrimmedBgraToBgra(benchmark::State& state)
{
    copyWhole(state, k_pixelBgra8, {2200, 1400}, {120, 90});
}

void BM_TrimmedRgbaToBgra(benchmark::State& state)
{
    copyWhole(state, k_pixelRgba8, {2200, 1400}, {120, 90});
}

void BM_UntrimmedBgraBlockCopy(benchmark::State& state)
{
    copyWhole(state, k_pixelBgra8, {k_width, k_height}, {0, 0});
}

// The same copy through one operations-table call per pixel, for comparison.
void BM_TrimmedBgraPerPixelCalls(benchmark::State& state)
{
    FImage image;
    makeImage(image, k_pixelBgra8, {2200, 1400}, {120, 90});
    std::vector<uint8_t> dst(k_bytes);
    const auto write = getPixelFormatOps(k_pixelBgra8)->writeIndex[k_formBgra8];
    for (auto _ : state) {
        for (int32_t y = 0; y < k_height; ++y) {
            uint8_t* row = dst.data() + size_t(y) * k_width * 4;
            for (int32_t x = 0; x < k_width; ++x) {
                const auto p = getImagePixel(image, {x, y});
                write(p.data(), row, x);
            }
        }
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    report(state);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrimmedBgraToBgra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrimmedRgbaToBgra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UntrimmedBgraBlockCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrimmedBgraPerPixelCalls)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
