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

    void zip(const std::string& arguments)
    {
        const std::string command = "zip -q -r -X " + arguments + " >zip.log 2>&1";
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
