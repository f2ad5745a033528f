// kittool validate KIT CONTENT_DIR: checks a built kit against the manifests
// it was built from. Every folder's screen file reads back through the
// engine's reader with every id its class fetches; every asset's member
// decodes through the engine's own loader for its kind (images, fonts,
// sounds, clips), and the kinds that have no media of their own yet are
// counted and listed, not passed as checked; every world's BG grid is whole
// (96 tiles whose size divides the scene); and no id repeats across the
// folders that a world scene binds together (its own and the screens'
// shared folders); and every record of the gameplay animation table names
// an animation of its world. A fault names the folder, the id and the key.
// The kit's target file reads as the game reads it, and every script under
// "Scripts/" runs through the game's script host within its bounds.
#include "game/core/GameDataAssets.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/gamedata/AnimTable.h"
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitManifest.h"
#include "tools/kittool/KitSession.h"

#include "asset/FAssetKits.h"
#include "audio/FAudioGWSampleModule.h"
#include "audio/FAudioVorbisModule.h"
#include "audio/FSample.h"
#include "core/FDebug.h"
#include "core/FMemory.h"
#include "core/FXmlSerializer.h"
#include "image/FImage.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "io/FFile.h"
#include "io/FFileSystemModule.h"
#include "io/FMemoryInStream.h"
#include "io/FMemoryStreambuf.h"
#include "io/FNativePath.h"
#include "script/FScriptInstance.h"
#include "ui/FFont.h"
#include "ui/FFontModule.h"
#include "video/FGWVideo.h"
#include "video/FVideoStreamHost.h"
#include "video/FVideoTarget.h"
#include "video/FVideoTheora.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// The folders every world scene binds beside its own.
const int32_t k_sharedFolders[] = {5, 12, 23, 25, 32};
const int32_t k_sceneWidth = 2400;
const int32_t k_sceneHeight = 1600;
const std::size_t k_gridTiles = 96;

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

[[noreturn]] void fault(const ScreenManifest& m, const ManifestAsset& a, const std::string& problem)
{
    throw std::runtime_error(m.where() + ", asset " + std::to_string(a.id) + ", key '" + a.member +
                             "': " + problem);
}

class KitMembers
{
public:
    explicit KitMembers(const FRefT<FFileSystem>& kit) : m_kit(kit)
    {
        for (const auto& entry : kit->entries()) {
            const std::string name = entry.first.toUtf8();
            std::string stem = lower(name);
            std::replace(stem.begin(), stem.end(), '\\', '/');
            const auto dot = stem.rfind('.');
            if (dot != std::string::npos && stem.find('/', dot) == std::string::npos) stem.resize(dot);
            m_byStem[stem] = name;
        }
    }

    // The member's name for a name without its ending, or an empty text.
    std::string find(const std::string& stem) const
    {
        const auto it = m_byStem.find(lower(stem));
        return it == m_byStem.end() ? std::string() : it->second;
    }

    // Every member's name.
    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (const auto& entry : m_byStem)
            all.push_back(entry.second);
        return all;
    }

    std::vector<uint8_t> read(const std::string& name) const
    {
        FString engineName;
        if (!FNativePath::toEngine(name, engineName)) throw std::runtime_error("not a member name: " + name);
        const FRefT<FInStream> member = FFile::open(engineName, *m_kit.get());
        std::vector<uint8_t> bytes;
        char block[65536];
        std::streamsize got;
        while ((got = member->buffer()->sgetn(block, sizeof block)) > 0)
            bytes.insert(bytes.end(), block, block + got);
        return bytes;
    }

private:
    FRefT<FFileSystem> m_kit;
    std::map<std::string, std::string> m_byStem;
};

