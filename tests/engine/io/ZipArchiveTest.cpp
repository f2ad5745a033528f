#include "engine/io/IoTestSupport.h"

#include "io/FFile.h"
#include "io/FZipFileEntry.h"
#include "io/FZipModuleArchive.h"

#include <gtest/gtest.h>

using namespace iotest;

namespace {

class ZipArchiveTest : public IoTest
{
protected:
    std::string failureOfOpening(const ZipWriter& writer)
    {
        return failureOf([&] { openArchive(writer); });
    }

    const FZipFileEntry& member(const FRefT<FFileSystem>& archive, const std::string& key)
    {
        const auto it = archive->entries().find(engineText(key));
        if (it == archive->entries().end()) throw std::runtime_error("no member " + key);
        return *static_cast<const FZipFileEntry*>(it->second.get());
    }
};

TEST_F(ZipArchiveTest, EndRecordIsFoundBehindCommentsOfUpTo1020Bytes)
{
    for (const size_t length : {size_t(0), size_t(1), size_t(1020)}) {
        ZipWriter writer;
        writer.add("a.txt", "alpha");
        writer.setComment(std::string(length, 'c'));
        FRefT<FFileSystem> archive = openArchive(writer);
        EXPECT_EQ(readMember(archive, "a.txt"), "alpha") << length;
    }
    ZipWriter tooLong;
    tooLong.add("a.txt", "alpha");
    tooLong.setComment(std::string(1021, 'c'));
    EXPECT_NE(failureOfOpening(tooLong).find("step (3) == 4"), std::string::npos);
}

TEST_F(ZipArchiveTest, FilesThatAreNoArchives)
{
    for (const std::string& content : {std::string("just some text, no archive at all\n"), std::string("PK"),
                                       std::string(), std::string(5000, 'x')}) {
        writeFile("plain.zip", content);
        const std::string failure = failureOf([&] { openArchive(std::filesystem::path("plain.zip")); });
        EXPECT_NE(failure.find("step (0) == 4"), std::string::npos) << content.size();
        EXPECT_TRUE(failure.starts_with("A file required by the application is corrupted.")) << failure;
    }
}

TEST_F(ZipArchiveTest, EndRecordChecks)
{
    struct Case
    {
        const char* report;
        void (*spoil)(ZipEndRecord&);
    };
    const Case cases[] = {
        {"No disks on the archive", [](ZipEndRecord& end) { end.thisDisk = 1; }},
        {"No disks on the archive", [](ZipEndRecord& end) { end.directoryDisk = 2; }},
        {"All the elements in the CD", [](ZipEndRecord& end) { end.entriesOnThisDisk = 1; }},
        {"Comment size is inconsistent", [](ZipEndRecord& end) { end.commentLengthField = 11; }},
    };
    for (const Case& c : cases) {
        ZipWriter writer;
        writer.add("a.txt", "alpha");
        writer.add("b.txt", "beta");
        writer.setComment("ten bytes!");
        c.spoil(writer.endRecord());
        EXPECT_NE(failureOfOpening(writer).find(c.report), std::string::npos) << c.report;
    }

    // Bytes after a shorter comment are accepted.
    ZipWriter trailing;
    trailing.add("a.txt", "alpha");
    trailing.setComment("ten bytes!");
    trailing.endRecord().commentLengthField = 3;
    EXPECT_EQ(readMember(openArchive(trailing), "a.txt"), "alpha");
}

TEST_F(ZipArchiveTest, DirectoryHeaderChecks)
{
    struct Case
    {
        const char* report;
        void (*spoil)(ZipMember&);
    };
    const Case cases[] = {
        {"Not a known method", [](ZipMember& m) { m.methodField = 14; }},
        {"Not a known method", [](ZipMember& m) { m.methodField = 0x0108; }},
        {"Not a known CD version", [](ZipMember& m) { m.versionNeeded = 45; }},
        {"Not a known CD version", [](ZipMember& m) { m.versionNeeded = 0x0114; }},
        {"Only one disk please!", [](ZipMember& m) { m.diskNumberStart = 1; }},
    };
    for (const Case& c : cases) {
        ZipWriter writer;
        writer.add("good.txt", "fine");
        c.spoil(writer.add("bad.txt", "spoilt"));
        FRefT<FFileSystem> archive;
        writer.writeTo("kit.zip");
        const std::string failure = failureOf([&] { openArchiveInto(archive, "kit.zip"); });
        EXPECT_NE(failure.find(c.report), std::string::npos) << c.report;
        // What was read before the failure stays.
        ASSERT_FALSE(archive.isNull());
        EXPECT_EQ(archive->entries().size(), 1u);
        EXPECT_EQ(archive->entries().begin()->first, u"good.txt");
    }

    // The versions and methods that pass.
    ZipWriter writer;
    const std::pair<const char*, uint16_t> versions[] = {{"v10", 10}, {"v20", 20}, {"v21", 21}, {"v46", 46}};
    for (const auto& [name, version] : versions)
        writer.add(name, "x", ZipMethod::Stored).versionNeeded = version;
    writer.add("m9", "x", ZipMethod::Stored).methodField = 9;
    writer.add("m12", "x", ZipMethod::Stored).methodField = 12;
    FRefT<FFileSystem> archive = openArchive(writer);
    EXPECT_EQ(archive->entries().size(), 6u);
    EXPECT_EQ(member(archive, "m9").methodKind(), FZipFileEntry::k_deflate64);
    EXPECT_EQ(member(archive, "m12").methodKind(), FZipFileEntry::k_bzip2);
}

TEST_F(ZipArchiveTest, MethodsWithoutDecoderFailToOpenClearly)
{
    ZipWriter writer;
    writer.add("m9.bin", "x", ZipMethod::Stored).methodField = 9;
    writer.add("m12.bin", "x", ZipMethod::Stored).methodField = 12;
    FRefT<FFileSystem> archive = openArchive(writer);
    EXPECT_NE(failureOf([&] {
                  openMember(archive, "m9.bin");
              }).find("No decoder for compression method 9 of m9.bin"),
              std::string::npos);
    EXPECT_NE(failureOf([&] { openMember(archive, "m12.bin"); }).find("No decoder for compression method 12"),
              std::string::npos);
}

TEST_F(ZipArchiveTest, NamesAreLowerCasedKeysAndTheLaterDuplicateStays)
{
    ZipWriter writer;
    writer.add("Data/Logo.PNG", "first");
    writer.add("data/logo.png", "second");
    writer.add("Scripts/Main.lua", "main");
    FRefT<FFileSystem> archive = openArchive(writer, "Kit.zip");
    ASSERT_EQ(archive->entries().size(), 2u);
    EXPECT_EQ(readMember(archive, "DATA\\LOGO.png"), "second");
    const FZipFileEntry& main = member(archive, "scripts/main.lua");
    EXPECT_EQ(main.name(), u"scripts/main.lua");
    EXPECT_EQ(main.extension(), u".lua");
    EXPECT_EQ(*main.location().get(), u"Kit.zip");
    EXPECT_EQ(main.size(), 4);
    EXPECT_TRUE(main.plain());

    // Two keys that a name matches alike ('\\' counts as '/') are both found.
    ZipWriter slashes;
    slashes.add("Dir\\x.txt", "back");
    slashes.add("dir/X.txt", "forward");
    FRefT<FFileSystem> both = openArchive(slashes, "slashes.zip");
    EXPECT_EQ(both->entries().size(), 2u);
    EXPECT_EQ(both->find(u"DIR/x.TXT").size(), 2u);
    EXPECT_EQ(both->find(u"dir\\?.txt").size(), 2u);
}

// Patterns that begin with digits try only the keys that begin with them;
// they find just what matching every key finds, neighbours and the other
// slash included, and a '?' in a '*' section is still refused.
TEST_F(ZipArchiveTest, PatternsThatBeginWithDigitsFindWhatEveryKeyWouldMatch)
{
    ZipWriter writer;
    for (const char* name :
         {"001/000010_0.png", "001\\000011_0.JPG", "001/sub/000012_0.png", "0010/000013_0.png",
          "002/000014_0.png", "00/000015_0.png", "001/000016_1.png", "001", "a001/000017_0.png"})
        writer.add(name, "x");
    FRefT<FFileSystem> archive = openArchive(writer, "Digits.zip");
    const auto keysOf = [](const FFileEntryMap& found) {
        std::vector<std::string> keys;
        for (const auto& [key, entry] : found)
            keys.push_back(key.toUtf8());
        return keys;
    };
    const std::vector<std::string> folderOne = {"001/000010_0.png", "001\\000011_0.jpg"};
    EXPECT_EQ(keysOf(archive->find(u"001/*_0.*")), folderOne);
    EXPECT_EQ(keysOf(archive->find(u"001\\*_0.*")), folderOne);
    for (const char16_t* pattern : {u"001/*_0.*", u"0010/*.png", u"001", u"00*/*_0.png", u"001/sub/*", u"9*",
                                    u"00/*", u"002/000014_0.PNG"}) {
        FFileEntryMap all;
        for (const auto& [key, entry] : archive->entries())
            if (FFile::matchPattern(FString(pattern), key)) all.emplace(key, entry);
        EXPECT_EQ(keysOf(archive->find(pattern)), keysOf(all)) << FString(pattern).toUtf8();
    }
    EXPECT_EQ(archive->find(u"002/000014_0.PNG").size(), 1u);
    EXPECT_FALSE(failureOf([&] { archive->find(u"001/a?*.png"); }).empty());
}

TEST_F(ZipArchiveTest, ArchiveBehindOtherDataOpensWithTheBias)
{
    ZipWriter writer;
    writer.add("a.txt", "alpha");
    writer.add("b.txt", text(sampleBytes(3000)), ZipMethod::Deflated, true);
    FRefT<FFileSystem> plain = openArchive(writer, "plain.zip");
    writer.setPrefix(std::vector<uint8_t>(100, 0xEE));
    FRefT<FFileSystem> prefixed = openArchive(writer, "prefixed.zip");
    for (const char* name : {"a.txt", "b.txt"})
        EXPECT_EQ(member(prefixed, name).headerOffset(), member(plain, name).headerOffset() + 100) << name;
    EXPECT_EQ(readMember(prefixed, "a.txt"), "alpha");
    EXPECT_EQ(readMember(prefixed, "b.txt"), text(sampleBytes(3000)));
}

TEST_F(ZipArchiveTest, MemberPriorities)
{
    struct Case
    {
        int32_t source;
        int32_t plain;
        int32_t encrypted;
    };
    const Case cases[] = {
        {1, 1, 100000},        {4, 4, 100000},           {6, 6, 6},      {7, 7, 7}, {43, 43, 43},
        {99999, 99999, 99999}, {100000, 100000, 100000}, {5, 5, 100000},
    };
    ZipWriter writer;
    writer.add("plain.txt", "p");
    writer.add("sealed.txt", "s", ZipMethod::Stored, true);
    writer.writeTo("kit.zip");
    for (const Case& c : cases) {
        FRefT<FFileSystem> archive = openArchive(std::filesystem::path("kit.zip"), c.source);
        EXPECT_EQ(member(archive, "plain.txt").priority(), c.plain) << c.source;
        EXPECT_EQ(member(archive, "sealed.txt").priority(), c.encrypted) << c.source;
        EXPECT_FALSE(member(archive, "sealed.txt").plain());
    }
}

TEST_F(ZipArchiveTest, DataStartsAfterTheLocalHeadersOwnNameAndExtra)
{
    ZipWriter writer;
    ZipMember& m = writer.add("a.txt", "alpha", ZipMethod::Stored);
    m.localExtra = std::vector<uint8_t>(9, 0x55);
    m.centralExtra = std::vector<uint8_t>(4, 0x66);
    ZipMember& n = writer.add("b.txt", text(sampleBytes(5000)), ZipMethod::Deflated, true);
    n.centralExtra = std::vector<uint8_t>(24, 0x77);
    FRefT<FFileSystem> archive = openArchive(writer);
    EXPECT_EQ(readMember(archive, "a.txt"), "alpha");
    EXPECT_EQ(readMember(archive, "b.txt"), text(sampleBytes(5000)));
}

TEST_F(ZipArchiveTest, LocalHeaderSignatureIsChecked)
{
    ZipWriter writer;
    writer.add("a.txt", "alpha", ZipMethod::Stored);
    std::vector<uint8_t> bytes = writer.build();
    bytes[2] = 0x05; // PK\5\4 is no local header
    writeFile("kit.zip", bytes);
    FRefT<FFileSystem> archive = openArchive(std::filesystem::path("kit.zip"));
    EXPECT_NE(
        failureOf([&] { openMember(archive, "a.txt"); }).find("Invalid local header signature of a.txt"),
        std::string::npos);
}

// Every prefix of a small archive, and every single-byte change of it: each
// either fails with a failure report or reads exactly the original members.
// (Run under AddressSanitizer, this also shows that nothing is read out of
// bounds.)
class DamagedArchiveTest : public ZipArchiveTest
{
protected:
    void SetUp() override
    {
        m_writer.add("stored.txt", text(sampleBytes(150, 1)), ZipMethod::Stored);
        m_writer.add("deflated.txt", text(sampleBytes(400, 2)), ZipMethod::Deflated);
        m_writer.add("sealed.txt", text(sampleBytes(80, 3)), ZipMethod::Stored, true);
        m_writer.add("sealed.z", text(sampleBytes(300, 4)), ZipMethod::Deflated, true);
        m_writer.setComment("kit");
        m_original = m_writer.build();
    }

