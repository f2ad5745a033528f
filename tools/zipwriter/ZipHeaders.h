#pragma once

// The records of a zip archive as our writers lay them out: a member's local
// header, its central directory entry and the end record. Shared by the
// in-memory writer (fixtures) and the streaming one (kittool pack).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ZipHeaderFields
{
    uint16_t version = 10;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t packedSize = 0;
    uint32_t size = 0;
    std::string name;
    std::vector<uint8_t> localExtra;
    std::vector<uint8_t> centralExtra;
    std::string comment;
    uint16_t diskNumberStart = 0;
    uint32_t localHeaderOffset = 0; // from the start of the archive
};

namespace zipheaders {

void put16(std::vector<uint8_t>& out, uint32_t value);
void put32(std::vector<uint8_t>& out, uint32_t value);
// Throw std::runtime_error naming `what` when the value does not fit.
uint16_t checked16(std::size_t value, const char* what);
uint32_t checked32(std::size_t value, const char* what);

void appendLocalHeader(std::vector<uint8_t>& out, const ZipHeaderFields& fields);
void appendCentralEntry(std::vector<uint8_t>& out, const ZipHeaderFields& fields);

struct EndRecordFields
{
    uint16_t thisDisk = 0;
    uint16_t directoryDisk = 0;
    uint16_t entriesOnThisDisk = 0;
    uint16_t entries = 0;
    uint32_t directorySize = 0;
    uint32_t directoryOffset = 0;
    uint16_t commentLength = 0;
};
void appendEndRecord(std::vector<uint8_t>& out, const EndRecordFields& fields, const std::string& comment);

} // namespace zipheaders
