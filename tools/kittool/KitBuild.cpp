// kittool build: makes the main content kit the game mounts at start from the
// sources in a content folder: the target file (the application's name, from
// "GWTarget.txt"), the Lua files under "Scripts", and every screen folder that
// a manifest of "screens" or "worlds" describes, with its screen file and one
// file per asset. The generated game data, when its folder is given, fills
// the assets that carry it.
#include "game/core/GameDataAssets.h"
#include "io/FDigest.h"
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

// The folders of every manifest below `manifests` (none when it does not exist).
std::vector<ScreenManifest> manifestsBelow(const fs::path& manifests)
{
    if (!fs::is_directory(manifests)) return {};
    return readScreenManifests(manifests.string());
}

// Makes the files of every folder's assets at once, on every core: most
// folders hold a few assets, so a pool per folder would leave cores idle.
// The first failure is raised once all workers have stopped.
std::vector<std::vector<AssetFile>> assetFiles(const std::vector<ScreenManifest>& manifests,
                                               const fs::path& gameData, RecipeCache& cache)
{
    std::vector<std::vector<AssetFile>> files(manifests.size());
    std::vector<std::pair<std::size_t, std::size_t>> jobs;
    for (std::size_t m = 0; m < manifests.size(); ++m) {
        files[m].resize(manifests[m].assets.size());
        for (std::size_t a = 0; a < manifests[m].assets.size(); ++a)
            jobs.emplace_back(m, a);
    }
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            const auto [m, a] = jobs[i];
            try {
                files[m][a] = assetFile(manifests[m], manifests[m].assets[a], gameData, cache);
            } catch (...) {
                std::lock_guard<std::mutex> hold(failureLock);
                if (!failure) failure = std::current_exception();
                next = jobs.size();
            }
        }
    };
    const unsigned count = std::max(1u, std::min(std::thread::hardware_concurrency(), 16u));
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < count && t < jobs.size(); ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    if (failure) std::rethrow_exception(failure);
    return files;
}