    // Answers how many members read back intact.
    int readBack(const std::vector<uint8_t>& bytes)
    {
        writeFile("damaged.zip", bytes);
        FRefT<FFileSystem> archive;
        failureOf([&] { archive = openArchive(std::filesystem::path("damaged.zip")); });
        int intact = 0;
        if (archive.isNull()) return intact;
        for (const ZipMember& m : m_writer.members()) {
            const FFileEntryMap found = archive->find(engineText(m.name));
            if (found.size() != 1) continue;
            std::string content;
            const std::string failure =
                failureOf([&] { content = readAll(archive->open(found.begin()->second)); });
            if (failure.empty()) {
                EXPECT_EQ(content, text(m.data)) << m.name;
                ++intact;
            }
        }
        return intact;
    }

    ZipWriter m_writer;
    std::vector<uint8_t> m_original;
};

TEST_F(DamagedArchiveTest, EveryTruncation)
{
    EXPECT_EQ(readBack(m_original), 4);
    for (size_t length = 0; length < m_original.size(); ++length) {
        SCOPED_TRACE(length);
        readBack(std::vector<uint8_t>(m_original.begin(), m_original.begin() + static_cast<long>(length)));
    }
}

TEST_F(DamagedArchiveTest, EverySingleByteChange)
{
    for (size_t at = 0; at < m_original.size(); ++at) {
        SCOPED_TRACE(at);
        std::vector<uint8_t> bytes = m_original;
        bytes[at] ^= 0x5A;
        readBack(bytes);
    }
}

} // namespace
