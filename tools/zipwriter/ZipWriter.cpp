#include "tools/zipwriter/ZipWriter.h"

#include "tools/zipwriter/ZipHeaders.h"

#include "io/FArchiveKeys.h"
#include "io/FZipCipher.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>

using namespace zipheaders;

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
        ZipHeaderFields fields;
        fields.flags = m.encrypted ? 1 : 0;
        fields.method = m.methodField.value_or(m.method == ZipMethod::Deflated ? 8 : 0);
        fields.version = m.versionNeeded.value_or(m.method == ZipMethod::Deflated || m.encrypted ? 20 : 10);
        fields.crc = m.crcField.value_or(crc);
        fields.packedSize = checked32(data.size(), "member");
        fields.size = m.uncompressedSizeField.value_or(checked32(m.data.size(), "member"));
        fields.name = m.name;
        fields.localExtra = m.localExtra;
        fields.centralExtra = m.centralExtra;
        fields.comment = m.comment;
        fields.diskNumberStart = m.diskNumberStart;
        // Offsets count from the start of the archive, not of the file: a
        // prefix is left for the reader to find (the bias).
        fields.localHeaderOffset = checked32(out.size() - archiveStart, "archive");
        appendLocalHeader(out, fields);
        out.insert(out.end(), data.begin(), data.end());
        appendCentralEntry(directory, fields);
    }

    const uint32_t directoryOffset = checked32(out.size() - archiveStart, "archive");
    const uint16_t entries = checked16(m_members.size(), "member list");
    out.insert(out.end(), directory.begin(), directory.end());
    EndRecordFields end;
    end.thisDisk = m_end.thisDisk;
    end.directoryDisk = m_end.directoryDisk;
    end.entriesOnThisDisk = m_end.entriesOnThisDisk.value_or(entries);
    end.entries = entries;
    end.directorySize = checked32(directory.size(), "directory");
    end.directoryOffset = directoryOffset;
    end.commentLength = m_end.commentLengthField.value_or(checked16(m_comment.size(), "comment"));
    appendEndRecord(out, end, m_comment);
    return out;
}

void ZipWriter::writeTo(const std::filesystem::path& path) const
{
    const std::vector<uint8_t> bytes = build();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("zip writer: cannot write " + path.string());
}