// Reads a clip's header and shows its first frame through the engine's player.
void checkVideo(const std::vector<uint8_t>& bytes, bool gw)
{
    FVideoStreamHost host(
        FInStream::make(engineNew<FMemoryStreambuf>(k_memStream, const_cast<uint8_t*>(bytes.data()),
                                                    static_cast<int64_t>(bytes.size()))),
        true);
    std::unique_ptr<FVideoPlayer> player;
    if (gw)
        player = std::make_unique<FGWVideo>(host);
    else
        player = std::make_unique<FVideoTheora>(host);
    player->readHeader();
    FVideoTarget target;
    if (player->seekFrame(target, 0) != 0) throw std::runtime_error("the clip shows no first frame");
    target.setCurrentFrame(0);
    const FImage* picture = target.sourceImage().get();
    if (picture == nullptr || picture->width() <= 0 || picture->height() <= 0)
        throw std::runtime_error("the clip's first frame has no picture");
}

void checkFont(const std::vector<uint8_t>& bytes)
{
    // The font's glyph sheet loads through the PNG loader service.
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FFontModule loader;
    FFont font;
    font.setEntryFlags(FAsset::k_flagLoadOnUse);
    font.setLoader(&loader);
    font.setSource(FMemoryInStream::make(std::string(bytes.begin(), bytes.end())));
    font.complete();
    if (!font.isLoaded()) throw std::runtime_error("the font does not load");
}

struct Tally
{
    std::map<std::string, std::size_t> decoded; // by extension
    std::map<std::string, std::size_t> noMedia; // by kind and extension
};

// Decodes one asset's member; answers the picture's logical size for images.
std::pair<int32_t, int32_t> checkAsset(const KitMembers& members, const ScreenManifest& m,
                                       const ManifestAsset& a, Tally& tally)
{
    const std::string name = members.find(assetFileName(m.folder, a.id, ""));
    if (name.empty()) fault(m, a, "the kit holds no member for it");
    const std::string extension = lower(fs::path(name).extension().string());
    try {
        const std::vector<uint8_t> bytes = members.read(name);
        // A skin has no file of its own: its parts are assets of their own,
        // decoded as such, and the screen file names them (checked above).
        if (a.kindCode == 6 && a.recipe) {
            ++tally.decoded["skin (its parts)"];
            return {0, 0};
        }
        // The kinds the demo design makes no media for keep their placeholder.
        if (bytes == placeholderBytes(m, a)) {
            ++tally.noMedia[a.kind + " (placeholder " + extension + ")"];
            return {0, 0};
        }
        FImage image;
        if (kitLoadImage(name, bytes, image)) {
            if (image.width() <= 0 || image.height() <= 0) throw std::runtime_error("the picture is empty");
            ++tally.decoded[extension];
            return {image.width(), image.height()};
        }
        if (extension == ".gwsample" || extension == ".vorbis") {
            FAudioGWSampleModule gwSampleLoader;
            FAudioVorbisModule vorbisLoader;
            FSample sample;
            kitLoadSample(bytes,
                          extension == ".vorbis" ? static_cast<FAssetLoader&>(vorbisLoader) : gwSampleLoader,
                          sample);
        } else if (extension == ".gwvideo" || extension == ".theora") {
            checkVideo(bytes, extension == ".gwvideo");
        } else if (extension == ".font" || extension == ".gwfont") {
            checkFont(bytes);
        } else {
            ++tally.noMedia[a.kind + " (" + extension + ")"];
            return {0, 0};
        }
        ++tally.decoded[extension];
    } catch (const std::exception& e) {
        fault(m, a, "member " + name + ": " + e.what());
    } catch (...) {
        fault(m, a, "member " + name + " does not decode (the loader's report is above)");
    }
    return {0, 0};
}

void checkGrid(const ScreenManifest& m, const std::map<int32_t, std::pair<int32_t, int32_t>>& sizes)
{
    std::vector<const ManifestAsset*> tiles;
    for (const ManifestAsset& a : m.assets)
        if (a.table == "BG") tiles.push_back(&a);
    if (tiles.size() != k_gridTiles)
        throw std::runtime_error(m.where() + ", table 'BG': " + std::to_string(tiles.size()) + " tiles, " +
                                 std::to_string(k_gridTiles) + " expected");
    const auto [w, h] = sizes.at(tiles.front()->id);
    if (w <= 0 || h <= 0 || k_sceneWidth % w != 0 || k_sceneHeight % h != 0)
        fault(m, *tiles.front(),
              "the first BG tile is " + std::to_string(w) + " x " + std::to_string(h) +
                  ", which does not divide " + std::to_string(k_sceneWidth) + " x " +
                  std::to_string(k_sceneHeight));
}

