#include "tools/zipwriter/ZipWriter.h"

#include "io/FArchiveKeys.h"
#include "io/FZipCipher.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>

namespace {

// A fixed time stamp (1 January 2024, midnight) keeps archives reproducible.
constexpr uint16_t k_dosTime = 0;
constexpr uint16_t k_dosDate = ((2024 - 1980) << 9) | (1 << 5) | 1;

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

void putBytes(std::vector<uint8_t>& out, const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

uint16_t checked16(size_t v, const char* what)
{
    if (v > 0xFFFFu) throw std::runtime_error(std::string("zip writer: ") + what + " too long");
    return static_cast<uint16_t>(v);
}

uint32_t checked32(size_t v, const char* what)
{
    if (v > 0xFFFFFFFFu) throw std::runtime_error(std::string("zip writer: ") + what + " too large");
    return static_cast<uint32_t>(v);
}

} // namespace

std::vector<uint8_t> zipDeflate(const uint8_t* data, size_t size, int level)
{
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("zip writer: deflateInit2 failed");
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(size)));
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END) throw std::runtime_error("zip writer: deflate failed");
    return out;
}

ZipWriter::ZipWriter(const uint32_t* keys)
{
    const uint32_t* k = keys ? keys : k_archiveKeys;
    for (int i = 0; i < 3; ++i)
        m_keys[i] = k[i];
}

ZipMember& ZipWriter::add(std::string name, std::vector<uint8_t> data, ZipMethod method, bool encrypted)
{
    ZipMember& m = m_members.emplace_back();
    m.name = std::move(name);
    m.data = std::move(data);
    m.method = method;
    m.encrypted = encrypted;
    return m;
}

ZipMember& ZipWriter::add(std::string name, const std::string& text, ZipMethod method, bool encrypted)
{
    return add(std::move(name), std::vector<uint8_t>(text.begin(), text.end()), method, encrypted);
}

std::vector<uint8_t> ZipWriter::memberData(const ZipMember& m, uint32_t crc) const
{
    std::vector<uint8_t> body =
        m.method == ZipMethod::Deflated ? zipDeflate(m.data.data(), m.data.size()) : m.data;
    if (!m.encrypted) return body;

    // The 12-byte encryption header: eleven filler bytes derived from the
    // member (reproducible output) and the CRC's high byte, which ordinary
    // zip tools use to check the password.
    std::vector<uint8_t> sealed(12);
    uint32_t seed = crc ^ 0x9E3779B9u ^ static_cast<uint32_t>(m.name.size());
    for (int i = 0; i < 11; ++i) {
        seed = seed * 1103515245u + 12345u;
        sealed[i] = static_cast<uint8_t>(seed >> 16);
    }
    sealed[11] = static_cast<uint8_t>(crc >> 24);
    sealed.insert(sealed.end(), body.begin(), body.end());
    FZipCipher cipher(m_keys);
    cipher.encrypt(sealed.data(), sealed.size());
    return sealed;
}

std::vector<uint8_t> ZipWriter::build() const
{
    std::vector<uint8_t> out = m_prefix;
    std::vector<uint8_t> directory;
    const size_t archiveStart = m_prefix.size();

    for (const ZipMember& m : m_members) {
        const uint32_t crc =
            static_cast<uint32_t>(crc32_z(crc32_z(0, nullptr, 0), m.data.data(), m.data.size()));
        const std::vector<uint8_t> data = memberData(m, crc);
        const uint16_t flags = m.encrypted ? 1 : 0;
        const uint16_t method = m.methodField.value_or(m.method == ZipMethod::Deflated ? 8 : 0);
        const uint16_t version =
            m.versionNeeded.value_or(m.method == ZipMethod::Deflated || m.encrypted ? 20 : 10);
        const uint32_t crcField = m.crcField.value_or(crc);
        const uint32_t packed = checked32(data.size(), "member");
        const uint32_t size = m.uncompressedSizeField.value_or(checked32(m.data.size(), "member"));
        const uint16_t nameLength = checked16(m.name.size(), "name");
        // Offsets count from the start of the archive, not of the file: a
        // prefix is left for the reader to find (the bias).
        const uint32_t offset = checked32(out.size() - archiveStart, "archive");

        put32(out, 0x04034B50u);
        put16(out, version);
        put16(out, flags);
        put16(out, method);
        put16(out, k_dosTime);
        put16(out, k_dosDate);
        put32(out, crcField);
        put32(out, packed);
        put32(out, size);
        put16(out, nameLength);
        put16(out, checked16(m.localExtra.size(), "extra field"));
        putBytes(out, m.name.data(), m.name.size());
        putBytes(out, m.localExtra.data(), m.localExtra.size());
        putBytes(out, data.data(), data.size());

        put32(directory, 0x02014B50u);
        put16(directory, 20); // made by: MS-DOS, format 2.0
        put16(directory, version);
        put16(directory, flags);
        put16(directory, method);
        put16(directory, k_dosTime);
        put16(directory, k_dosDate);
        put32(directory, crcField);
        put32(directory, packed);
        put32(directory, size);
        put16(directory, nameLength);
        put16(directory, checked16(m.centralExtra.size(), "extra field"));
        put16(directory, checked16(m.comment.size(), "member comment"));
        put16(directory, m.diskNumberStart);
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, offset);
        putBytes(directory, m.name.data(), m.name.size());
        putBytes(directory, m.centralExtra.data(), m.centralExtra.size());
        putBytes(directory, m.comment.data(), m.comment.size());
    }

    const uint32_t directoryOffset = checked32(out.size() - archiveStart, "archive");
    const uint16_t entries = checked16(m_members.size(), "member list");
    putBytes(out, directory.data(), directory.size());
    put32(out, 0x06054B50u);
    put16(out, m_end.thisDisk);
    put16(out, m_end.directoryDisk);
    put16(out, m_end.entriesOnThisDisk.value_or(entries));
    put16(out, entries);
    put32(out, checked32(directory.size(), "directory"));
    put32(out, directoryOffset);
    put16(out, m_end.commentLengthField.value_or(checked16(m_comment.size(), "comment")));
    putBytes(out, m_comment.data(), m_comment.size());
    return out;
}

void ZipWriter::writeTo(const std::filesystem::path& path) const
{
    const std::vector<uint8_t> bytes = build();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("zip writer: cannot write " + path.string());
}
