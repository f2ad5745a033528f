#include "tools/zipwriter/ZipStreamWriter.h"

#include "tools/zipwriter/ZipHeaders.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

using namespace zipheaders;

namespace {

constexpr std::size_t k_blockSize = 1 << 20;

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct DeflateEnd
{
    void operator()(z_stream* z) const { deflateEnd(z); }
};

} // namespace

ZipStreamWriter::ZipStreamWriter(const std::filesystem::path& path) : m_path(path)
{
    m_file = std::fopen(path.c_str(), "wb");
    if (m_file == nullptr) fail("cannot create");
}

ZipStreamWriter::~ZipStreamWriter()
{
    if (m_file != nullptr) std::fclose(m_file);
}

void ZipStreamWriter::fail(const std::string& what) const
{
    throw std::runtime_error(what + " " + m_path.string() + ": " + std::strerror(errno));
}

void ZipStreamWriter::write(const void* data, std::size_t size)
{
    if (size > 0 && std::fwrite(data, 1, size, m_file) != size) fail("cannot write");
    m_offset += size;
}

ZipStreamWriter::Summary ZipStreamWriter::pass(const std::filesystem::path& source, bool deflate, bool write)
{
    std::unique_ptr<std::FILE, FileCloser> in(std::fopen(source.c_str(), "rb"));
    if (!in) throw std::runtime_error("cannot read " + source.string() + ": " + std::strerror(errno));
    z_stream z{};
    std::unique_ptr<z_stream, DeflateEnd> deflating;
    if (deflate) {
        if (deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("zip writer: deflateInit2 failed");
        deflating.reset(&z);
    }
    std::vector<uint8_t> block(k_blockSize);
    std::vector<uint8_t> packed(deflate ? k_blockSize : 0);
    Summary summary;
    uLong crc = crc32_z(0, nullptr, 0);
    for (bool last = false; !last;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), in.get());
        if (std::ferror(in.get())) throw std::runtime_error("cannot read " + source.string());
        last = got < block.size();
        crc = crc32_z(crc, block.data(), got);
        summary.size += got;
        if (!deflate) {
            if (write) this->write(block.data(), got);
            summary.packedSize += got;
            continue;
        }
        z.next_in = block.data();
        z.avail_in = static_cast<uInt>(got);
        int result = Z_OK;
        do {
            z.next_out = packed.data();
            z.avail_out = static_cast<uInt>(packed.size());
            result = ::deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            const std::size_t out = packed.size() - z.avail_out;
            if (write) this->write(packed.data(), out);
            summary.packedSize += out;
        } while (z.avail_out == 0 || (last && result != Z_STREAM_END));
    }
    summary.crc = static_cast<uint32_t>(crc);
    return summary;
}

void ZipStreamWriter::addFile(const std::string& name, const std::filesystem::path& source)
{
    const Summary measured = pass(source, true, false);
    const bool deflate = measured.size > 0 && measured.packedSize < measured.size;
    ZipHeaderFields fields;
    fields.version = deflate ? 20 : 10;
    fields.method = deflate ? 8 : 0;
    fields.crc = measured.crc;
    fields.size = checked32(measured.size, "member");
    fields.packedSize = checked32(deflate ? measured.packedSize : measured.size, "member");
    fields.name = name;
    fields.localHeaderOffset = checked32(m_offset, "archive");
    std::vector<uint8_t> header;
    appendLocalHeader(header, fields);
    write(header.data(), header.size());
    const Summary written = pass(source, deflate, true);
    if (written.crc != measured.crc || written.size != measured.size)
        throw std::runtime_error(source.string() + " changed while it was packed");
    appendCentralEntry(m_directory, fields);
    ++m_entries;
}

void ZipStreamWriter::finish()
{
    EndRecordFields end;
    end.entries = end.entriesOnThisDisk = checked16(m_entries, "member list");
    end.directorySize = checked32(m_directory.size(), "directory");
    end.directoryOffset = checked32(m_offset, "archive");
    std::vector<uint8_t> tail = m_directory;
    appendEndRecord(tail, end, std::string());
    write(tail.data(), tail.size());
    // Buffered bytes reach the disk only here: a full disk shows in the
    // flush or the close, not in the writes before.
    std::FILE* file = m_file;
    m_file = nullptr;
    const bool flushed = std::fflush(file) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!flushed) errno = flushError;
    if (!flushed || !closed) fail("cannot write");
}
