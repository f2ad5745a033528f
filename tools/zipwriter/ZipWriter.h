#pragma once

// Writes zip archives the way our engine reads them: stored and deflated
// members, traditionally encrypted members sealed with our archive key state,
// an archive comment and an optional prefix before the archive (as in a
// self-extracting file). Tests make every fixture archive with it, and kittool
// packs kits with it.
//
// A few fields can be forced to raw values so that tests can make archives
// that break one rule of the format at a time.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

enum class ZipMethod { Stored, Deflated };

struct ZipMember
{
    std::string name;
    std::vector<uint8_t> data;
    ZipMethod method = ZipMethod::Deflated;
    bool encrypted = false;

    // Extra fields and comment, written as given.
    std::vector<uint8_t> localExtra;
    std::vector<uint8_t> centralExtra;
    std::string comment;

    // Raw values written in place of the true ones (both headers).
    std::optional<uint16_t> methodField;
    std::optional<uint16_t> versionNeeded;
    std::optional<uint32_t> crcField;
    std::optional<uint32_t> uncompressedSizeField;
    uint16_t diskNumberStart = 0;
};

struct ZipEndRecord
{
    uint16_t thisDisk = 0;
    uint16_t directoryDisk = 0;
    std::optional<uint16_t> entriesOnThisDisk;
    std::optional<uint16_t> commentLengthField;
};

class ZipWriter
{
public:
    // keys: the initial key state of encrypted members (ours unless a test
    // wants another).
    explicit ZipWriter(const uint32_t* keys = nullptr);

    // Adds a member; the returned reference stays valid until the next add.
    ZipMember& add(std::string name, std::vector<uint8_t> data, ZipMethod method = ZipMethod::Deflated,
                   bool encrypted = false);
    ZipMember& add(std::string name, const std::string& text, ZipMethod method = ZipMethod::Deflated,
                   bool encrypted = false);

    void setComment(std::string comment) { m_comment = std::move(comment); }
    void setPrefix(std::vector<uint8_t> prefix) { m_prefix = std::move(prefix); }
    ZipEndRecord& endRecord() { return m_end; }
    const std::vector<ZipMember>& members() const { return m_members; }

    // The whole file: prefix, local headers with data, central directory,
    // end record and comment. Throws std::runtime_error when zlib fails or a
    // value does not fit the format.
    std::vector<uint8_t> build() const;
    void writeTo(const std::filesystem::path& path) const;

private:
    std::vector<uint8_t> memberData(const ZipMember& member, uint32_t crc) const;

    uint32_t m_keys[3];
    std::vector<ZipMember> m_members;
    std::string m_comment;
    std::vector<uint8_t> m_prefix;
    ZipEndRecord m_end;
};

// Deflates a block into raw deflate data (no zlib header), as zip members hold it.
std::vector<uint8_t> zipDeflate(const uint8_t* data, size_t size, int level = 6);
