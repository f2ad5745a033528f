#pragma once

#include "core/FAppListener.h"
#include "io/FFileSystem.h"

// The file-system module's interface in service slot 12. Every call runs on
// the calling thread. Streams and archives come back through handles held by
// signalled holders, so callers may wait on them uniformly
// (waitForRefTarget).
class FFileSystemService : public FAppListener
{
public:
    using FAppListener::FAppListener;

    // Mounts the first match (in key order) of `name` as an archive; no
    // match is a failure report.
    virtual void mountArchiveByName(FRefT<FFileSystem>& archive, const FString& name) = 0;
    // Opens the entry as a zip archive (through the zip service, with the
    // engine's key state) and mounts it ahead of every other file system.
    virtual void mountArchive(FRefT<FFileSystem>& archive, const FRefT<FFileEntry>& entry) = 0;
    // Takes every mount of this same file system out of the list.
    virtual void unmount(const FRefT<FFileSystem>& fileSystem) = 0;
    // Merges into `found` the winning entry of every key that a mounted file
    // system finds for `pattern`: a key's entry is replaced only by one of
    // higher priority, so on equal priority the file system mounted later wins.
    virtual void search(FFileEntryMap& found, const FString& pattern) = 0;
    // Opens the first match (in key order) of `name`; no match is a failure report.
    virtual void openByName(FRefT<FInStream>& stream, const FString& name) = 0;
    virtual void openEntry(FRefT<FInStream>& stream, const FRefT<FFileEntry>& entry) = 0;
    // The MD5 digest of the named file as 32 lowercase hexadecimal digits.
    virtual void md5OfFile(FString& digest, const FString& name) = 0;
    // Deletes the entry's file from the disk; failure is not reported.
    virtual void deleteFile(const FRefT<FFileEntry>& entry) = 0;

    // The folder file systems by kind.
    virtual FRefT<FFileSystem> executableFolder() = 0;
    virtual FRefT<FFileSystem> commonAppDataFolder() = 0;
    virtual FRefT<FFileSystem> userAppDataFolder() = 0;
    virtual FRefT<FFileSystem> currentFolder() = 0;
    virtual FRefT<FFileSystem> noneFolder() = 0;
    virtual FRefT<FFileSystem> commonFilesFolder() = 0;
    virtual FRefT<FFileSystem> tempFolder() = 0;
};
