#include "engine/io/IoTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

using namespace iotest;
namespace fs = std::filesystem;

namespace {

// Archives made by an ordinary zip tool (Debian's `zip`) read member for
// member like the files they were made from.
class ZipToolTest : public IoTest
{
protected:
    void SetUp() override
    {
        m_files = {
            {"tree/readme.txt", text(sampleBytes(5000, 1))},
            {"tree/Scripts/Main.lua", "print('hello')\n"},
            {"tree/data/empty.bin", ""},
            {"tree/data/noise.bin", noise(70000)},
            {"tree/data/Big.TXT", text(sampleBytes(1500000, 2))},
        };
        for (const auto& [name, content] : m_files)
            writeFile(name, content);
    }

    static std::string noise(size_t size)
    {
        std::string bytes(size, '\0');
        uint32_t state = 12345;
        for (char& byte : bytes) {
            state = state * 1103515245u + 12345u;
            byte = static_cast<char>(state >> 23);
        }
        return bytes;
    }

    // `-X` leaves out the extra fields of file attributes; without it the
    // local headers carry longer extra fields than the central directory.
    void zip(const std::string& arguments, bool plainExtras = true)
    {
        const std::string command =
            std::string("zip -q -r ") + (plainExtras ? "-X " : "") + arguments + " >zip.log 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command << "\n" << readFile("zip.log");
    }

    void expectMembers(const FRefT<FFileSystem>& archive, bool sealed)
    {
        ASSERT_FALSE(archive.isNull());
        for (const auto& [name, content] : m_files) {
            SCOPED_TRACE(name);
            const FFileEntryMap found = archive->find(engineText(name));
            ASSERT_EQ(found.size(), 1u);
            EXPECT_EQ(found.begin()->second->plain(), !sealed);
            EXPECT_TRUE(readAll(archive->open(found.begin()->second)) == content);
        }
    }

    std::map<std::string, std::string> m_files;
};

TEST_F(ZipToolTest, DeflatedStoredAndSealedArchives)
{
    zip("deflated.zip tree");
    zip("-0 stored.zip tree");
    zip("-P '" + std::string(k_archivePassphrase) + "' sealed.zip tree");
    expectMembers(openArchive(fs::path("deflated.zip")), false);
    expectMembers(openArchive(fs::path("stored.zip")), false);
    expectMembers(openArchive(fs::path("sealed.zip")), true);
    EXPECT_TRUE(handler.texts.empty()) << utf8(handler.texts.front());
}

// The extra-field lengths of the first member: in its local header and in
// its central directory entry.
std::pair<uint16_t, uint16_t> firstExtraLengths(const std::string& archive)
{
    const auto at16 = [&](size_t offset) {
        return static_cast<uint16_t>(static_cast<uint8_t>(archive[offset]) |
                                     static_cast<uint8_t>(archive[offset + 1]) << 8);
    };
    const size_t central = archive.find(std::string("PK\x01\x02", 4));
    if (archive.compare(0, 4, std::string("PK\x03\x04", 4)) != 0 || central == std::string::npos)
        return {0, 0};
    return {at16(28), at16(central + 30)};
}

// As the zip tool writes archives by default: local extra fields that differ
// from the central ones, which the reader must step over by the local length.
TEST_F(ZipToolTest, LocalExtraFieldsDifferingFromTheCentralOnes)
{
    zip("deflated.zip tree", false);
    zip("-0 stored.zip tree", false);
    zip("-P '" + std::string(k_archivePassphrase) + "' sealed.zip tree", false);
    for (const char* name : {"deflated.zip", "stored.zip", "sealed.zip"}) {
        SCOPED_TRACE(name);
        const auto [local, central] = firstExtraLengths(readFile(name));
        ASSERT_NE(local, central) << "the fixture must show the difference";
        expectMembers(openArchive(fs::path(name)), std::string(name) == "sealed.zip");
    }
    EXPECT_TRUE(handler.texts.empty()) << utf8(handler.texts.front());
}

TEST_F(ZipToolTest, ArchiveBehindOtherData)
{
    zip("inner.zip tree");
    std::string prefixed = std::string(4321, '#') + readFile("inner.zip");
    writeFile("unadjusted.zip", prefixed);
    writeFile("adjusted.zip", prefixed);
    ASSERT_EQ(std::system("zip -q -A adjusted.zip >zip.log 2>&1"), 0) << readFile("zip.log");
    expectMembers(openArchive(fs::path("unadjusted.zip")), false);
    expectMembers(openArchive(fs::path("adjusted.zip")), false);
}

TEST_F(ZipToolTest, ArchiveWithComment)
{
    zip("commented.zip tree");
    writeFile("comment.txt", std::string(1000, 'c'));
    ASSERT_EQ(std::system("zip -q -z commented.zip <comment.txt >zip.log 2>&1"), 0) << readFile("zip.log");
    expectMembers(openArchive(fs::path("commented.zip")), false);
}

} // namespace
