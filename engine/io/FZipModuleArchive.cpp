#include "io/FZipModuleArchive.h"

#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FServiceSlots.h"
#include "io/FInflateService.h"
#include "io/FNativePath.h"
#include "io/FSubStreambuf.h"
#include "io/FZipDecryptProcessor.h"
#include "io/FZipStoredStreambuf.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int64_t k_endRecordSize = 22;
constexpr int64_t k_directoryHeaderSize = 46;
constexpr int64_t k_localHeaderSize = 30;

uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

bool hasSignature(const uint8_t* p, uint8_t third, uint8_t fourth)
{
    return p[0] == 0x50 && p[1] == 0x4B && p[2] == third && p[3] == fourth;
}

void seekTo(FInStreambuf& source, int64_t position)
{
    const int64_t answer = static_cast<int64_t>(source.pubseekpos(position, std::ios_base::in));
    if (answer != position) ZIBBO_FAIL(msgFileCorrupted, "pubseekpos (" << answer << ") == " << position);
}

void readExactly(FInStreambuf& source, void* buffer, int64_t size, const char* what)
{
    const int64_t got = static_cast<int64_t>(source.sgetn(static_cast<char*>(buffer), size));
    if (got != size)
        ZIBBO_FAIL(msgFileCorrupted, "Archive ends inside " << what << ": sgetn (" << got << ") == " << size);
}

// Member names are UTF-8 when they can be; other bytes stand for themselves.
// The letters A to Z are lowered, the way member keys are made.
FString memberKey(const std::string& bytes)
{
    std::u16string text;
    try {
        text = std::filesystem::path(std::u8string(bytes.begin(), bytes.end())).u16string();
    } catch (const std::exception&) {
        text.clear();
        for (const char byte : bytes)
            text.push_back(static_cast<unsigned char>(byte));
    }
    for (char16_t& unit : text)
        if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
    return FString(std::u16string_view(text));
}

// A name as a pattern without wildcards compares it: letters lowered, '\\'
// as '/'.
std::u16string comparableName(std::u16string_view name)
{
    std::u16string text(name);
    for (char16_t& unit : text)
        unit = unit == u'\\' ? u'/' : FNativePath::lowerAscii(unit);
    return text;
}

int32_t methodKindOf(uint16_t method)
{
    switch (method) {
    case 0:
        return FZipFileEntry::k_stored;
    case 8:
        return FZipFileEntry::k_deflated;
    case 9:
        return FZipFileEntry::k_deflate64;
    default:
        return FZipFileEntry::k_bzip2;
    }
}

} // namespace

FZipModuleArchive::FZipModuleArchive(FRefT<FFileEntry> source, const uint32_t* keys)
    : m_source(std::move(source)), m_name(makeSharedStringCopy(m_source->name())), m_keys(keys)
{
}

int32_t FZipModuleArchive::memberPriority(int32_t sourcePriority, bool encrypted)
{
    const bool kit = sourcePriority == 6 || (sourcePriority >= 7 && sourcePriority <= 99999);
    return encrypted && !kit ? k_encryptedPriority : sourcePriority;
}

