#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The record a second copy of the game sends to the running copy: a header of
// two little-endian 32-bit values (data kind, data byte count) followed by the
// data. The only kind is a command line: its UTF-16 units (little-endian) and
// one terminating zero unit, so the byte count is 2 x (units + 1).
struct FHandOverRecord
{
    static constexpr std::uint32_t k_commandLineKind = 1;
    static constexpr std::size_t k_headerBytes = 8;
    // Far above any real command line; bounds what a local process can make
    // the running copy allocate.
    static constexpr std::uint32_t k_maxDataBytes = 1u << 20;

    std::uint32_t kind = 0;
    std::uint32_t dataBytes = 0;

    static std::vector<std::uint8_t> encodeCommandLine(const std::u16string& text);

    // The little-endian 32-bit values of the header and of the reply.
    static void putU32(std::vector<std::uint8_t>& out, std::uint32_t value);
    static std::uint32_t getU32(const std::uint8_t* bytes);

    // Reads a header. Returns an empty text when it is acceptable, else why not.
    static std::string parseHeader(const std::uint8_t (&header)[k_headerBytes], FHandOverRecord& out);
    // Reads the data of an accepted header into text (the units before the
    // terminating zero). Returns an empty text on success, else why not.
    static std::string parseCommandLine(const std::vector<std::uint8_t>& data, std::u16string& text);
};
