#include "io/FFileSystemModule.h"

#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "io/FArchiveKeys.h"
#include "io/FDigest.h"
#include "io/FFolderFileSystem.h"
#include "io/FNativePath.h"
#include "io/FZipService.h"

#include <filesystem>
#include <memory>

FFileSystemModule::FFileSystemModule() : m_service(*this)
{
    for (int32_t kind = FFolderFileSystem::k_folderExecutable; kind <= FFolderFileSystem::k_folderTemp;
         ++kind) {
        FFolderFileSystem* folder = engineNew<FFolderFileSystem>(k_memObject, kind);
        if (folder == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FFolderFileSystem)");
        m_folders[kind - FFolderFileSystem::k_folderExecutable] = FRefT<FFileSystem>(makeSignaledRef(folder));
    }
    // Each goes to the head, so the current folder is searched first.
    for (int index = 0; index < 4; ++index)
        m_mounted.push_front(m_folders[index]);
}

FFileSystemModule::~FFileSystemModule() = default;

FFileSystemModule::Service::Service(FFileSystemModule& owner)
    : FFileSystemService(findServiceSlot(k_slotFileSystems)), m_owner(owner)
{
}

FRefT<FFileEntry> FFileSystemModule::Service::firstMatch(const FString& name)
{
    FFileEntryMap found;
    search(found, name);
    if (found.empty()) ZIBBO_FAIL(msgIllegalOperation, "No file is named: " << name);
    return found.begin()->second;
}

void FFileSystemModule::Service::mountArchiveByName(FRefT<FFileSystem>& archive, const FString& name)
{
    mountArchive(archive, firstMatch(name));
}

void FFileSystemModule::Service::mountArchive(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry)
{
    FZipService* zip = findService<FZipService>(k_slotZip);
    if (zip == nullptr) ZIBBO_FAIL(msgIllegalOperation, "No zip service to open archive " << entry->name());
    zip->openArchive(archive, entry, k_archiveKeys);
    m_owner.m_mounted.push_front(archive);
}

void FFileSystemModule::Service::unmount(const FRefT<FFileSystem>& fileSystem)
{
    m_owner.m_mounted.remove_if(
        [&](const FRefT<FFileSystem>& mounted) { return mounted.get() == fileSystem.get(); });
}

void FFileSystemModule::Service::search(FFileEntryMap& found, const FString& pattern)
{
    for (const FRefT<FFileSystem>& fileSystem : m_owner.m_mounted) {
        for (auto& [key, entry] : fileSystem->find(pattern)) {
            auto [present, inserted] = found.try_emplace(key, entry);
            if (!inserted && present->second->priority() < entry->priority()) present->second = entry;
        }
    }
}

void FFileSystemModule::Service::openByName(FRefT<FInStream>& stream, const FString& name)
{
    openEntry(stream, firstMatch(name));
}

void FFileSystemModule::Service::openEntry(FRefT<FInStream>& stream, const FRefT<FFileEntry>& entry)
{
    stream = entry->owner()->open(entry);
}

void FFileSystemModule::Service::md5OfFile(FString& digest, const FString& name)
{
    FRefT<FInStream> stream;
    openByName(stream, name);
    digest.clear();
    FInStream* input = waitForRefTarget(stream);
    const int64_t size = input != nullptr ? input->remaining() : 0;

    std::unique_ptr<FDigestContext, void (*)(FDigestContext*)> context(FDigest::newMd5Context(),
                                                                       &FDigest::destroyDigestContext);
    char block[1024];
    int64_t digested = 0;
    while (digested < size) {
        const std::streamsize got = input->buffer()->sgetn(block, sizeof block);
        if (got <= 0) break;
        FDigest::update(context.get(), block, static_cast<size_t>(got));
        digested += got;
    }
    digest = FDigest::toHex(FDigest::finishDigest(context.get()));
}

void FFileSystemModule::Service::deleteFile(const FRefT<FFileEntry>& entry)
{
    std::error_code ignored;
    try {
        std::filesystem::remove(FNativePath::toNative(entry->path()), ignored);
    } catch (const std::exception&) {
        // A name without a real form cannot name a file to delete.
    }
}