// No asset or text id of a world folder appears in another folder bound with it.
void checkBoundIds(const std::vector<ScreenManifest>& all)
{
    std::map<int32_t, const ScreenManifest*> byFolder;
    for (const ScreenManifest& m : all)
        byFolder[m.folder] = &m;
    for (const ScreenManifest& world : all) {
        if (world.world == 0) continue;
        std::vector<const ScreenManifest*> bound{&world};
        for (int32_t folder : k_sharedFolders)
            if (byFolder.count(folder) != 0) bound.push_back(byFolder[folder]);
        std::map<int32_t, const ScreenManifest*> assets;
        std::map<int32_t, const ScreenManifest*> texts;
        auto claim = [&](std::map<int32_t, const ScreenManifest*>& seen, const ScreenManifest* m, int32_t id,
                         const std::string& what, const std::string& key) {
            const auto [it, fresh] = seen.emplace(id, m);
            if (!fresh)
                throw std::runtime_error(m->where() + ", " + what + " " + std::to_string(id) + ", key '" +
                                         key + "': the id is also in folder " +
                                         std::to_string(it->second->folder) + ", which world " +
                                         std::to_string(world.world) + " binds with it");
        };
        for (const ScreenManifest* m : bound) {
            for (const ManifestAsset& a : m->assets)
                claim(assets, m, a.id, "asset", a.member);
            for (const ManifestText& t : m->texts)
                claim(texts, m, t.id, "text", t.member);
        }
    }
}

// Every record of the gameplay animation table names an animation of its
// world's Anim table (a level takes each record's animation from the table by
// name, and it must be there). Answers the number of records checked; none
// when the kit's table is still a placeholder.
std::size_t checkAnimationTable(const KitMembers& members, const std::vector<ScreenManifest>& all)
{
    using namespace GameDataAssets;
    const ScreenManifest* holder = nullptr;
    const ManifestAsset* table = nullptr;
    for (const ScreenManifest& m : all)
        for (const ManifestAsset& a : m.assets)
            if (m.folder == k_animationTableFolder && a.id == k_animationTableAsset) {
                holder = &m;
                table = &a;
            }
    if (table == nullptr) return 0;
    const std::string name = members.find(assetFileName(holder->folder, table->id, ""));
    if (name.empty() || lower(fs::path(name).extension().string()) != ".xml") return 0;
    const std::vector<uint8_t> bytes = members.read(name);
    const FRefT<std::istringstream> file =
        makeSignaledRef(engineNew<std::istringstream>(k_memObject, std::string(bytes.begin(), bytes.end())));
    std::size_t checked = 0;
    try {
        FXmlSerializer xml(file);
        for (const ScreenManifest& world : all) {
            if (world.world == 0) continue;
            std::set<std::string> anims;
            for (const ManifestAsset& a : world.assets)
                if (a.table == "Anim") anims.insert(a.member);
            std::vector<AnimTableRecord> records;
            AnimTable::serializeWorld(xml, world.world - 1, records);
            for (std::size_t i = 0; i < records.size(); ++i) {
                if (anims.count(records[i].name) != 0) continue;
                throw std::runtime_error("section " + AnimTable::sectionName(world.world - 1) + ", record " +
                                         std::to_string(i) + ": the animation '" + records[i].name +
                                         "' is not in the Anim table of " + world.where());
            }
            checked += records.size();
        }
    } catch (const std::exception& e) {
        fault(*holder, *table, "member " + name + ": " + e.what());
    }
    return checked;
}

