#include "tools/zipwriter/ZipHeaders.h"

#include <stdexcept>

namespace {

// A fixed time stamp (1 January 2024, midnight) keeps archives reproducible.
constexpr uint16_t k_dosTime = 0;
constexpr uint16_t k_dosDate = ((2024 - 1980) << 9) | (1 << 5) | 1;

void putBytes(std::vector<uint8_t>& out, const void* data, std::size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

} // namespace

namespace zipheaders {

void put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value)
{
    put16(out, value & 0xFFFFu);
    put16(out, value >> 16);
}

uint16_t checked16(std::size_t value, const char* what)
{
    if (value > 0xFFFFu) throw std::runtime_error(std::string("zip writer: ") + what + " too long");
    return static_cast<uint16_t>(value);
}

uint32_t checked32(std::size_t value, const char* what)
{
    if (value > 0xFFFFFFFFu) throw std::runtime_error(std::string("zip writer: ") + what + " too large");
    return static_cast<uint32_t>(value);
}

// The run of fields both headers hold, from the version needed to the name's
// length.
static void putSharedFields(std::vector<uint8_t>& out, const ZipHeaderFields& f)
{
    put16(out, f.version);
    put16(out, f.flags);
    put16(out, f.method);
    put16(out, k_dosTime);
    put16(out, k_dosDate);
    put32(out, f.crc);
    put32(out, f.packedSize);
    put32(out, f.size);
    put16(out, checked16(f.name.size(), "name"));
}

void appendLocalHeader(std::vector<uint8_t>& out, const ZipHeaderFields& f)
{
    put32(out, 0x04034B50u);
    putSharedFields(out, f);
    put16(out, checked16(f.localExtra.size(), "extra field"));
    putBytes(out, f.name.data(), f.name.size());
    putBytes(out, f.localExtra.data(), f.localExtra.size());
}

void appendCentralEntry(std::vector<uint8_t>& out, const ZipHeaderFields& f)
{
    put32(out, 0x02014B50u);
    put16(out, 20); // made by: MS-DOS, format 2.0
    putSharedFields(out, f);
    put16(out, checked16(f.centralExtra.size(), "extra field"));
    put16(out, checked16(f.comment.size(), "member comment"));
    put16(out, f.diskNumberStart);
    put16(out, 0); // internal attributes
    put32(out, 0); // external attributes
    put32(out, f.localHeaderOffset);
    putBytes(out, f.name.data(), f.name.size());
    putBytes(out, f.centralExtra.data(), f.centralExtra.size());
    putBytes(out, f.comment.data(), f.comment.size());
}

void appendEndRecord(std::vector<uint8_t>& out, const EndRecordFields& f, const std::string& comment)
{
    put32(out, 0x06054B50u);
    put16(out, f.thisDisk);
    put16(out, f.directoryDisk);
    put16(out, f.entriesOnThisDisk);
    put16(out, f.entries);
    put32(out, f.directorySize);
    put32(out, f.directoryOffset);
    put16(out, f.commentLength);
    putBytes(out, comment.data(), comment.size());
}

} // namespace zipheaders
