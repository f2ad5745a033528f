// kittool build: makes the main content kit the game mounts at start from the
// sources in a content folder: the target file (the application's name, from
// "GWTarget.txt"), the Lua files under "Scripts", and every screen folder that
// a manifest of "screens" or "worlds" describes, with its screen file and one
// file per asset. The generated game data, when its folder is given, fills
// the assets that carry it.
#include "game/core/GameDataAssets.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitDemoRecipe.h"
#include "tools/kittool/KitManifest.h"
#include "tools/kittool/KitPreview.h"
#include "tools/recipes/RecipeCache.h"
#include "tools/recipes/RecipeMaker.h"
#include "tools/zipwriter/ZipWriter.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {

// The first line of the target text, without its line end.
std::string targetText(const fs::path& content)
{
    const std::vector<uint8_t> bytes = kitReadFile(content / "GWTarget.txt");
    std::string text(bytes.begin(), bytes.end());
    text = text.substr(0, text.find_first_of("\r\n"));
    if (text.empty()) throw std::runtime_error("GWTarget.txt names no application");
    return text;
}

// Every regular file below the folder, by member name, in name order so that
// the same sources always give the same kit.
std::vector<std::pair<std::string, fs::path>> scripts(const fs::path& content)
{
    std::vector<std::pair<std::string, fs::path>> files;
    const fs::path folder = content / "Scripts";
    if (!fs::is_directory(folder)) return files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        files.emplace_back(fs::relative(entry.path(), content).generic_string(), entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The generated file that an asset carries, or an empty path.
fs::path generatedSource(const fs::path& gameData, int32_t folder, int32_t id)
{
    using namespace GameDataAssets;
    if (gameData.empty()) return {};
    if (folder == k_gameDataFolder && id == k_gameDataAsset) return gameData / k_gameDataFile;
    if (folder == k_animationTableFolder && id == k_animationTableAsset)
        return gameData / k_animationTableFile;
    if (folder == k_searchDataFolder && id >= k_firstSearchDataAsset &&
        id < k_firstSearchDataAsset + GameDataAssets::k_worldCount)
        return gameData / searchDataFile(id - k_firstSearchDataAsset);
    return {};
}

struct KitSummary
{
    std::size_t folders = 0;
    std::map<std::string, std::size_t> assetsPerKind;
};

// One asset's file: its bytes and the ending they were made with.
struct AssetFile
{
    std::vector<uint8_t> bytes;
    std::string extension;
};

// Whether the engine loads a file with this ending for an asset of the kind:
// pictures, samples and clips choose their loader by the ending.
bool kindTakes(int16_t kindCode, const std::string& extension)
{
    static const std::map<int16_t, std::vector<std::string>> k_endings = {
        {3, {".png", ".ppm", ".jpg", ".j32"}},
        {4, {".gwsample", ".vorbis", ".speex"}},
        {7, {".theora", ".gwvideo"}},
    };
    const auto endings = k_endings.find(kindCode);
    return endings == k_endings.end() ||
           std::find(endings->second.begin(), endings->second.end(), extension) != endings->second.end();
}

AssetFile assetFile(const ScreenManifest& m, const ManifestAsset& a, const fs::path& gameData,
                    RecipeCache& cache)
{
    const fs::path source = generatedSource(gameData, m.folder, a.id);
    if (!source.empty()) return {kitReadFile(source), ".xml"};
    if (const std::optional<Recipe> recipe = kitAssetRecipe(m, a)) {
        if (!kindTakes(a.kindCode, recipeExtension(*recipe)))
            throw std::runtime_error(m.where() + ", asset " + std::to_string(a.id) + ", key '" + a.member +
                                     "': its recipe makes a " + recipeExtension(*recipe) +
                                     " file, which no " + a.kind + " asset loads");
        RecipeAsset made = cache.make(*recipe);
        return {std::move(made.bytes), std::move(made.extension)};
    }
    return {placeholderBytes(m, a), placeholderExtension(a.kindCode)};
}

// Makes the files of a folder's assets on every core; the first failure is
// raised once all have stopped.
std::vector<AssetFile> assetFiles(const ScreenManifest& m, const fs::path& gameData, RecipeCache& cache)
{
    std::vector<AssetFile> files(m.assets.size());
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            try {
                files[i] = assetFile(m, m.assets[i], gameData, cache);
            } catch (...) {
                std::lock_guard<std::mutex> hold(failureLock);
                if (!failure) failure = std::current_exception();
                next = files.size();
            }
        }
    };
    const unsigned count = std::max(1u, std::min(std::thread::hardware_concurrency(), 16u));
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < count; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    if (failure) std::rethrow_exception(failure);
    return files;
}

