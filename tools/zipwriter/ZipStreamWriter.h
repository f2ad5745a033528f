#pragma once

// Writes a zip archive straight to a file, one member at a time, holding no
// more than a block of any member in memory: kittool packs folders of any
// size with it. Every write is checked, the closing one too, so that a full
// disk is a failure rather than a kit left short.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

class ZipStreamWriter
{
public:
    // Opens (creates or empties) the archive file; throws std::runtime_error
    // when it cannot.
    explicit ZipStreamWriter(const std::filesystem::path& path);
    // Closes the file without a word when finish was not reached.
    ~ZipStreamWriter();
    ZipStreamWriter(const ZipStreamWriter&) = delete;
    ZipStreamWriter& operator=(const ZipStreamWriter&) = delete;

    // Adds the file at `source` as member `name`: deflated when that makes it
    // smaller, stored otherwise. The file is read twice in blocks (to learn
    // its CRC and packed size, then to write it); one that changes between
    // the two is a failure.
    void addFile(const std::string& name, const std::filesystem::path& source);

    // Writes the central directory and the end record and closes the file;
    // throws when a write or the close failed.
    void finish();

private:
    struct Summary
    {
        uint32_t crc = 0;
        uint64_t size = 0;
        uint64_t packedSize = 0;
    };
    // Reads `source` once, deflating it when `deflate`; the packed bytes go
    // to the archive when `write`, and are only counted otherwise.
    Summary pass(const std::filesystem::path& source, bool deflate, bool write);
    void write(const void* data, std::size_t size);
    [[noreturn]] void fail(const std::string& what) const;

    std::filesystem::path m_path;
    std::FILE* m_file = nullptr;
    uint64_t m_offset = 0;
    std::vector<uint8_t> m_directory;
    std::size_t m_entries = 0;
};
