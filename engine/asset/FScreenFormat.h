#pragma once

#include "core/FString.h"

#include <cstdint>

class FInStream;

// The fixed values of screen files ("NNN/GWScreen") and of the asset files
// they name ("NNN/IIIIII_0.ext"), and the reads that both record kinds share.
struct FScreenFormat
{
    static constexpr uint32_t k_tag = 0x47575363; // "GWSc"
    static constexpr uint8_t k_version = 19;
    static constexpr int16_t k_textRecord = 5;
    // A record name holds at most this many bytes before its NUL.
    static constexpr int k_maximumName = 127;

    // Reads a NUL-terminated record name and drops it; a name without a NUL
    // within 128 bytes fails with "Invalid screen file (1)".
    static void skipName(FInStream& reader);
    // "007/GWScreen" for folder 7.
    static FString screenPath(int32_t folder);
    // "007/000042_0.*" for folder 7 and id 42; the id is printed as a signed
    // 16-bit number.
    static FString assetPattern(int32_t folder, int32_t id);
};
