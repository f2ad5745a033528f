#pragma once

#include "io/FFileEntry.h"

// A member of a zip archive, as its central directory describes it.
class FZipFileEntry : public FFileEntry
{
public:
    enum MethodKind : int32_t {
        k_stored = 0,
        k_deflated = 1,  // method 8
        k_deflate64 = 2, // method 9
        k_bzip2 = 3,     // method 12
    };

    struct Directory
    {
        uint32_t compressedSize = 0;
        uint32_t uncompressedSize = 0;
        uint32_t crc = 0;
        int64_t headerOffset = 0; // bias included
        int64_t headerSize = 0;   // 30 + the directory's name and extra lengths
        int32_t methodKind = k_stored;
        bool encrypted = false;
    };

    FZipFileEntry(FFileSystem* owner, FString name, FRefT<FString> location, int32_t priority,
                  const Directory& directory);

    const Directory& directory() const { return m_directory; }
    uint32_t compressedSize() const { return m_directory.compressedSize; }
    int64_t headerOffset() const { return m_directory.headerOffset; }
    int64_t headerSize() const { return m_directory.headerSize; }
    int32_t methodKind() const { return m_directory.methodKind; }
    bool encrypted() const { return m_directory.encrypted; }
    uint32_t crc() const { return m_directory.crc; }

private:
    Directory m_directory;
};
