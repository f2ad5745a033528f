#pragma once

#include "core/FModule.h"
#include "io/FFileSystemService.h"

#include <list>

// Owns the folder file systems and the list of mounted file systems, and
// publishes the file-system service. The list starts with the current, user
// data, shared data and executable folders (searched in that order); every
// archive mounted later goes to its head.
//
// No lock is taken: mounting and unmounting must not overlap searches and
// opens on other threads (the asset kits are mounted before anything reads).
class FFileSystemModule : public FModule
{
public:
    static constexpr int k_priority = 13;

    FFileSystemModule();
    ~FFileSystemModule() override;

    int priority() const override { return k_priority; }

    FFileSystemService& service() { return m_service; }
    const std::list<FRefT<FFileSystem>>& mounted() const { return m_mounted; }

private:
    class Service final : public FFileSystemService
    {
    public:
        explicit Service(FFileSystemModule& owner);
        void mountArchiveByName(FRefT<FFileSystem>& archive, const FString& name) override;
        void mountArchive(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry) override;
        void unmount(const FRefT<FFileSystem>& fileSystem) override;
        void search(FFileEntryMap& found, const FString& pattern) override;
        void openByName(FRefT<FInStream>& stream, const FString& name) override;
        void openEntry(FRefT<FInStream>& stream, const FRefT<FFileEntry>& entry) override;
        void md5OfFile(FString& digest, const FString& name) override;
        void deleteFile(const FRefT<FFileEntry>& entry) override;
        FRefT<FFileSystem> executableFolder() override { return m_owner.m_folders[0]; }
        FRefT<FFileSystem> commonAppDataFolder() override { return m_owner.m_folders[1]; }
        FRefT<FFileSystem> userAppDataFolder() override { return m_owner.m_folders[2]; }
        FRefT<FFileSystem> currentFolder() override { return m_owner.m_folders[3]; }
        FRefT<FFileSystem> noneFolder() override { return m_owner.m_folders[4]; }
        FRefT<FFileSystem> commonFilesFolder() override { return m_owner.m_folders[5]; }
        FRefT<FFileSystem> tempFolder() override { return m_owner.m_folders[6]; }

    private:
        // The first match in key order; a failure report when there is none.
        FRefT<FFileEntry> firstMatch(const FString& name);

        FFileSystemModule& m_owner;
    };

    Service m_service;
    std::list<FRefT<FFileSystem>> m_mounted;
    FRefT<FFileSystem> m_folders[7]; // kinds 2 to 8
};
