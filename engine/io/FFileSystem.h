#pragma once

#include "core/FRef.h"
#include "core/FString.h"
#include "io/FFileEntry.h"
#include "io/FInStream.h"
#include "io/FOutStream.h"

#include <cstdint>
#include <map>

// Entries by key (ordered by the keys' UTF-16 units).
using FFileEntryMap = std::map<FString, FRefT<FFileEntry>>;

// A mounted source of files: a folder or an archive. It answers which of its
// entries match a pattern, opens an entry as a stream and (folders only)
// creates files. Shared through FRef.
class FFileSystem
{
public:
    FFileSystem() = default;
    virtual ~FFileSystem();
    FFileSystem(const FFileSystem&) = delete;
    FFileSystem& operator=(const FFileSystem&) = delete;

    // Every entry whose key matches `pattern` (FFile::matchPattern). The base
    // searches the in-memory map that archives fill.
    virtual FFileEntryMap find(const FString& pattern);
    // A new stream over the entry's bytes, held by a signalled handle.
    virtual FRefT<FInStream> open(const FRefT<FFileEntry>& entry) = 0;
    // A new write stream that takes at most `limit` bytes; the base makes none.
    virtual FRefT<FOutStream> create(const FString& name, int32_t limit);
    // The folder the file system reads (ending in '\'); empty for archives.
    virtual FString root();
    virtual bool probe(const FString& name);

    const FFileEntryMap& entries() const { return m_entries; }

protected:
    FFileEntryMap m_entries;
};