// Adds the folder of every manifest below `manifests` (none when it does not
// exist): its screen file and each asset's file, in manifest order.
// With a preview folder, each folder's preview picture is written there first.
std::size_t addFolders(ZipWriter& kit, const fs::path& manifests, const fs::path& gameData,
                       RecipeCache& cache, KitSummary& summary, const fs::path& preview)
{
    if (!fs::is_directory(manifests)) return 0;
    std::size_t members = 0;
    for (const ScreenManifest& m : readScreenManifests(manifests.string())) {
        kit.add(screenFilePath(m.folder), writeScreenFile(manifestScreenFile(m)));
        ++members;
        std::vector<AssetFile> files = assetFiles(m, gameData, cache);
        if (!preview.empty()) {
            std::vector<KitPreviewFile> made;
            for (const AssetFile& file : files)
                made.push_back({&file.bytes, file.extension});
            std::printf("preview %s\n", writeKitPreview(m, made, preview).string().c_str());
        }
        for (std::size_t i = 0; i < files.size(); ++i) {
            kit.add(assetFileName(m.folder, m.assets[i].id, files[i].extension), std::move(files[i].bytes));
            ++members;
            ++summary.assetsPerKind[m.assets[i].kind];
        }
        ++summary.folders;
        std::printf("folder %03d: %zu assets, %zu texts\n", static_cast<int>(m.folder), m.assets.size(),
                    m.texts.size());
        std::fflush(stdout);
    }
    return members;
}

} // namespace

int kitBuild(const KitArgs& args)
{
    KitArgs paths;
    bool withPreview = false;
    for (const std::string& arg : args) {
        if (arg == "--preview")
            withPreview = true;
        else
            paths.push_back(arg);
    }
    if (paths.size() != 2 && paths.size() != 3) return kitUsage("build");
    const fs::path content = paths[0];
    const fs::path out = paths[1];
    const fs::path gameData = paths.size() == 3 ? fs::path(paths[2]) : fs::path();
    // The preview pictures are for people and go beside the kit, never into it.
    const fs::path preview = withPreview ? out / "preview" : fs::path();
    if (!fs::is_directory(content)) throw std::runtime_error(content.string() + " is not a folder");

    ZipWriter kit;
    kit.add("GWTarget", writeTarget(targetText(content)));
    const auto files = scripts(content);
    for (const auto& [name, path] : files)
        kit.add(name, kitReadFile(path));
    KitSummary summary;
    fs::create_directories(out);
    // Made media are kept beside the kit, so a build with no change makes nothing again.
    RecipeCache cache(out / "recipe-cache");
    std::size_t members = files.size() + 1;
    members += addFolders(kit, content / "screens", gameData, cache, summary, preview);
    members += addFolders(kit, content / "worlds", gameData, cache, summary, preview);

    const fs::path kitPath = out / "Zibbo.zip";
    const fs::path partPath = out / "Zibbo.zip.part";
    try {
        kitWriteFile(partPath.string(), kit.build());
    } catch (const std::runtime_error&) {
        std::error_code ignored;
        fs::remove(partPath, ignored);
        throw;
    }
    // A kit is replaced whole, so a failed build never leaves half a kit where the game looks.
    fs::rename(partPath, kitPath);
    std::printf("built %s: %zu members, %zu folders, %ju bytes\n", kitPath.string().c_str(), members,
                summary.folders, static_cast<uintmax_t>(fs::file_size(kitPath)));
    for (const auto& [kind, count] : summary.assetsPerKind)
        std::printf("  %s: %zu\n", kind.c_str(), count);
    std::printf("media: %d made, %d from the cache\n", cache.made(), cache.reused());
    return 0;
}
