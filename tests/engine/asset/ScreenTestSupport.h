#pragma once

// An application with the file systems, the archive services and a screen
// module whose factory makes raw-data assets (kind 0) and counting assets
// with one byte of kind data (kind 1), in a scratch folder for loose files.

#include "engine/asset/AssetTestSupport.h"
#include "support/ScratchFileModules.h"

#include "asset/FRawData.h"
#include "asset/FRawDataModule.h"
#include "asset/FScreenModule.h"
#include "asset/FScreenOwner.h"
#include "core/FApplication.h"
#include "core/FThreadPoolModule.h"
#include "io/FFileSystemModule.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"
#include "tools/contentwriters/ScreenFileWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace assettest {

class ByteAsset : public CountingAsset
{
public:
    uint8_t kindByte = 0;
    void readKindData(FInStream& reader) override { kindByte = reader.readUInt8(); }
};

inline FRef makeScreenObject(int16_t kind)
{
    FAsset* asset = nullptr;
    if (kind == 0) asset = engineNew<FRawData>(k_memObject);
    if (kind == 1) asset = engineNew<ByteAsset>(k_memObject);
    return FAsset::handleFor(asset);
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

// An owner that keeps what the tail gave it; its widget tree is kept as
// bytes (the rest of the file).
class RecordingOwner : public FScreenOwner
{
public:
    std::vector<FCameraKey> keys;
    int32_t values[2] = {0, 0};
    std::vector<uint8_t> tree;

    void setCameraKeys(std::vector<FCameraKey> k) override { keys = std::move(k); }
    void setLayoutValue(int index, int32_t value) override { values[index] = value; }
    void loadWidgetTree(FInStream& reader, FScreenRegistry&, std::vector<int32_t>&) override
    {
        tree.resize(static_cast<size_t>(reader.remaining()));
        reader.read(reinterpret_cast<char*>(tree.data()), static_cast<std::streamsize>(tree.size()));
    }
};

inline ScreenAsset rawAsset(int16_t id, uint8_t flags = 0)
{
    ScreenAsset asset;
    asset.kind = 0;
    asset.id = id;
    asset.name = "data" + std::to_string(id);
    asset.loads.push_back({0, flags, 0});
    return asset;
}

inline ScreenText text(int16_t key, std::vector<std::string> strings)
{
    ScreenText t;
    t.key = key;
    t.name = "text" + std::to_string(key);
    t.strings = std::move(strings);
    return t;
}

class ScreenTest : public ::testing::Test, protected ScratchFileModules
{
protected:
    // Writes folder's screen file, and for every raw asset a data file
    // holding "content <id>".
    void writeFolder(int folder, const ScreenFile& file)
    {
        writeBytes(assetPathOf(screenFilePath(folder)), writeScreenFile(file));
        for (const auto& record : file.records) {
            if (const auto* asset = std::get_if<ScreenAsset>(&record))
                writeBytes(assetPathOf(assetFileName(folder, asset->id, ".dat")),
                           bytesOf("content " + std::to_string(asset->id)));
        }
    }

    std::filesystem::path assetPathOf(const std::string& name) const { return scratch.path() / name; }

    std::string textOf(int32_t key)
    {
        FRef handle = screens.registry().findInThird(key);
        return handle.get() != nullptr ? handle.as<FString>()->toUtf8() : std::string("<none>");
    }

    FRawData* rawOf(int32_t id) { return screens.registry().findInSecond(id).as<FRawData>(); }

    // The failure text `action` raises, or "".
    template <class Action> std::string failureOf(Action action)
    {
        const size_t before = handler.texts.size();
        try {
            action();
        } catch (const FDebug::VellumcoreException&) {
        } catch (const FDebug::TreatedException&) {
        }
        return handler.texts.size() > before ? utf8(handler.texts.back()) : std::string();
    }

    RecordingErrorHandler handler;
    FRawDataModule rawData;
    FScreenModule screens{&makeScreenObject};
};

} // namespace assettest