// Adds each manifest's folder: its screen file and each asset's file, in
// manifest order. With a preview folder, each folder's preview picture is
// written there first.
std::size_t addFolders(ZipWriter& kit, const std::vector<ScreenManifest>& manifests,
                       std::vector<std::vector<AssetFile>>& made, KitSummary& summary,
                       const fs::path& preview)
{
    std::size_t members = 0;
    for (std::size_t f = 0; f < manifests.size(); ++f) {
        const ScreenManifest& m = manifests[f];
        std::vector<AssetFile>& files = made[f];
        kit.add(screenFilePath(m.folder), writeScreenFile(manifestScreenFile(m)));
        ++members;
        if (!preview.empty()) {
            std::vector<KitPreviewFile> shown;
            for (const AssetFile& file : files)
                shown.push_back({&file.bytes, file.extension});
            std::printf("preview %s\n", writeKitPreview(m, shown, preview).string().c_str());
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

// The SHA-1 of a file's bytes in hexadecimal.
std::string fileDigest(const fs::path& file)
{
    const std::vector<uint8_t> bytes = kitReadFile(file);
    FDigestContext* context = FDigest::newSha1Context();
    FDigest::update(context, bytes.data(), bytes.size());
    const FDigestBytes digest = FDigest::finishDigest(context);
    FDigest::destroyDigestContext(context);
    return FDigest::toHex(digest).toUtf8();
}

// What a kit is made from, one line per input: every file of the content
// folder and of the game data's folder by name and digest (a few hundred
// kilobytes, read in milliseconds), this program by size and time of change
// (a new kittool may make other media), and the options. A build whose
// inputs read the same as the last one's has nothing to do.
std::string buildInputs(const fs::path& content, const fs::path& gameData, bool withPreview)
{
    std::vector<std::string> lines;
    for (const fs::path& folder : {content, gameData}) {
        if (folder.empty() || !fs::is_directory(folder)) continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                lines.push_back(fs::absolute(entry.path()).string() + " " + fileDigest(entry.path()));
    }
    std::sort(lines.begin(), lines.end());
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto size = fs::file_size(self, error);
        const auto changed = fs::last_write_time(self, error);
        if (!error)
            lines.push_back(self.string() + " " + std::to_string(size) + " " +
                            std::to_string(changed.time_since_epoch().count()));
    }
    lines.push_back(withPreview ? "preview" : "no preview");
    std::string text = "zibbo kit inputs " + std::to_string(k_recipeToolVersion) + "\n";
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::string readText(const fs::path& file)
{
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return {};
    const std::vector<uint8_t> bytes = kitReadFile(file);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

int kitBuild(const KitArgs& args)
{
    KitArgs paths;
    bool withPreview = false;
    fs::path cacheFolder;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--preview")
            withPreview = true;
        else if (args[i] == "--cache" && i + 1 < args.size())
            cacheFolder = args[++i];
        else if (args[i] == "--cache")
            return kitUsage("build");
        else
            paths.push_back(args[i]);
    }
    if (paths.size() != 2 && paths.size() != 3) return kitUsage("build");
    const fs::path content = paths[0];
    const fs::path out = paths[1];
    const fs::path gameData = paths.size() == 3 ? fs::path(paths[2]) : fs::path();
    // The preview pictures are for people and go beside the kit, never into it.
    const fs::path preview = withPreview ? out / "preview" : fs::path();
    if (!fs::is_directory(content)) throw std::runtime_error(content.string() + " is not a folder");

    const fs::path kitPath = out / "Zibbo.zip";
    const fs::path inputsPath = out / "Zibbo.zip.inputs";
    const std::string inputs = buildInputs(content, gameData, withPreview);
    if (fs::is_regular_file(kitPath) && readText(inputsPath) == inputs) {
        std::printf("%s is up to date: no input changed\n", kitPath.string().c_str());
        return 0;
    }

    ZipWriter kit;
    kit.add("GWTarget", writeTarget(targetText(content)));
    const auto files = scripts(content);
    for (const auto& [name, path] : files)
        kit.add(name, kitReadFile(path));
    KitSummary summary;
    fs::create_directories(out);
    // Made media are kept beside the kit (or in the cache folder given, which several
    // builds may share), so an unchanged recipe is never made again.
    RecipeCache cache(cacheFolder.empty() ? out / "recipe-cache" : cacheFolder);
    std::size_t members = files.size() + 1;
    std::vector<ScreenManifest> manifests = manifestsBelow(content / "screens");
    for (ScreenManifest& m : manifestsBelow(content / "worlds"))
        manifests.push_back(std::move(m));
    std::vector<std::vector<AssetFile>> made = assetFiles(manifests, gameData, cache);
    members += addFolders(kit, manifests, made, summary, preview);

    const fs::path partPath = out / "Zibbo.zip.part";
    try {
        kitWriteFile(partPath.string(), kit.build());
    } catch (const std::runtime_error&) {
        std::error_code ignored;
        fs::remove(partPath, ignored);
        throw;
    }
    // A kit is replaced whole, so a failed build never leaves half a kit where the game looks.
    // The inputs are recorded only once the kit is in place: a failed or
    // interrupted build is always made again.
    fs::remove(inputsPath);
    fs::rename(partPath, kitPath);
    kitWriteFile(inputsPath.string(), std::vector<uint8_t>(inputs.begin(), inputs.end()));
    std::printf("built %s: %zu members, %zu folders, %ju bytes\n", kitPath.string().c_str(), members,
                summary.folders, static_cast<uintmax_t>(fs::file_size(kitPath)));
    for (const auto& [kind, count] : summary.assetsPerKind)
        std::printf("  %s: %zu\n", kind.c_str(), count);
    std::printf("media: %d made, %d from the cache\n", cache.made(), cache.reused());
    return 0;
}
