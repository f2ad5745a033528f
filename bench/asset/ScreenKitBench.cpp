// Reading a kit's screen folders with immediate loading against decoding the
// same images straight from the kit with the loaders.
//
// The kit (made by our writers): 40 screen folders, 2,000 image assets of
// mixed PNG and JPEG pictures from 32 to 128 pixels square, 500 texts, the
// members stored. One iteration binds every folder (each image is decoded
// while its screen file is read) and unbinds them again; the same pass over
// the member files with the loaders alone is timed beside it. Counters: both
// mean times per pass in milliseconds, their ratio and the asset layer's
// share, and the same share between the fastest passes of each side; "cpuRatio"
// is the ratio of the process's CPU time on both sides (steady on a loaded
// machine).
#include "asset/FRawData.h"
#include "asset/FRawDataModule.h"
#include "asset/FScreenModule.h"
#include "core/FApplication.h"
#include "core/FSystemLocale.h"
#include "core/FThreadPoolModule.h"
#include "image/FImage.h"
#include "image/FImageLoaderModule.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "io/FFileSystemModule.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"
#include "support/QuietErrorHandler.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/imagewriters/JpegWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "tools/imagewriters/TestPicture.h"
#include "tools/zipwriter/ZipWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>

namespace {

constexpr int k_folders = 40;
constexpr int k_imagesPerFolder = 50;
constexpr int k_textsPerFolder = 12; // and 20 folders with one more: 500 texts

FRef makeObject(int16_t kind)
{
    FAsset* asset = nullptr;
    if (kind == 0) asset = engineNew<FRawData>(k_memObject);
    if (kind == 3) asset = engineNew<FImage>(k_memObject);
    return FAsset::handleFor(asset);
}

std::vector<uint8_t> picture(int index, bool png)
{
    static const int sizes[] = {32, 48, 64, 96, 128};
    const int side = sizes[index % 5];
    const TestPicture p = TestPicture::make(side, side, static_cast<uint32_t>(index + 1));
    if (!png) return writeJpeg(p);
    std::vector<uint8_t> rgba;
    for (size_t i = 0; i < p.rgb.size(); i += 3)
        rgba.insert(rgba.end(), {p.rgb[i], p.rgb[i + 1], p.rgb[i + 2], 255});
    return writePng(PngPicture::rgba(side, side, std::move(rgba)));
}

// CPU time of the whole process in milliseconds.
double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

struct DirectImage
{
    FRefT<FFileEntry> entry;
    bool png;
};

// The engine with its kit mounted, made once for the whole run.
struct KitEnvironment
{
    std::filesystem::path folder;
    std::unique_ptr<QuietErrorHandler> quiet = std::make_unique<QuietErrorHandler>();
    std::unique_ptr<FApplication> application;
    std::unique_ptr<FThreadPoolModule> threadPool;
    std::unique_ptr<FZipModule> zip;
    std::unique_ptr<FZLibModule> zlib;
    std::unique_ptr<FFileSystemModule> files;
    std::unique_ptr<FRawDataModule> rawData;
    std::unique_ptr<FImageLoaderModule> png;
    std::unique_ptr<FImageLoaderModule> jpeg;
    std::unique_ptr<FScreenModule> screens;
    std::vector<DirectImage> direct;

