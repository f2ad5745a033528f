#pragma once

#include "io/FFileSystem.h"
#include "io/FZipFileEntry.h"

#include <string>
#include <unordered_map>
#include <vector>

// A zip archive mounted as a file system. Its central directory is read once
// into the entry map (keys: the lower-cased member paths); opening a member
// answers a stream that reads it straight from the archive, inflating and
// decrypting on the way.
class FZipModuleArchive : public FFileSystem
{
public:
    // The longest archive comment the end record is looked for behind.
    static constexpr int64_t k_maxComment = 1020;
    // Priority of encrypted members of archives outside the kit scheme.
    static constexpr int32_t k_encryptedPriority = 100000;

    // `keys`: the initial key state of encrypted members; the caller keeps it alive.
    FZipModuleArchive(FRefT<FFileEntry> source, const uint32_t* keys);

    // Reads the central directory from the stream over the whole archive.
    // Every format violation is a failure report; the members read before it
    // stay in the map.
    void read(FRefT<FInStream> stream);

    // A pattern without wildcards is looked up in an index rather than
    // matched against every member; the answer is the same.
    FFileEntryMap find(const FString& pattern) override;
    FRefT<FInStream> open(const FRefT<FFileEntry>& entry) override;

    // The priority of a member of an archive whose file has `sourcePriority`.
    static int32_t memberPriority(int32_t sourcePriority, bool encrypted);

    const FRefT<FFileEntry>& source() const { return m_source; }
    const FRefT<FInStream>& stream() const { return m_stream; }

private:
    int64_t memberDataStart(const FZipFileEntry& member);

    FRefT<FFileEntry> m_source;
    FRefT<FString> m_name;
    FRefT<FInStream> m_stream;
    const uint32_t* m_keys;
    // Member keys by their spelling as a pattern without wildcards compares
    // it ('\\' as '/'; keys are lower-case already).
    std::unordered_map<std::u16string, std::vector<FString>> m_exactKeys;
};
