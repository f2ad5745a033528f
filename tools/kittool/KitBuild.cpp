// kittool build: makes the main content kit the game mounts at start from the
// sources in a content folder: the target file (the application's name, from
// "GWTarget.txt"), the Lua files under "Scripts", and every screen folder that
// a manifest of "screens" or "worlds" describes, with its screen file and one
// file per asset. The generated game data, when its folder is given, fills
// the assets that carry it.
#include "game/core/GameDataAssets.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitManifest.h"
#include "tools/zipwriter/ZipWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

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

// Adds the folder of every manifest below `manifests` (none when it does not
// exist): its screen file and each asset's file.
std::size_t addFolders(ZipWriter& kit, const fs::path& manifests, const fs::path& gameData,
                       KitSummary& summary)
{
    if (!fs::is_directory(manifests)) return 0;
    std::size_t members = 0;
    for (const ScreenManifest& m : readScreenManifests(manifests.string())) {
        kit.add(screenFilePath(m.folder), writeScreenFile(manifestScreenFile(m)));
        ++members;
        for (const ManifestAsset& a : m.assets) {
            const fs::path source = generatedSource(gameData, m.folder, a.id);
            std::vector<uint8_t> bytes = source.empty() ? placeholderBytes(m, a) : kitReadFile(source);
            const std::string extension = source.empty() ? placeholderExtension(a.kindCode) : ".xml";
            kit.add(assetFileName(m.folder, a.id, extension), std::move(bytes));
            ++members;
            ++summary.assetsPerKind[a.kind];
        }
        ++summary.folders;
        std::printf("folder %03d: %zu assets, %zu texts\n", static_cast<int>(m.folder), m.assets.size(),
                    m.texts.size());
    }
    return members;
}

} // namespace

int kitBuild(const KitArgs& args)
{
    if (args.size() != 2 && args.size() != 3) return kitUsage("build");
    const fs::path content = args[0];
    const fs::path out = args[1];
    const fs::path gameData = args.size() == 3 ? fs::path(args[2]) : fs::path();
    if (!fs::is_directory(content)) throw std::runtime_error(content.string() + " is not a folder");

    ZipWriter kit;
    kit.add("GWTarget", writeTarget(targetText(content)));
    const auto files = scripts(content);
    for (const auto& [name, path] : files)
        kit.add(name, kitReadFile(path));
    KitSummary summary;
    std::size_t members = files.size() + 1;
    members += addFolders(kit, content / "screens", gameData, summary);
    members += addFolders(kit, content / "worlds", gameData, summary);

    fs::create_directories(out);
    const fs::path kitPath = out / "Zibbo.zip";
    const fs::path partPath = out / "Zibbo.zip.part";
    {
        const std::vector<uint8_t> bytes = kit.build();
        std::ofstream file(partPath, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            fs::remove(partPath, ignored);
            throw std::runtime_error("cannot write " + partPath.string());
        }
    }
    // A kit is replaced whole, so a failed build never leaves half a kit where the game looks.
    fs::rename(partPath, kitPath);
    std::printf("built %s: %zu members, %zu folders, %ju bytes\n", kitPath.string().c_str(), members,
                summary.folders, static_cast<uintmax_t>(fs::file_size(kitPath)));
    for (const auto& [kind, count] : summary.assetsPerKind)
        std::printf("  %s: %zu\n", kind.c_str(), count);
    return 0;
}
