#pragma once

#include "core/FRef.h"
#include "core/FString.h"

#include <cstdint>

class FFileSystem;

// One entry of a file system: a file in a folder or a member of an archive.
// Shared through FRef; its owner outlives it while mounted or held.
class FFileEntry
{
public:
    FFileEntry(FFileSystem* owner, FString name, FRefT<FString> location, int32_t priority, int64_t size,
               bool plain);
    virtual ~FFileEntry() = default;

    FFileSystem* owner() const { return m_owner; }
    // The name as the file system spells it (archive members: lower-cased path).
    const FString& name() const { return m_name; }
    // From the last '.' of the name, the dot included; empty when none.
    const FString& extension() const { return m_extension; }
    // The folder (ending in '\') or the archive's name; shared by one listing.
    const FRefT<FString>& location() const { return m_location; }
    bool valid() const { return m_valid; }
    // Decides which of two entries with one key a search keeps.
    int32_t priority() const { return m_priority; }
    void setPriority(int32_t priority) { m_priority = priority; }
    // In bytes (archive members: uncompressed).
    int64_t size() const { return m_size; }
    // True when the bytes read without decryption.
    bool plain() const { return m_plain; }

    // location + name.
    FString path() const;

    static FString extensionOf(const FString& name);

private:
    FFileSystem* m_owner;
    FString m_name;
    FString m_extension;
    FRefT<FString> m_location;
    bool m_valid = true;
    int32_t m_priority;
    int64_t m_size;
    bool m_plain;
};