    KitEnvironment()
    {
        FErrorHandler::install(quiet.get());
        folder = std::filesystem::temp_directory_path() /
                 ("zibbo-bench-kit-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
        ZipWriter kit;
        kit.add("GWTarget", writeTarget("Bench"), ZipMethod::Stored);
        int imageIndex = 0;
        for (int f = 1; f <= k_folders; ++f) {
            ScreenFile file;
            const int texts = k_textsPerFolder + (f % 2);
            for (int t = 0; t < texts; ++t) {
                ScreenText text;
                text.key = static_cast<int16_t>(f * 100 + t);
                text.name = "text";
                text.strings = {"An English line of text", "Une ligne en francais"};
                file.records.push_back(text);
            }
            for (int i = 0; i < k_imagesPerFolder; ++i, ++imageIndex) {
                const bool isPng = imageIndex % 2 == 0;
                ScreenAsset image;
                image.kind = 3;
                image.id = static_cast<int16_t>(1000 + imageIndex);
                image.name = "image";
                image.kindData = imageKindData(true);
                file.records.push_back(image);
                kit.add(assetFileName(f, image.id, isPng ? ".png" : ".jpg"), picture(imageIndex, isPng),
                        ZipMethod::Stored);
            }
            kit.add(screenFilePath(f), writeScreenFile(file), ZipMethod::Stored);
        }
        kit.writeTo(folder / "Zibbo.zip");

        application = std::make_unique<FApplication>();
        threadPool = std::make_unique<FThreadPoolModule>();
        zip = std::make_unique<FZipModule>();
        zlib = std::make_unique<FZLibModule>();
        files = std::make_unique<FFileSystemModule>();
        rawData = std::make_unique<FRawDataModule>();
        png = std::make_unique<FImageLoaderModule>(k_slotPngLoader, &FPngLoader::load);
        jpeg = std::make_unique<FImageLoaderModule>(k_slotJpegLoader, &FJpegLoader::load);
        screens = std::make_unique<FScreenModule>(&makeObject);
        FSystemLocale english;
        english.language = 0;
        english.variant = FSystemLocale::k_englishVariant;
        screens->loadAssetKits(english);

        for (int f = 1; f <= k_folders; ++f) {
            FFileEntryMap found;
            char pattern[16];
            std::snprintf(pattern, sizeof pattern, "%03d/*_0.*", f);
            files->service().search(found, FString(pattern));
            for (auto& [key, entry] : found)
                direct.push_back({entry, entry->extension() == FString(u".png")});
        }
    }

    ~KitEnvironment()
    {
        screens.reset();
        std::error_code ignored;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
        std::filesystem::remove_all(folder, ignored);
    }
};

KitEnvironment& environment()
{
    static KitEnvironment kit;
    return kit;
}

// The decoded images stay until the pass ends, as they stay in the registry
// on the other side.
double decodeDirectly(KitEnvironment& kit)
{
    std::vector<std::unique_ptr<FImage>> decoded;
    decoded.reserve(kit.direct.size());
    const auto start = std::chrono::steady_clock::now();
    for (const DirectImage& image : kit.direct) {
        FRefT<FInStream> stream = image.entry->owner()->open(image.entry);
        FInStream& in = *waitForRefTarget(stream);
        decoded.push_back(std::make_unique<FImage>());
        if (image.png)
            FPngLoader::load(in, *decoded.back());
        else
            FJpegLoader::load(in, *decoded.back());
        benchmark::DoNotOptimize(decoded.back()->pixels());
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void BM_ReadKitFolders(benchmark::State& state)
{
    KitEnvironment& kit = environment();
    double assetMs = 0;
    double directMs = 0;
    double bestAsset = 1e300;
    double bestDirect = 1e300;
    double assetCpu = 0;
    double directCpu = 0;
    for (auto _ : state) {
        const double cpuStart = processCpuMs();
        const auto start = std::chrono::steady_clock::now();
        for (int f = 1; f <= k_folders; ++f)
            kit.screens->readScreenFile(nullptr, f, k_imagesPerFolder + k_textsPerFolder + 1, 0, false);
        const double cpuAsset = processCpuMs();
        state.PauseTiming();
        if (kit.screens->registry().assetCount() != size_t(k_folders * k_imagesPerFolder))
            state.SkipWithError("not every image was registered");
        const double asset =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        for (int f = 1; f <= k_folders; ++f)
            kit.screens->unbind(f);
        const double cpuDirect = processCpuMs();
        const double direct = decodeDirectly(kit);
        directCpu += processCpuMs() - cpuDirect;
        assetCpu += cpuAsset - cpuStart;
        assetMs += asset;
        directMs += direct;
        bestAsset = std::min(bestAsset, asset);
        bestDirect = std::min(bestDirect, direct);
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["assetMs"] = assetMs / n;
    state.counters["directMs"] = directMs / n;
    state.counters["ratio"] = assetMs / directMs;
    state.counters["cpuRatio"] = assetCpu / directCpu;
    state.counters["layerPct"] = 100.0 * (assetMs - directMs) / directMs;
    // The fastest pass of each side: less disturbed by other load on the machine.
    state.counters["bestAssetMs"] = bestAsset;
    state.counters["bestDirectMs"] = bestDirect;
    state.counters["bestLayerPct"] = 100.0 * (bestAsset - bestDirect) / bestDirect;
    state.counters["images"] = static_cast<double>(kit.direct.size());
}

BENCHMARK(BM_ReadKitFolders)->Unit(benchmark::kMillisecond)->MinTime(5.0);

} // namespace

BENCHMARK_MAIN();
