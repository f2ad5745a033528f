#include "engine/io/IoTestSupport.h"

#include "io/FFile.h"
#include "io/FFileInStream.h"
#include "io/FFileStreambuf.h"
#include "io/FOutStream.h"

#include <gtest/gtest.h>

using namespace iotest;

namespace {

class FileTest : public IoTest
{
protected:
    FRefT<FInStream> openFile(const std::string& name) { return FFileInStream::open(engineText(name)); }
};

TEST(FFilePatternTest, MatchesFromTheEndWithoutRegardToCase)
{
    struct Case
    {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.png", "Logo.PNG", true},
        {"?.png", "a.png", true},
        {"?.png", ".png", false},
        {"?.png", "ab.png", false},
        {"a*b.txt", "axxb.txt", true},
        {"a*b.txt", "ab.txt", true},
        {"a*b.txt", "axxc.txt", false},
        {"*.lua", "main.lua", true},
        {"*.lua", "scripts/main.lua", false},
        {"scripts/*.lua", "Scripts\\Main.LUA", true},
        {"Scripts\\params.lua", "scripts/params.lua", true},
        {"Update.u*", "update.u01", true},
        {"Update.u*", "update.zip", false},
        {"main.lua", "amain.lua", false},
        {"xmain.lua", "main.lua", false},
        {"*", "readme", true},
        // A star stays inside its section.
        {"*", "main.lua", false},
        {"data/*/logo.png", "data/x/logo.png", true},
        {"", "", true},
        {"a", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FFile::matchPattern(engineText(c.pattern), engineText(c.name)), c.matches)
            << c.pattern << " / " << c.name;
}

TEST(FFilePatternTest, TwoWildcardsInOneSectionFail)
{
    RecordingErrorHandler handler;
    EXPECT_THROW(FFile::matchPattern(u"a?*.txt", u"abc.txt"), FDebug::VellumcoreException);
    ASSERT_EQ(handler.texts.size(), 1u);
    EXPECT_NE(utf8(handler.texts[0])
                  .find("Can't seek for two \"any\" in the same section"
                        "a?*.txt"),
              std::string::npos);
}

TEST_F(FileTest, OpenNeedsExactlyOneMatch)
{
    ZipWriter writer;
    writer.add("a.txt", "first");
    writer.add("b.txt", "second");
    FRefT<FFileSystem> archive = openArchive(writer);
    EXPECT_EQ(readAll(FFile::open(u"A.TXT", *archive.get())), "first");
    EXPECT_NE(failureOf([&] { FFile::open(u"c.txt", *archive.get()); }).find("No file is named: c.txt"),
              std::string::npos);
    EXPECT_NE(failureOf([&] {
                  FFile::open(u"?.txt", *archive.get());
              }).find("There are two files or more with the same file name: ?.txt"),
              std::string::npos);
}

TEST(FFileBufferTest, BufferIsSizedFromTheFile)
{
    const std::pair<int64_t, int64_t> cases[] = {
        {0, 64}, {1, 96}, {100, 192}, {40000, 40064}, {40896, 40960}, {50000, 40960},
    };
    for (const auto& [size, buffer] : cases)
        EXPECT_EQ(FFileStreambuf::bufferSizeFor(size), buffer) << size;
}

TEST_F(FileTest, WholeFileInOneRefill)
{
    const std::vector<uint8_t> bytes = sampleBytes(40896);
    writeFile("block.bin", bytes);
    FRefT<FInStream> in = openFile("block.bin");
    FInStreambuf& buffer = *in->buffer();
    EXPECT_EQ(buffer.remaining(), 40896);
    EXPECT_EQ(buffer.sgetc(), bytes[0]);
    // One refill brought the whole file.
    EXPECT_EQ(buffer.in_avail(), 40896);
    EXPECT_EQ(readAll(in), text(bytes));
    EXPECT_EQ(buffer.sgetc(), std::char_traits<char>::eof());
}

TEST_F(FileTest, ReadsAcrossRefillsKeepPutback)
{
    const std::vector<uint8_t> bytes = sampleBytes(100000, 2);
    writeFile("big.bin", bytes);
    FRefT<FInStream> in = openFile("big.bin");
    std::string head(40896, '\0');
    in->read(head.data(), 40896);
    // The next byte comes from a second refill; the bytes before it can
    // still be put back.
    EXPECT_EQ(in->get(), bytes[40896]);
    for (int i = 0; i < 65; ++i)
        ASSERT_NE(in->buffer()->sungetc(), std::char_traits<char>::eof()) << i;
    EXPECT_EQ(in->buffer()->sgetc(), bytes[40896 - 64]);
    EXPECT_EQ(readAll(in), text(bytes).substr(40896 - 64));
}

TEST_F(FileTest, SeeksAndThePutbackAfterASeek)
{
    const std::vector<uint8_t> bytes = sampleBytes(5000, 3);
    writeFile("five.bin", bytes);
    FRefT<FInStream> in = openFile("five.bin");
    FInStreambuf& buffer = *in->buffer();

    EXPECT_EQ(int64_t(buffer.pubseekpos(1000)), 1000);
    EXPECT_EQ(buffer.sgetc(), bytes[1000]);
    // The refill started 64 bytes early: exactly 64 bytes can be put back.
    for (int i = 1; i <= 64; ++i)
        ASSERT_EQ(buffer.sungetc(), bytes[1000 - i]) << i;
    EXPECT_EQ(buffer.sungetc(), std::char_traits<char>::eof());
    EXPECT_EQ(buffer.position(), 936);

    EXPECT_EQ(int64_t(buffer.pubseekoff(-10, std::ios_base::end)), 4990);
    EXPECT_EQ(buffer.sbumpc(), bytes[4990]);
    EXPECT_EQ(int64_t(buffer.pubseekoff(-3991, std::ios_base::cur)), 1000);
    EXPECT_EQ(buffer.sbumpc(), bytes[1000]);
    EXPECT_EQ(int64_t(buffer.pubseekoff(0, std::ios_base::cur)), 1001);

    struct Bad
    {
        std::streamoff off;
        std::ios_base::seekdir dir;
        const char* report;
    };
    const Bad bad[] = {
        {1, std::ios_base::end, "dir == std::ios::end, off (1) <= 0 && -off <= Inherited::m_dataSize (5000)"},
        {5001, std::ios_base::beg,
         "dir == std::ios::beg, off (5001) >= 0 && off <= Inherited::m_dataSize (5000)"},
        {-1002, std::ios_base::cur, "dir == std::ios::cur, position (1001) + off (-1002)"},
        {4000, std::ios_base::cur, "dir == std::ios::cur, position (1001) + off (4000)"},
    };
    for (const Bad& b : bad) {
        EXPECT_NE(failureOf([&] { buffer.pubseekoff(b.off, b.dir); }).find(b.report), std::string::npos)
            << b.report;
        EXPECT_EQ(buffer.position(), 1001);
    }
}

TEST_F(FileTest, MissingFileFailsToOpenForReading)
{
    const std::string failure = failureOf([&] { openFile("missing.bin"); });
    EXPECT_NE(failure.find("Could not open file missing.bin"), std::string::npos);
}

TEST_F(FileTest, WriteStreamStopsAtItsLimit)
{
    {
        FFolderFileSystem current(FFolderFileSystem::k_folderCurrent);
        std::filesystem::create_directories("saves");
        FRefT<FOutStream> out = current.create(u"saves\\limit.dat", 3);
        out->writeUInt8('a');
        out->write("bc", 2);
        EXPECT_EQ(out->buffer()->remaining(), 0);
        EXPECT_EQ(int64_t(out->buffer()->pubseekoff(-2, std::ios_base::cur)), 3);
        EXPECT_NE(failureOf([&] { out->writeUInt8('d'); }).find("Writing to file more than allowed!"),
                  std::string::npos);
    }
    EXPECT_EQ(readFile("saves/limit.dat"), "abc");

    {
        FFolderFileSystem current(FFolderFileSystem::k_folderCurrent);
        FRefT<FOutStream> out = current.create(u"block.dat", 4);
        EXPECT_NE(failureOf([&] { out->write("123456", 6); }).find("Writing to file more than allowed!"),
                  std::string::npos);
    }
    // The bytes before the limit reached the file.
    EXPECT_EQ(readFile("block.dat"), "1234");
}

} // namespace
