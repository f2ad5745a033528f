#pragma once

#include "io/FInStream.h"

#include <cstdint>

// What a member stream needs to read one archive member.
struct FZipMemberInfo
{
    FRefT<FInStream> archive; // the stream over the whole archive
    int64_t dataStart = 0;    // where the member's (compressed) bytes start
    uint32_t uncompressedSize = 0;
    uint32_t compressedSize = 0; // encryption header included
    uint32_t crc = 0;            // CRC-32 of the uncompressed bytes
};
