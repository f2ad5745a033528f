// kittool screen KIT FOLDER [--json]: a screen file's records as the engine
// reads them.
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitSession.h"
#include "tools/kittool/KitWidgetTree.h"

#include "asset/FRawData.h"
#include "asset/FScreenFileReader.h"
#include "asset/FScreenFormat.h"
#include "asset/FScreenOwner.h"
#include "asset/FScreenRegistry.h"
#include "core/FErrorMessage.h"
#include "image/FImage.h"
#include "io/FFileSystemModule.h"
#include "io/FFolderFileSystem.h"
#include "io/FNativePath.h"
#include "ui/FAssetKinds.h"
#include "ui/FFont.h"
#include "ui/FSkin.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

namespace {

// The kinds whose classes do not read kind data of their own here: music
// and samples carry none, video one byte (its loop flag).
class OpaqueAsset : public FAsset
{
public:
    OpaqueAsset(int16_t kind, int kindBytes) : m_kind(kind), m_kindBytes(kindBytes) {}
    void readKindData(FInStream& reader) override
    {
        for (int i = 0; i < m_kindBytes; ++i)
            reader.readUInt8();
    }
    int16_t kind() const { return m_kind; }

private:
    int16_t m_kind;
    int m_kindBytes;
};

int kindOf(FAsset* asset)
{
    if (auto* opaque = dynamic_cast<OpaqueAsset*>(asset)) return opaque->kind();
    if (dynamic_cast<FRawData*>(asset) != nullptr) return 0;
    if (dynamic_cast<FFont*>(asset) != nullptr) return 1;
    if (dynamic_cast<FImage*>(asset) != nullptr) return 3;
    return 6;
}

std::string json(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

struct ScreenListing
{
    struct Text
    {
        int32_t key;
        std::vector<std::string> strings;
    };
    struct Asset
    {
        int32_t id;
        int kind;
        int flags;
        int mode;
        std::vector<std::string> files;
    };
    std::vector<Text> texts;
    std::vector<Asset> assets;
    bool hasOwner = false;
    KitWidgetTree owner;
};

class ScreenReading
{
public:
    ScreenReading(FFileSystemService& files, int32_t folder) : m_files(files), m_folder(folder) {}

    // Every text (its last string stands for it), every asset and the owner
    // tail when bytes follow the records.
    void survey(ScreenListing& listing)
    {
        std::vector<int32_t> ids;
        FScreenRegistry registry;
        FInStream* reader = read(-1, registry, ids);
        for (int32_t id : ids) {
            if (registry.findInThird(id).get() != nullptr) listing.texts.push_back({id, {}});
            auto* asset = registry.findInSecond(id).as<FAsset>();
            if (asset == nullptr) continue;
            ScreenListing::Asset entry{id, kindOf(asset), asset->entryFlags(), asset->loadMode(), {}};
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "%03d/", static_cast<int>(m_folder));
            for (const FRefT<FFileEntry>& file : asset->candidates()) {
                const std::string name = file->name().toUtf8();
                entry.files.push_back(prefix + name.substr(name.find_last_of("/\\") + 1));
            }
            listing.assets.push_back(std::move(entry));
        }
        // The widget tree last: its image widgets take users on the assets.
        if (reader->remaining() > 0) {
            listing.hasOwner = true;
            FScreenFileReader(registry, &kitScreenObject).readOwnerTail(*reader, listing.owner, ids);
        }
    }

    // Adds each text's string in `language`; false when none had one.
    bool addLanguage(int32_t language, ScreenListing& listing)
    {
        std::vector<int32_t> ids;
        FScreenRegistry registry;
        read(language, registry, ids);
        bool found = false;
        for (ScreenListing::Text& text : listing.texts) {
            if (FRef string = registry.findInThird(text.key); string.get() != nullptr) {
                text.strings.push_back(string.as<FString>()->toUtf8());
                found = true;
            }
        }
        return found;
    }

private:
    FInStream* read(int32_t language, FScreenRegistry& registry, std::vector<int32_t>& ids)
    {
        m_stream = FRefT<FInStream>();
        m_files.openByName(m_stream, FScreenFormat::screenPath(m_folder));
        FInStream* reader = waitForRefTarget(m_stream);
        FScreenFileReader::Options options;
        options.folder = m_folder;
        options.language = language;
        FScreenFileReader(registry, &kitScreenObject).read(*reader, options, ids);
        return reader;
    }

    FFileSystemService& m_files;
    int32_t m_folder;
    FRefT<FInStream> m_stream;
};

std::string printText(int32_t folder, const ScreenListing& l)
{
    std::ostringstream out;
    out << "screen " << folder << " (version " << int(FScreenFormat::k_version) << "): " << l.texts.size()
        << " texts, " << l.assets.size() << " assets\n";
    for (const auto& t : l.texts) {
        out << "text " << t.key << "\n";
        for (size_t i = 0; i < t.strings.size(); ++i)
            out << "  [" << i << "] " << t.strings[i] << "\n";
    }
    for (const auto& a : l.assets) {
        out << "asset " << a.id << " kind " << a.kind << " flags " << a.flags << " mode " << a.mode << "\n";
        for (const auto& f : a.files)
            out << "  " << f << "\n";
    }
    if (l.hasOwner) {
        out << "owner: " << l.owner.keys.size() << " camera keys";
        for (const FCameraKey& k : l.owner.keys)
            out << " (" << k.x << ", " << k.y << ", " << k.z << ")";
        out << "; values " << l.owner.values[0] << ", " << l.owner.values[1] << "\nwidget tree:\n"
            << l.owner.text();
        if (!l.owner.failure.empty()) out << "incomplete: " << l.owner.failure << "\n";
    }
    return out.str();
}

std::string printJson(int32_t folder, const ScreenListing& l)
{
    std::ostringstream out;
    out << "{\"folder\": " << folder << ", \"version\": " << int(FScreenFormat::k_version)
        << ", \"texts\": [";
    for (size_t i = 0; i < l.texts.size(); ++i) {
        out << (i ? ", " : "") << "{\"key\": " << l.texts[i].key << ", \"strings\": [";
        for (size_t s = 0; s < l.texts[i].strings.size(); ++s)
            out << (s ? ", " : "") << json(l.texts[i].strings[s]);
        out << "]}";
    }
    out << "], \"assets\": [";
    for (size_t i = 0; i < l.assets.size(); ++i) {
        const auto& a = l.assets[i];
        out << (i ? ", " : "") << "{\"id\": " << a.id << ", \"kind\": " << a.kind
            << ", \"flags\": " << a.flags << ", \"mode\": " << a.mode << ", \"files\": [";
        for (size_t f = 0; f < a.files.size(); ++f)
            out << (f ? ", " : "") << json(a.files[f]);
        out << "]}";
    }
    out << "]";
    if (l.hasOwner) {
        out << ", \"owner\": {\"cameraKeys\": [";
        for (size_t k = 0; k < l.owner.keys.size(); ++k)
            out << (k ? ", " : "") << "[" << l.owner.keys[k].x << ", " << l.owner.keys[k].y << ", "
                << l.owner.keys[k].z << "]";
        out << "], \"values\": [" << l.owner.values[0] << ", " << l.owner.values[1]
            << "], \"root\": " << l.owner.json();
        if (!l.owner.failure.empty()) out << ", \"incomplete\": " << json(l.owner.failure);
        out << "}";
    }
    out << "}\n";
    return out.str();
}

} // namespace

