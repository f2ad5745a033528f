#include "asset/FScreenFileReader.h"

#include "asset/FAsset.h"
#include "asset/FAssetCandidates.h"
#include "asset/FScreenFormat.h"
#include "asset/FScreenOwner.h"
#include "asset/FScreenRegistry.h"
#include "core/FApplication.h"
#include "core/FBuildCancel.h"
#include "core/FErrorMessage.h"
#include "core/FPlatformService.h"
#include "io/FInStream.h"

#include <string>

namespace {

// While the modules start, screens are read before the main loop runs: the
// window keeps answering between records.
void keepWindowAlive()
{
    FApplication* application = FApplication::instance();
    if (application == nullptr || application->startState() == FApplication::k_started) return;
    if (auto* platform = static_cast<FPlatformService*>(application->service(k_slotPlatform)))
        platform->pumpMessages(1);
}

} // namespace

FScreenFileReader::FScreenFileReader(FScreenRegistry& registry, ObjectFactory factory)
    : m_registry(registry), m_factory(factory)
{
}

void FScreenFileReader::read(FInStream& reader, const Options& options, std::vector<int32_t>& ids)
{
    if (reader.readUInt32() != FScreenFormat::k_tag)
        ZIBBO_FAIL(msgFileCorrupted, "Screen must start with file format");
    if (reader.readUInt8() != FScreenFormat::k_version)
        ZIBBO_FAIL(msgFileCorrupted, "Required screen format: " << int(FScreenFormat::k_version));
    const int16_t records = reader.readInt16();
    for (int16_t i = 0; i < records; ++i) {
        // A build that is no longer wanted stops between records.
        FBuildCancel::checkpoint();
        keepWindowAlive();
        const int16_t type = reader.readInt16();
        if (type == FScreenFormat::k_textRecord)
            readText(reader, options, ids);
        else
            readAsset(type, reader, options, ids);
    }
    for (const FRef& asset : m_registry.assets())
        asset.as<FAsset>()->resolveLinks(m_registry);
    if (options.owner != nullptr && !options.reload) readOwnerTail(reader, *options.owner, ids);
}

void FScreenFileReader::readText(FInStream& reader, const Options& options, std::vector<int32_t>& ids)
{
    const int32_t key = reader.readInt16();
    FScreenFormat::skipName(reader);
    const int16_t properties = reader.readInt16();
    for (int16_t i = 0; i < properties; ++i)
        reader.readUInt32();
    const int16_t strings = reader.readInt16();
    std::string bytes;
    for (int16_t i = 0; i < strings; ++i) {
        const int16_t length = reader.readInt16();
        if (length < 0) ZIBBO_FAIL(msgFileCorrupted, "Invalid screen file (1)");
        bytes.resize(static_cast<size_t>(length));
        if (length > 0 && reader.buffer()->sgetn(bytes.data(), length) != length)
            ZIBBO_FAIL(msgFileCorrupted, "sizeRead < sizeToRead (" << length << ")");
        if (options.language != -1 && options.language != i) continue;
        // The text ends at its NUL.
        bytes.resize(bytes.find('\0') == std::string::npos ? bytes.size() : bytes.find('\0'));
        FString* text = engineNew<FString>(k_memObject, bytes.c_str());
        if (text == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FString)");
        m_registry.storeText(key, makeRef(text));
    }
    ids.push_back(key);
}

void FScreenFileReader::readAsset(int16_t kind, FInStream& reader, const Options& options,
                                  std::vector<int32_t>& ids)
{
    FRef object = m_factory != nullptr ? m_factory(kind) : FRef();
    auto* asset = object.as<FAsset>();
    // An unknown kind cannot read its entry: the rest of the file would be
    // read out of step.
    if (asset == nullptr) ZIBBO_FAIL(msgFileCorrupted, "Invalid screen file (1)");
    if (!m_candidates || m_candidatesFolder != options.folder) {
        m_candidates = std::make_unique<FAssetCandidates>(options.folder);
        m_candidatesFolder = options.folder;
    }
    asset->readScreenEntry(options.folder, reader, m_candidates.get());
    if (options.alreadyBound || options.reload) return;
    asset->openFirstSource();
    m_registry.insertAsset(asset->id(), object);
    ids.push_back(asset->id());
}

void FScreenFileReader::readOwnerTail(FInStream& reader, FScreenOwner& owner, std::vector<int32_t>& ids)
{
    const int16_t count = reader.readInt16();
    std::vector<FCameraKey> keys;
    for (int16_t i = 0; i < count; ++i) {
        FCameraKey key;
        key.x = reader.readInt32();
        key.y = reader.readInt32();
        key.z = reader.readInt32();
        keys.push_back(key);
    }
    owner.setCameraKeys(std::move(keys));
    owner.setLayoutValue(0, reader.readInt32());
    owner.setLayoutValue(1, reader.readInt32());
    reader.readUInt32();
    reader.readUInt32();
    owner.loadWidgetTree(reader, m_registry, ids);
}