void FZipModuleArchive::read(FRefT<FInStream> stream)
{
    m_stream = std::move(stream);
    // Held for the whole read: no member window reads the archive meanwhile.
    FRef turn = FRef::makeDependent(m_stream);
    if (turn.isNull()) ZIBBO_FAIL(msgSystemError, "makeDependent (archive stream)");
    FInStreambuf& source = *static_cast<FInStream*>(waitForRefTarget(turn))->buffer();
    const int64_t size = source.dataSize();

    // 1. Look for the end record behind a comment of at most 1020 bytes: the
    // bytes from 19 to 1042 before the end, scanned backwards for "PK\5\6".
    const int64_t scanFirst = size - 19;
    const int64_t scanLast = std::max<int64_t>(0, size - (k_endRecordSize + k_maxComment));
    int step = 0;
    int64_t record = -1;
    if (scanFirst >= scanLast && scanFirst >= 0) {
        std::vector<uint8_t> tail(static_cast<size_t>(scanFirst - scanLast + 1));
        seekTo(source, scanLast);
        readExactly(source, tail.data(), static_cast<int64_t>(tail.size()), "the end record");
        for (int64_t at = scanFirst; at >= scanLast && record < 0; --at) {
            const uint8_t byte = tail[static_cast<size_t>(at - scanLast)];
            if (byte == 6)
                step = 1;
            else if (step == 1 && byte == 5)
                step = 2;
            else if (step == 2 && byte == 0x4B)
                step = 3;
            else if (step == 3 && byte == 0x50) {
                step = 4;
                record = at;
            } else
                step = 0;
        }
    }
    if (step != 4) ZIBBO_FAIL(msgFileCorrupted, "step (" << step << ") == 4");

    // 2. The end record.
    uint8_t end[k_endRecordSize];
    seekTo(source, record);
    readExactly(source, end, k_endRecordSize, "the end record");
    if (!hasSignature(end, 5, 6)) ZIBBO_FAIL(msgFileCorrupted, "Invalid EOCD signature");
    if (le16(end + 4) != 0 || le16(end + 6) != 0) ZIBBO_FAIL(msgFileCorrupted, "No disks on the archive");
    const uint16_t entries = le16(end + 8);
    if (entries != le16(end + 10)) ZIBBO_FAIL(msgFileCorrupted, "All the elements in the CD");
    const uint32_t directorySize = le32(end + 12);
    const uint32_t directoryOffset = le32(end + 16);
    if (le16(end + 20) > size - (record + k_endRecordSize))
        ZIBBO_FAIL(msgFileCorrupted, "Comment size is inconsistent");

    // 3. The directory ends where the end record starts; an archive behind
    // other data (a self-extracting file) has its offsets moved by the bias.
    if (directorySize > record)
        ZIBBO_FAIL(msgFileCorrupted,
                   "directory size (" << directorySize << ") <= end record position (" << record << ")");
    const int64_t directoryStart = record - directorySize;
    const int64_t bias = directoryStart - int64_t(directoryOffset);
    seekTo(source, directoryStart);

    // 4. to 8. One entry per directory header.
    std::string nameBytes;
    for (uint32_t index = 0; index < entries; ++index) {
        uint8_t header[k_directoryHeaderSize];
        readExactly(source, header, k_directoryHeaderSize, "the central directory");
        if (!hasSignature(header, 1, 2)) ZIBBO_FAIL(msgFileCorrupted, "Invalid CD signature");
        const uint16_t version = le16(header + 6);
        const uint8_t versionLow = version & 0xFF;
        if ((version >> 8) != 0 ||
            (versionLow != 10 && versionLow != 20 && versionLow != 21 && versionLow != 46))
            ZIBBO_FAIL(msgFileCorrupted, "Not a known CD version");
        const uint16_t method = le16(header + 10);
        if (method != 0 && method != 8 && method != 9 && method != 12)
            ZIBBO_FAIL(msgFileCorrupted, "Not a known method");
        if (le16(header + 34) != 0) ZIBBO_FAIL(msgFileCorrupted, "Only one disk please!");

        const uint16_t nameLength = le16(header + 28);
        const uint16_t extraLength = le16(header + 30);
        const uint16_t commentLength = le16(header + 32);
        nameBytes.resize(nameLength);
        readExactly(source, nameBytes.data(), nameLength, "a member name");
        const int64_t skip = int64_t(extraLength) + commentLength;
        if (skip > 0 && source.pubseekoff(skip, std::ios_base::cur, std::ios_base::in) == std::streampos(-1))
            ZIBBO_FAIL(msgFileCorrupted, "pubseekoff (" << skip << ")");

        FZipFileEntry::Directory directory;
        const bool encrypted = (le16(header + 8) & 1) != 0;
        directory.crc = le32(header + 16);
        directory.compressedSize = le32(header + 20);
        directory.uncompressedSize = le32(header + 24);
        directory.headerOffset = int64_t(le32(header + 42)) + bias;
        directory.headerSize = k_localHeaderSize + nameLength + extraLength;
        directory.methodKind = methodKindOf(method);
        directory.encrypted = encrypted;

        FString key = memberKey(nameBytes);
        FZipFileEntry* entry = engineNew<FZipFileEntry>(
            k_memObject, this, key, m_name, memberPriority(m_source->priority(), encrypted), directory);
        if (entry == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FZipFileEntry)");
        const auto [slot, fresh] =
            m_entries.insert_or_assign(std::move(key), FRefT<FFileEntry>(makeRef<FFileEntry>(entry)));
        if (fresh) m_exactKeys[comparableName(slot->first.view())].push_back(slot->first);
    }
}