// No loader modules run in kittool, so nothing is decoded.
FRef kitScreenObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<OpaqueAsset>(k_memObject, kind, 0));
    if (kind == 7) return FAsset::handleFor(engineNew<OpaqueAsset>(k_memObject, kind, 1));
    return FAssetKinds::create(kind);
}

int kitScreen(const KitArgs& args)
{
    if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--json"))
        return kitUsage("screen");
    char* end = nullptr;
    const long folder = std::strtol(args[1].c_str(), &end, 10);
    if (end == args[1].c_str() || *end != '\0' || folder < 0 || folder > 999) return kitUsage("screen");

    const std::filesystem::path kitPath = std::filesystem::absolute(args[0]);
    const bool looseFolder = std::filesystem::is_directory(kitPath);
    // A folder of loose files is read as the current folder.
    if (looseFolder) std::filesystem::current_path(kitPath);
    KitSession session;
    FFolderFileSystem plain(FFolderFileSystem::k_folderNone); // the kit file's owner, while mounted
    FFileSystemModule files;
    if (!looseFolder) {
        FString name;
        if (!FNativePath::toEngine(kitPath.string(), name))
            ZIBBO_FAIL_TEXT("Not a usable kit name: " << args[0]);
        FFileEntryMap found = plain.find(name);
        if (found.size() != 1) ZIBBO_FAIL(msgIllegalOperation, "No file is named: " << name);
        FRefT<FFileSystem> kit;
        files.service().mountArchive(kit, found.begin()->second);
    }

    ScreenListing listing;
    ScreenReading reading(files.service(), static_cast<int32_t>(folder));
    reading.survey(listing);
    for (int32_t language = 0; reading.addLanguage(language, listing); ++language) {
    }
    const std::string text =
        args.size() == 3 ? printJson(int32_t(folder), listing) : printText(int32_t(folder), listing);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return listing.owner.failure.empty() ? 0 : 1;
}