// The game refuses a kit without a target file it can read.
void checkTarget(const KitMembers& members)
{
    const std::string name = members.find("GWTarget");
    if (lower(name) != "gwtarget")
        throw std::runtime_error("the kit holds no GWTarget: a file required by the application is missing");
    const std::vector<uint8_t> bytes = members.read(name);
    try {
        const FRefT<FInStream> reader = FMemoryInStream::make(std::string(bytes.begin(), bytes.end()));
        FAssetKits::readTarget(*reader.get());
    } catch (const FDebug::VellumcoreException&) {
        throw std::runtime_error("GWTarget is damaged (the reader's report is above)");
    } catch (const FDebug::TreatedException&) {
        throw std::runtime_error("GWTarget is damaged (the reader's report is above)");
    }
}

// Runs every script of the kit through the game's script host, the kit
// mounted alone, as the game runs its tuning values; one past its bounds
// fails here as it would fail the game's start. Answers the scripts run.
std::size_t checkScripts(KitSession& session, const std::string& kitPath, const KitMembers& members)
{
    FFileSystemModule files;
    const std::list<FRefT<FFileSystem>> folders = files.mounted();
    for (const FRefT<FFileSystem>& folder : folders)
        files.service().unmount(folder);
    FRefT<FFileSystem> kit;
    files.service().mountArchive(kit, session.kitEntry(kitPath));
    std::size_t run = 0;
    for (const std::string& name : members.names()) {
        if (lower(name).rfind("scripts/", 0) != 0 || lower(fs::path(name).extension().string()) != ".lua")
            continue;
        const std::string script = name.substr(8);
        try {
            FScriptInstance instance(session.application(), script.c_str());
            instance.waitUntilExecuted();
        } catch (const FDebug::VellumcoreException&) {
            throw std::runtime_error("Scripts/" + script + " does not run (its report is above)");
        } catch (const FDebug::TreatedException&) {
            throw std::runtime_error("Scripts/" + script + " does not run (its report is above)");
        }
        ++run;
    }
    return run;
}

std::vector<ScreenManifest> contentManifests(const fs::path& content)
{
    std::vector<ScreenManifest> all;
    for (const char* part : {"screens", "worlds"}) {
        if (!fs::is_directory(content / part)) continue;
        std::vector<ScreenManifest> some = readScreenManifests((content / part).string());
        all.insert(all.end(), some.begin(), some.end());
    }
    return all;
}

} // namespace

int kitValidate(const KitArgs& args)
{
    if (args.size() != 2) return kitUsage("validate");
    KitSession session;
    const KitMembers members(session.openKit(args[0]));
    const std::vector<ScreenManifest> all = contentManifests(args[1]);
    if (all.empty()) throw std::runtime_error(args[1] + " holds no manifests");
    checkBoundIds(all);
    Tally tally;
    std::size_t assets = 0;
    for (const ScreenManifest& m : all) {
        const std::string screen = members.find(screenFilePath(m.folder));
        if (screen.empty())
            throw std::runtime_error(m.where() + ": the kit holds no " + screenFilePath(m.folder));
        checkScreenFileBytes(m, members.read(screen));
        std::map<int32_t, std::pair<int32_t, int32_t>> sizes;
        for (const ManifestAsset& a : m.assets)
            sizes[a.id] = checkAsset(members, m, a, tally);
        if (m.world != 0) checkGrid(m, sizes);
        assets += m.assets.size();
    }
    const std::size_t animations = checkAnimationTable(members, all);
    checkTarget(members);
    const std::size_t scripts = checkScripts(session, args[0], members);
    std::printf("%zu folders, %zu assets checked\n", all.size(), assets);
    std::printf("  scripts run within their bounds: %zu\n", scripts);
    if (animations != 0)
        std::printf("  animation records naming their world's animations: %zu\n", animations);
    for (const auto& [extension, count] : tally.decoded)
        std::printf("  decoded %s: %zu\n", extension.c_str(), count);
    for (const auto& [kind, count] : tally.noMedia)
        std::printf("  no media of its own yet, not decoded: %s: %zu\n", kind.c_str(), count);
    return 0;
}