FFileEntryMap FZipModuleArchive::find(const FString& pattern)
{
    const std::u16string_view text = pattern.view();
    if (text.find_first_of(u"*?") != std::u16string_view::npos) return FFileSystem::find(pattern);
    FFileEntryMap found;
    const auto bucket = m_exactKeys.find(comparableName(text));
    if (bucket != m_exactKeys.end())
        for (const FString& key : bucket->second)
            found.emplace(key, m_entries.at(key));
    return found;
}

int64_t FZipModuleArchive::memberDataStart(const FZipFileEntry& member)
{
    // The member's own local header says where its data starts: its name and
    // extra field need not be as long as the directory's.
    if (member.headerOffset() < 0)
        ZIBBO_FAIL(msgFileCorrupted, "header offset (" << member.headerOffset() << ") >= 0");
    uint8_t local[k_localHeaderSize];
    FSubStreambuf header(m_stream, member.headerOffset(), k_localHeaderSize);
    header.readFromParent(reinterpret_cast<char*>(local), k_localHeaderSize);
    if (!hasSignature(local, 3, 4))
        ZIBBO_FAIL(msgFileCorrupted, "Invalid local header signature of " << member.name());
    const int64_t start = member.headerOffset() + k_localHeaderSize + le16(local + 26) + le16(local + 28);
    const int64_t archiveSize = waitForRefTarget(m_stream)->buffer()->dataSize();
    if (start + int64_t(member.compressedSize()) > archiveSize)
        ZIBBO_FAIL(msgFileCorrupted, "data start (" << start << ") + compressed size ("
                                                    << member.compressedSize() << ") <= archive size ("
                                                    << archiveSize << ")");
    return start;
}

FRefT<FInStream> FZipModuleArchive::open(const FRefT<FFileEntry>& entry)
{
    const FZipFileEntry& member = *static_cast<const FZipFileEntry*>(entry.get());
    const uint32_t headerBytes = member.encrypted() ? FZipDecryptProcessor::k_headerSize : 0;
    if (member.compressedSize() < headerBytes)
        ZIBBO_FAIL(msgFileCorrupted,
                   "compressed size (" << member.compressedSize() << ") >= 12 in " << member.name());
    if (member.methodKind() == FZipFileEntry::k_stored &&
        member.compressedSize() - headerBytes != member.directory().uncompressedSize)
        ZIBBO_FAIL(msgFileCorrupted,
                   "stored size (" << member.compressedSize() - headerBytes << ") == uncompressed size ("
                                   << member.directory().uncompressedSize << ") in " << member.name());

    FZipMemberInfo info;
    info.archive = m_stream;
    info.dataStart = memberDataStart(member);
    info.uncompressedSize = member.directory().uncompressedSize;
    info.compressedSize = member.compressedSize();
    info.crc = member.crc();

    FRefT<FInStream> stream;
    switch (member.methodKind()) {
    case FZipFileEntry::k_stored: {
        FZipStoredStreambuf* buffer = engineNew<FZipStoredStreambuf>(k_memObject, info);
        if (buffer == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FZipStoredStreambuf)");
        stream = FInStream::make(buffer);
        break;
    }
    case FZipFileEntry::k_deflated:
    case FZipFileEntry::k_deflate64:
    case FZipFileEntry::k_bzip2: {
        static const int k_slots[] = {0, k_slotZlib, k_slotZipMethod9, k_slotZipMethod12};
        static const int k_methods[] = {0, 8, 9, 12};
        FInflateService* decoder = findService<FInflateService>(k_slots[member.methodKind()]);
        // Methods 9 and 12 pass the directory checks, but nothing decodes them.
        if (decoder == nullptr)
            ZIBBO_FAIL(msgFileCorrupted, "No decoder for compression method "
                                             << k_methods[member.methodKind()] << " of " << member.name());
        decoder->openInflatingStream(stream, info);
        break;
    }
    default:
        ZIBBO_FAIL(msgFileCorrupted, "Unknown compression method");
    }

    FInStream* input = waitForRefTarget(stream);
    if (member.encrypted()) {
        auto* window = dynamic_cast<FSubStreambuf*>(input->buffer());
        if (window == nullptr)
            ZIBBO_FAIL(msgIllegalOperation, "member stream without window: " << member.name());
        FZipDecryptProcessor* processor = engineNew<FZipDecryptProcessor>(k_memObject, m_keys, *window);
        if (processor == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FZipDecryptProcessor)");
        window->setProcessor(processor);
    }
    input->buffer()->start();
    return stream;
}
