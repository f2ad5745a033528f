#include "engine/core/KernelTestSupport.h"

#include "io/FArchiveKeys.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct ToolRun
{
    int exitCode;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void spill(const fs::path& path, const std::string& content)
{
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

ToolRun kittool(const std::string& arguments)
{
    const std::string command = std::string(KITTOOL_PATH) + " " + arguments + " >out.bin 2>err.txt";
    const int status = std::system(command.c_str());
    // std::system answers a wait status: the exit code sits in its second
    // byte when the low seven bits (the ending signal) are zero.
    const int exitCode = (status & 0x7F) == 0 ? (status >> 8) & 0xFF : -1;
    return {exitCode, slurp("out.bin"), slurp("err.txt")};
}

class KittoolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const auto& [name, content] : m_files)
            spill(fs::path("content") / name, content);
    }

    ScratchFolder m_scratch;
    const std::vector<std::pair<std::string, std::string>> m_files = {
        {"Scripts/Main.lua", "print('hi')\n"},
        {"data/levels.txt", std::string(20000, 'l')},
        {"data/empty.bin", ""},
        {"GWTarget", std::string("\0\1\2\3", 4)},
    };
};

TEST_F(KittoolTest, PackListAndCat)
{
    const ToolRun pack = kittool("pack kit.zip content");
    ASSERT_EQ(pack.exitCode, 0) << pack.err;
    const ToolRun list = kittool("list kit.zip");
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("deflated  -                 "), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("4  scripts/main.lua\n"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("4 members"), std::string::npos);
    for (const auto& [name, content] : m_files) {
        const ToolRun cat = kittool("cat kit.zip '" + name + "'");
        EXPECT_EQ(cat.exitCode, 0) << name << cat.err;
        EXPECT_EQ(cat.out, content) << name;
    }
    // The engine's way of naming members: case and separators do not matter.
    EXPECT_EQ(kittool("cat kit.zip 'SCRIPTS\\main.LUA'").out, "print('hi')\n");
}

TEST_F(KittoolTest, ReadsSealedArchivesOfAnOrdinaryZipTool)
{
    const std::string command = "zip -q -r -P '" + std::string(k_archivePassphrase) + "' sealed.zip content";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const ToolRun list = kittool("list sealed.zip");
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("encrypted      "), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("100000  content/data/levels.txt"), std::string::npos) << list.out;
    EXPECT_EQ(kittool("cat sealed.zip content/data/levels.txt").out, std::string(20000, 'l'));
}

TEST_F(KittoolTest, ExitCodes)
{
    ZipWriter writer;
    writer.add("a.txt", "a");
    writer.add("b.txt", "b");
    writer.writeTo("two.zip");
    spill("clash/Data.txt", "1");
    spill("clash/data.TXT", "2");
    spill("notzip.zip", "plain text");
    struct Case
    {
        const char* arguments;
        int exitCode;
        const char* err;
    };
    const Case cases[] = {
        {"", 2, "usage: kittool COMMAND"},
        {"frobnicate", 2, "unknown command 'frobnicate'"},
        {"list", 2, "usage: kittool list KIT"},
        {"cat two.zip", 2, "usage: kittool cat KIT MEMBER"},
        {"pack out.zip", 2, "usage: kittool pack OUT.zip DIR"},
        {"list missing.zip", 1, "No file is named: missing.zip"},
        {"list notzip.zip", 1, "step (0) == 4"},
        {"cat two.zip c.txt", 1, "No file is named: c.txt"},
        {"cat two.zip '?.txt'", 1, "There are two files or more with the same file name"},
        {"pack out.zip nowhere", 1, "not a folder: nowhere"},
        {"pack out.zip clash", 1, "differ only in case"},
    };
    for (const Case& c : cases) {
        const ToolRun run = kittool(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.arguments << ": " << run.err;
    }
}

} // namespace
