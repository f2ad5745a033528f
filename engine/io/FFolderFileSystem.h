#pragma once

#include "io/FFileSystem.h"

#include <mutex>

// A folder of the disk chosen by kind. Searches list the disk every time;
// names are matched without regard to case, folders of the pattern included,
// because content names are lower-case while Linux names are not.
class FFolderFileSystem : public FFileSystem
{
public:
    enum Kind : int32_t {
        k_folderExecutable = 2,
        k_folderCommonAppData = 3,
        k_folderUserAppData = 4,
        k_folderCurrent = 5,
        k_folderNone = 6, // names are used unchanged, relative to the current folder
        k_folderCommonFiles = 7,
        k_folderTemp = 8,
    };

    explicit FFolderFileSystem(int32_t kind);

    int32_t kind() const { return m_kind; }

    // The priority of this folder's entries.
    static int32_t priorityOf(int32_t kind);

    // Lists the folder of the pattern (the part before its last separator,
    // below the root) and answers the hits whose names match the rest; keys
    // are the lower-cased names without folder.
    FFileEntryMap find(const FString& pattern) override;
    FRefT<FInStream> open(const FRefT<FFileEntry>& entry) override;
    // root + name; a name that starts with '\' or '/' is a whole path.
    FRefT<FOutStream> create(const FString& name, int32_t limit) override;
    // The folder of the kind, ending in '\'; made on first use for the
    // application-data kinds.
    FString root() override;

private:
    FString computeRoot() const;

    int32_t m_kind;
    std::once_flag m_rootOnce;
    FString m_root;
};
