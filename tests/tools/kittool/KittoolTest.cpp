#include "engine/core/KernelTestSupport.h"

#include "io/FArchiveKeys.h"
#include "tools/kittool/KittoolRunSupport.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun
{
    int exitCode;
    std::string out;
    std::string err;
};

void spill(const fs::path& path, const std::string& content)
{
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

ToolRun kittool(const std::string& arguments)
{
    const int exitCode = exitCodeOf(std::string(KITTOOL_PATH) + " " + arguments + " >out.bin 2>err.txt");
    return {exitCode, slurp("out.bin"), slurp("err.txt")};
}

// Folder 12's manifest with its game data and cursor picture, and any further asset lines.
std::string partTwelveManifest(const std::string& moreAssets = "")
{
    const int hint = 8 + (moreAssets.empty() ? 0 : 1);
    return "return { folder = 12, hint = " + std::to_string(hint) +
           ", class = \"LayoutPart12\",\n"
           "  assets = {\n"
           "    { id = 6650, kind = \"raw\", member = \"gameData\" },\n"
           "    { id = 6641, kind = \"image\", member = \"cursorImage\" },\n" +
           moreAssets + "  },\n}\n";
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

// A full disk is a failure, whether it shows in a write or only in the close
// (a kit's last bytes, or a listing's): the exit code and a message say so.
TEST_F(KittoolTest, AFullDiskIsAFailure)
{
    ASSERT_EQ(kittool("pack kit.zip content").exitCode, 0);
    struct Case
    {
        const char* command;
        const char* err;
    };
    const Case cases[] = {
        {"pack /dev/full content", "cannot write /dev/full: No space left on device"},
        {"list kit.zip >/dev/full", "kittool list: write error: No space left on device"},
        {"cat kit.zip data/levels.txt >/dev/full", "kittool cat: cannot write to standard output"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(exitCodeOf(std::string(KITTOOL_PATH) + " " + c.command + " 2>err.txt"), 1) << c.command;
        EXPECT_NE(slurp("err.txt").find(c.err), std::string::npos) << c.command << ": " << slurp("err.txt");
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full")) << "a failed kit is removed only when it is a file";
}

// Only what lies in the folder goes into the kit; every entry left out is
// named.
TEST_F(KittoolTest, PackKeepsToTheFolderAndNamesWhatItSkips)
{
    fs::create_symlink("/etc/hostname", "content/hostname");
    fs::create_symlink("/proc/self/environ", "content/environ");
    fs::create_symlink("../outside.txt", "content/up");
    spill("outside.txt", "secret");
    fs::create_symlink("nowhere.txt", "content/dangling");
    fs::create_symlink("levels.txt", "content/data/alias.txt");
    fs::create_directory_symlink("../data", "content/Scripts/loop");
    ASSERT_EQ(mkfifo("content/pipe", 0600), 0);

    const ToolRun pack = kittool("pack kit.zip content");
    ASSERT_EQ(pack.exitCode, 0) << pack.err;
    for (const char* line :
         {"skipped hostname: a link that leads out of the folder\n",
          "skipped environ: a link that leads out of the folder\n",
          "skipped up: a link that leads out of the folder\n",
          "skipped dangling: a link that leads nowhere\n", "skipped Scripts/loop: a link to a folder\n",
          "skipped pipe: not a regular file\n"})
        EXPECT_NE(pack.err.find(line), std::string::npos) << line << pack.err;
    EXPECT_NE(pack.out.find("packed 5 files into kit.zip (6 entries skipped)"), std::string::npos)
        << pack.out;
    const ToolRun list = kittool("list kit.zip");
    EXPECT_NE(list.out.find("5 members"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("hostname"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("environ"), std::string::npos) << list.out;
    // A link within the folder is packed as the file it leads to.
    EXPECT_EQ(kittool("cat kit.zip data/alias.txt").out, std::string(20000, 'l'));
}

// The kit may be written into the folder it packs: the last kit is left out,
// and a file of the folder is never overwritten.
TEST_F(KittoolTest, AKitInsideItsFolderIsLeftOutAndSourcesAreKept)
{
    for (int run = 0; run < 2; ++run) {
        const ToolRun pack = kittool("pack content/kit.zip content");
        ASSERT_EQ(pack.exitCode, 0) << pack.err;
        EXPECT_NE(pack.out.find("packed 4 files"), std::string::npos) << run << pack.out;
    }
    EXPECT_NE(kittool("list content/kit.zip").out.find("4 members"), std::string::npos);

    for (const char* source : {"content/data/levels.txt", "content/./GWTarget"}) {
        const ToolRun pack = kittool(std::string("pack ") + source + " content");
        EXPECT_EQ(pack.exitCode, 1) << source;
        EXPECT_NE(pack.err.find("refusing to overwrite"), std::string::npos) << pack.err;
    }
    EXPECT_EQ(slurp("content/data/levels.txt"), std::string(20000, 'l'));
    EXPECT_EQ(slurp("content/GWTarget"), std::string("\0\1\2\3", 4));
}

// A large file is streamed: packing it needs far less memory than the file.
TEST_F(KittoolTest, LargeFilesArePackedWithinLittleMemory)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "sanitizers reserve more address space than the limit allows";
#endif
    constexpr std::size_t k_size = 96u << 20;
    {
        std::ofstream big("content/big.bin", std::ios::binary);
        std::string line;
        for (int i = 0; i < 64; ++i)
            line += static_cast<char>('a' + (i * 7) % 26);
        for (std::size_t written = 0; written < k_size; written += line.size())
            big << line;
    }
    // 80 MiB of address space: less than the file, so a copy of it in memory
    // cannot fit.
    const std::string command =
        "ulimit -v 81920; " + std::string(KITTOOL_PATH) + " pack kit.zip content >out.bin 2>err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << slurp("err.txt");
    const ToolRun list = kittool("list kit.zip");
    EXPECT_NE(list.out.find(std::to_string(k_size) + "        4  big.bin"), std::string::npos) << list.out;
    fs::remove("content/big.bin");
}

} // namespace

TEST_F(KittoolTest, BuildMakesTheSameMainKitFromTheSameSources)
{
    spill("demo/GWTarget.txt", "Demo Title\r\nignored second line\n");
    spill("demo/Scripts/params.lua", "WrongHitCounter = 3\n");
    spill("demo/Scripts/more/extra.lua", "x = 1\n");
    spill("demo/notes.txt", "not part of the kit\n");

    const ToolRun first = kittool("build demo out1");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const ToolRun second = kittool("build demo out2");
    ASSERT_EQ(second.exitCode, 0) << second.err;
    const std::string kit = slurp("out1/Zibbo.zip");
    EXPECT_EQ(kit, slurp("out2/Zibbo.zip"));
    EXPECT_FALSE(fs::exists("out1/Zibbo.zip.part"));

    const ToolRun list = kittool("list out1/Zibbo.zip");
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("3 members"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("notes.txt"), std::string::npos) << list.out;
    EXPECT_EQ(kittool("cat out1/Zibbo.zip Scripts/more/extra.lua").out, "x = 1\n");
    // The target file carries the first line only.
    const std::string target = kittool("cat out1/Zibbo.zip GWTarget").out;
    EXPECT_NE(target.find("Demo Title"), std::string::npos);
    EXPECT_EQ(target.find("ignored"), std::string::npos);
}

TEST_F(KittoolTest, BuildRefusesContentWithoutATargetAndKeepsTheOldKit)
{
    spill("demo/GWTarget.txt", "Demo\n");
    ASSERT_EQ(kittool("build demo out").exitCode, 0);
    const std::string kit = slurp("out/Zibbo.zip");
    spill("demo/GWTarget.txt", "\n");
    const ToolRun empty = kittool("build demo out");
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.err.find("names no application"), std::string::npos) << empty.err;
    EXPECT_EQ(slurp("out/Zibbo.zip"), kit);
    EXPECT_EQ(kittool("build missing out").exitCode, 1);
    EXPECT_EQ(kittool("build demo").exitCode, 2);
}

TEST_F(KittoolTest, BuildPacksEveryManifestFolderAndTheGeneratedGameData)
{
    spill("demo/GWTarget.txt", "Demo\n");
    spill("demo/screens/012.lua", partTwelveManifest());
    spill("data/gamedata.xml", "<GameStructure/>\n");

    const ToolRun built = kittool("build demo out data");
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_NE(built.out.find("folder 012: 2 assets, 0 texts"), std::string::npos) << built.out;
    EXPECT_NE(built.out.find("4 members, 1 folders"), std::string::npos) << built.out;
    const ToolRun list = kittool("list out/Zibbo.zip");
    for (const char* member : {"012/gwscreen", "012/006641_0.png", "012/006650_0.xml"})
        EXPECT_NE(list.out.find(member), std::string::npos) << member << "\n" << list.out;
    EXPECT_EQ(kittool("cat out/Zibbo.zip 012/006650_0.xml").out, "<GameStructure/>\n");
    // The picture was drawn from its demo recipe: a real picture, not the placeholder pixel.
    const ToolRun picture = kittool("cat out/Zibbo.zip 012/006641_0.png");
    EXPECT_GT(picture.out.size(), 200u);
    EXPECT_NE(built.out.find("media: 1 made, 0 from the cache"), std::string::npos) << built.out;

    // A second build with no input changed does nothing: the kit is not written again.
    const std::string kit = slurp("out/Zibbo.zip");
    const auto written = fs::last_write_time("out/Zibbo.zip");
    const ToolRun same = kittool("build demo out data");
    ASSERT_EQ(same.exitCode, 0) << same.err;
    EXPECT_NE(same.out.find("is up to date"), std::string::npos) << same.out;
    EXPECT_EQ(fs::last_write_time("out/Zibbo.zip"), written);
    // A changed input (a script, the game data) makes the kit again; the unchanged recipe's
    // media come from the cache and the same sources give the same bytes.
    spill("demo/Scripts/extra.lua", "y = 2\n");
    const ToolRun again = kittool("build demo out data");
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("media: 0 made, 1 from the cache"), std::string::npos) << again.out;
    EXPECT_EQ(kittool("cat out/Zibbo.zip Scripts/extra.lua").out, "y = 2\n");
    fs::remove("demo/Scripts/extra.lua");
    spill("data/gamedata.xml", "<GameStructure version=\"2\"/>\n");
    const ToolRun newData = kittool("build demo out data");
    ASSERT_EQ(newData.exitCode, 0) << newData.err;
    EXPECT_NE(newData.out.find("media: 0 made, 1 from the cache"), std::string::npos) << newData.out;
    EXPECT_EQ(kittool("cat out/Zibbo.zip 012/006650_0.xml").out, "<GameStructure version=\"2\"/>\n");
    spill("data/gamedata.xml", "<GameStructure/>\n");
    ASSERT_EQ(kittool("build demo out data").exitCode, 0);
    EXPECT_EQ(slurp("out/Zibbo.zip"), kit);
    const ToolRun screen = kittool("screen out/Zibbo.zip 12");
    EXPECT_EQ(screen.exitCode, 0) << screen.err;

    // Without the game data's folder the asset keeps a placeholder.
    ASSERT_EQ(kittool("build demo out2").exitCode, 0);
    EXPECT_NE(kittool("list out2/Zibbo.zip").out.find("012/006650_0.dat"), std::string::npos);
    // A damaged manifest fails the build and names itself.
    spill("demo/screens/012.lua", "return { folder = 12, hint = 8, class = \"LayoutPart12\", assets = {\n"
                                  "  { id = 6650, kind = \"rubbish\", member = \"gameData\" } } }\n");
    const ToolRun damaged = kittool("build demo out data");
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_NE(damaged.err.find("012.lua"), std::string::npos) << damaged.err;
}

TEST_F(KittoolTest, BuildsOfSeveralFoldersShareOneRecipeCache)
{
    spill("demo/GWTarget.txt", "Demo\n");
    spill("demo/screens/012.lua", partTwelveManifest());
    const ToolRun first = kittool("build demo out1 --cache shared");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("media: 1 made, 0 from the cache"), std::string::npos) << first.out;
    EXPECT_FALSE(fs::exists("out1/recipe-cache"));
    const ToolRun second = kittool("build demo out2 --cache shared");
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.out.find("media: 0 made, 1 from the cache"), std::string::npos) << second.out;
    EXPECT_EQ(slurp("out1/Zibbo.zip"), slurp("out2/Zibbo.zip"));
    EXPECT_EQ(kittool("build demo out3 --cache").exitCode, 2);
}

TEST_F(KittoolTest, ValidateDecodesEveryAssetAndNamesWhatIsBroken)
{
    spill("demo/GWTarget.txt", "Demo\n");
    spill("demo/screens/012.lua", partTwelveManifest());
    ASSERT_EQ(kittool("build demo out").exitCode, 0);
    const ToolRun valid = kittool("validate out/Zibbo.zip demo");
    ASSERT_EQ(valid.exitCode, 0) << valid.err;
    EXPECT_NE(valid.out.find("decoded .png: 1"), std::string::npos) << valid.out;
    // A kind without media of its own is listed, not passed as decoded.
    EXPECT_NE(valid.out.find("raw (placeholder .dat): 1"), std::string::npos) << valid.out;

    struct Case
    {
        const char* what;
        std::string picture;  // the image member's bytes; empty: the member is left out
        const char* expected; // in the failure text
    };
    const std::string screen = kittool("cat out/Zibbo.zip 012/GWScreen").out;
    const std::string data = kittool("cat out/Zibbo.zip 012/006650_0.dat").out;
    const std::vector<Case> cases = {
        {"a picture that does not decode", std::string(300, 'x'),
         "folder 12, asset 6641, key 'cursorImage': member 012/006641_0.png"},
        {"a missing member", "", "folder 12, asset 6641, key 'cursorImage': the kit holds no member"},
    };
    for (const Case& c : cases) {
        ZipWriter kit;
        kit.add("012/GWScreen", std::vector<uint8_t>(screen.begin(), screen.end()));
        kit.add("012/006650_0.dat", std::vector<uint8_t>(data.begin(), data.end()));
        if (!c.picture.empty())
            kit.add("012/006641_0.png", std::vector<uint8_t>(c.picture.begin(), c.picture.end()));
        spill("broken.zip", kit.build());
        const ToolRun broken = kittool("validate broken.zip demo");
        EXPECT_EQ(broken.exitCode, 1) << c.what;
        EXPECT_NE(broken.err.find(c.expected), std::string::npos) << c.what << "\n" << broken.err;
    }

    // A manifest that the kit's screen file does not match names the id it misses.
    spill("demo/screens/012.lua",
          partTwelveManifest("    { id = 6642, kind = \"image\", member = \"pointerImage\" },\n"));
    const ToolRun stale = kittool("validate out/Zibbo.zip demo");
    EXPECT_EQ(stale.exitCode, 1);
    EXPECT_NE(stale.err.find("folder 12, asset 6642"), std::string::npos) << stale.err;
}

// A kit is replaceable content: validate catches what would stop the game at
// start, a target file it cannot read and tuning values past their bounds.
TEST_F(KittoolTest, ValidateReadsTheTargetAndRunsTheScriptsWithinTheirBounds)
{
    spill("demo/GWTarget.txt", "Demo\n");
    spill("demo/screens/012.lua", partTwelveManifest());
    spill("demo/Scripts/params.lua", "WrongHitCounter = 3\n");
    ASSERT_EQ(kittool("build demo out").exitCode, 0);
    const ToolRun valid = kittool("validate out/Zibbo.zip demo");
    ASSERT_EQ(valid.exitCode, 0) << valid.err;
    EXPECT_NE(valid.out.find("scripts run within their bounds: 1"), std::string::npos) << valid.out;

    const char* const members[] = {"012/GWScreen", "012/006650_0.dat", "012/006641_0.png"};
    struct Case
    {
        const char* what;
        std::optional<std::string> target; // none: left out
        std::string params;
        std::vector<std::string> expected; // in the failure text
    };
    const std::string target = kittool("cat out/Zibbo.zip GWTarget").out;
    const std::string params = "WrongHitCounter = 3\n";
    const std::vector<Case> cases = {
        {"no target",
         std::nullopt,
         params,
         {"the kit holds no GWTarget: a file required by the application is missing"}},
        {"a damaged target", target.substr(0, 7), params, {"GWTarget is damaged"}},
        {"a target of a length past the file",
         target.substr(0, 5) + std::string("\xff\xff\0\0", 4),
         params,
         {"GWTarget is damaged"}},
        {"a script past its memory",
         target,
         "string.rep('x', 2^30)\n" + params,
         {"Scripts/params.lua does not run", "past the script's memory limit"}},
        {"a script past its steps",
         target,
         "string.find(string.rep('a', 400), string.rep('.-', 4)..'b')\n" + params,
         {"Scripts/params.lua does not run", "the script ran past its budget of instructions"}},
        {"a script that fails", target, "error('broken')\n", {"Scripts/params.lua does not run", "broken"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZipWriter kit;
        for (const char* member : members) {
            const std::string bytes = kittool(std::string("cat out/Zibbo.zip ") + member).out;
            kit.add(member, std::vector<uint8_t>(bytes.begin(), bytes.end()));
        }
        if (c.target) kit.add("GWTarget", std::vector<uint8_t>(c.target->begin(), c.target->end()));
        kit.add("Scripts/params.lua", std::vector<uint8_t>(c.params.begin(), c.params.end()));
        spill("broken.zip", kit.build());
        const ToolRun broken = kittool("validate broken.zip demo");
        EXPECT_EQ(broken.exitCode, 1);
        for (const std::string& text : c.expected)
            EXPECT_NE(broken.err.find(text), std::string::npos) << broken.err;
    }
}

// Building `demo` with `manifest` as folder 12's must fail with every text of
// `expected` in its report.
void expectBrokenBuild(const std::string& what, const std::string& manifest,
                       const std::vector<std::string>& expected)
{
    spill("demo/screens/012.lua", manifest);
    const ToolRun broken = kittool("build demo out");
    EXPECT_EQ(broken.exitCode, 1) << what;
    for (const std::string& text : expected)
        EXPECT_NE(broken.err.find(text), std::string::npos) << what << "\n" << broken.err;
}

uint32_t bigEndianAt(const std::string& bytes, std::size_t offset)
{
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(offset + i));
    return value;
}

// A PNG's width and height from its header.
std::pair<uint32_t, uint32_t> pngSize(const std::string& png)
{
    return {bigEndianAt(png, 16), bigEndianAt(png, 20)};
}

TEST_F(KittoolTest, BuildMakesAnAssetFromItsManifestRecipeAndNamesABrokenOne)
{
    spill("demo/GWTarget.txt", "Demo\n");
    auto withRecipe = [](const std::string& recipe) {
        return partTwelveManifest(
            "    { id = 6642, kind = \"image\", member = \"pointerImage\", recipe = " + recipe + " },\n");
    };
    spill("demo/screens/012.lua", withRecipe("{ kind = \"panel\", w = 40, h = 30, palette = \"snow\" }"));
    const ToolRun built = kittool("build demo out");
    ASSERT_EQ(built.exitCode, 0) << built.err;
    // The manifest's recipe decides the picture; the demo design would draw a 96 x 96 panel.
    EXPECT_EQ(pngSize(kittool("cat out/Zibbo.zip 012/006642_0.png").out), std::make_pair(40u, 30u));
    const ToolRun valid = kittool("validate out/Zibbo.zip demo");
    EXPECT_EQ(valid.exitCode, 0) << valid.err;
    EXPECT_NE(valid.out.find("decoded .png: 2"), std::string::npos) << valid.out;

    struct Case
    {
        const char* what;
        const char* recipe;
        const char* expected; // in the failure text, after the folder and the asset
    };
    const std::vector<Case> cases = {
        {"a size out of range", "{ kind = \"panel\", w = -5, h = 30 }", "key 'w'"},
        {"an unknown kind", "{ kind = \"sculpture\", w = 5, h = 5 }", "key 'kind'"},
        {"an unknown palette", "{ kind = \"panel\", w = 5, h = 5, palette = \"mars\" }", "key 'palette'"},
        {"a value no recipe holds", "{ kind = \"panel\", w = 5, h = 5, label = function() end }",
         "key 'label'"},
        {"not a table", "\"panel\"", "key 'recipe'"},
        {"a sound for a picture", "{ kind = \"effect\", effect = \"click\" }", "no image asset loads"},
    };
    for (const Case& c : cases)
        expectBrokenBuild(c.what, withRecipe(c.recipe), {"folder 12, asset 6642", c.expected});
}

// Folder 12 with two button pictures and a skin made of them (`skin`, the skin's recipe).
std::string skinManifest(const std::string& skin)
{
    return "return { folder = 12, hint = 12, class = \"LayoutPart12\",\n"
           "  assets = {\n"
           "    { id = 6650, kind = \"raw\", member = \"gameData\" },\n"
           "    { id = 6641, kind = \"image\", member = \"cursorImage\" },\n"
           "    { id = 6642, kind = \"image\", member = \"upImage\",\n"
           "      recipe = { kind = \"button\", w = 60, h = 20, state = \"normal\" } },\n"
           "    { id = 6643, kind = \"image\", member = \"downImage\",\n"
           "      recipe = { kind = \"button\", w = 60, h = 20, state = \"pressed\" } },\n"
           "    { id = 6644, kind = \"image\", member = \"squareImage\",\n"
           "      recipe = { kind = \"button\", w = 20, h = 20, state = \"disabled\" } },\n"
           "    { id = 6645, kind = \"skin\", member = \"buttonSkin\", recipe = " +
           skin + " },\n  },\n}\n";
}

TEST_F(KittoolTest, ASkinNamesThePartsOfItsRecipeInTheScreenFile)
{
    spill("demo/GWTarget.txt", "Demo\n");
    spill("demo/screens/012.lua",
          skinManifest("{ kind = \"skin\", normal = 6642, hover = 6642, pressed = 6643, "
                       "disabled = 6642, insets = { 6, 4, 6, 4 }, text = { 250, 250, 250 } }"));
    const ToolRun built = kittool("build demo out");
    ASSERT_EQ(built.exitCode, 0) << built.err;
    // The validator reads the skin back through the engine and finds the parts its recipe names.
    const ToolRun valid = kittool("validate out/Zibbo.zip demo");
    EXPECT_EQ(valid.exitCode, 0) << valid.err;
    EXPECT_NE(valid.out.find("decoded skin (its parts): 1"), std::string::npos) << valid.out;
    EXPECT_NE(valid.out.find("decoded .png: 4"), std::string::npos) << valid.out;

    struct Case
    {
        const char* what;
        const char* skin;
        const char* expected; // after "folder 12, asset 6645, " in the failure text
    };
    const std::vector<Case> cases = {
        {"a part the folder lacks", "{ kind = \"skin\", normal = 6642, pressed = 7000 }",
         "key 'pressed': 7000 is no asset"},
        {"a part of another kind", "{ kind = \"skin\", normal = 6650 }",
         "key 'normal': 6650 is no image asset"},
        {"a sound that is a picture", "{ kind = \"skin\", normal = 6642, sound = 6643 }",
         "key 'sound': 6643 is no sample asset"},
        {"a key no skin has", "{ kind = \"skin\", normal = 6642, colour = 3 }", "key 'colour'"},
        {"three insets", "{ kind = \"skin\", normal = 6642, insets = { 1, 2, 3 } }", "key 'insets'"},
        {"a picture's recipe", "{ kind = \"panel\", w = 20, h = 20 }", "key 'kind'"},
        // A wide button would draw its disabled state torn.
        {"a face of another size", "{ kind = \"skin\", normal = 6642, pressed = 6643, disabled = 6644 }",
         "key 'disabled': face 6644 is 20x20 while the normal face is 60x20"},
    };
    for (const Case& c : cases)
        expectBrokenBuild(c.what, skinManifest(c.skin),
                          {std::string("folder 12, asset 6645, ") + c.expected});
}

// World 1's scene with its 96 background tiles and two animations, each
// drawn from a small recipe of its own so that the kit builds in a moment.
std::string smallWorldManifest()
{
    std::string text =
        "return { folder = 36, hint = 109, class = \"World01SceneLayout\", world = 1,\n  assets = {\n";
    for (int tile = 1; tile <= 96; ++tile) {
        char line[160];
        std::snprintf(line, sizeof line,
                      "    { id = %d, kind = \"image\", table = \"BG\", key = \"World01BG%02d\", "
                      "recipe = { kind = \"panel\", w = 25, h = 25 } },\n",
                      20000 + tile, tile);
        text += line;
    }
    for (int anim = 1; anim <= 2; ++anim)
        text += "    { id = " + std::to_string(20200 + anim) +
                ", kind = \"image\", table = \"Anim\", key = \"World01Anim0" + std::to_string(anim) +
                "\", recipe = { kind = \"panel\", w = 16, h = 16 } },\n";
    return text + "  },\n}\n";
}

std::string animationTable(const std::vector<std::string>& names)
{
    std::string records;
    for (std::size_t i = 0; i < names.size(); ++i)
        records += "<_" + std::to_string(i) + "><IsUsed>1</IsUsed><Top>10</Top><Left>20</Left>" +
                   "<IsLooping>1</IsLooping><Name>" + names[i] + "</Name><Sound></Sound></_" +
                   std::to_string(i) + ">";
    return "<root><World0><Anims count=\"" + std::to_string(names.size()) + "\">" + records +
           "</Anims></World0></root>\n";
}

TEST_F(KittoolTest, ValidateChecksThatEveryAnimationRecordNamesAnAnimationOfItsWorld)
{
    spill("demo/GWTarget.txt", "Demo\n");
    spill("demo/screens/012.lua",
          partTwelveManifest("    { id = 6644, kind = \"raw\", member = \"animationTable\" },\n"));
    spill("demo/worlds/036.lua", smallWorldManifest());
    spill("data/gamedata.xml", "<GameStructure/>\n");

    struct Case
    {
        const char* what;
        std::string table;
        bool valid;
        const char* expected; // in the output when valid, else in the failure text
    };
    const std::vector<Case> cases = {
        {"every record names an animation", animationTable({"World01Anim02", "World01Anim01"}), true,
         "animation records naming their world's animations: 2"},
        {"a record names an animation the world lacks", animationTable({"World01Anim01", "World01Anim03"}),
         false,
         "section World0, record 1: the animation 'World01Anim03' is not in the Anim table of manifest "
         "036.lua"},
        {"names are compared case by case", animationTable({"world01anim01"}), false, "'world01anim01'"},
        {"the world's section is missing", "<root><World5/></root>\n", false, "member 012/006644_0.xml"},
    };
    for (const Case& c : cases) {
        spill("data/animations.xml", c.table);
        const ToolRun built = kittool("build demo out data");
        ASSERT_EQ(built.exitCode, 0) << c.what << "\n" << built.err;
        const ToolRun checked = kittool("validate out/Zibbo.zip demo");
        if (c.valid) {
            EXPECT_EQ(checked.exitCode, 0) << c.what << "\n" << checked.err;
            EXPECT_NE(checked.out.find(c.expected), std::string::npos) << c.what << "\n" << checked.out;
            continue;
        }
        EXPECT_EQ(checked.exitCode, 1) << c.what;
        EXPECT_NE(checked.err.find("folder 12, asset 6644, key 'animationTable'"), std::string::npos)
            << c.what << "\n"
            << checked.err;
        EXPECT_NE(checked.err.find(c.expected), std::string::npos) << c.what << "\n" << checked.err;
    }
}

// The hidden items of one search must neither cover each other nor look alike.
TEST_F(KittoolTest, TheHiddenItemsOfATableLieApartAndEachShowsItsOwnThing)
{
    constexpr int k_items = 14;
    std::string manifest = "return { folder = 36, hint = 109, class = \"World01SceneLayout\", world = 1,\n"
                           "  assets = {\n";
    for (int item = 1; item <= k_items; ++item) {
        char line[200];
        std::snprintf(
            line, sizeof line,
            "    { id = %d, kind = \"image\", table = \"Picture\", key = \"World01Picture%02d\" },\n"
            "    { id = %d, kind = \"image\", table = \"Picture\", key = \"World01Picture%02dPanel\" },\n",
            20000 + 2 * item, item, 20001 + 2 * item, item);
        manifest += line;
    }
    spill("demo/GWTarget.txt", "Demo\n");
    spill("demo/worlds/036.lua", manifest + "  },\n}\n");
    const ToolRun built = kittool("build demo out");
    ASSERT_EQ(built.exitCode, 0) << built.err;

    struct Box
    {
        int32_t x, y, w, h;
    };
    std::vector<Box> boxes;
    std::set<std::string> panels;
    for (int item = 1; item <= k_items; ++item) {
        char name[40];
        std::snprintf(name, sizeof name, "036/%06d_0.png", 20000 + 2 * item);
        const std::string picture = kittool(std::string("cat out/Zibbo.zip ") + name).out;
        ASSERT_GT(picture.size(), 40u) << name;
        // The placement trailer ends the file: the offset in the scene, then the scene's size.
        auto at = [&](std::size_t back) {
            return static_cast<int32_t>(bigEndianAt(picture, picture.size() - back));
        };
        const auto [w, h] = pngSize(picture);
        boxes.push_back({at(16), at(12), static_cast<int32_t>(w), static_cast<int32_t>(h)});
        std::snprintf(name, sizeof name, "036/%06d_0.png", 20001 + 2 * item);
        panels.insert(kittool(std::string("cat out/Zibbo.zip ") + name).out);
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box& a = boxes[i];
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.w <= 2400 && a.y + a.h <= 1600) << "item " << i + 1;
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box& b = boxes[j];
            const bool apart = a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
            EXPECT_TRUE(apart) << "items " << i + 1 << " and " << j + 1 << " overlap";
        }
    }
    EXPECT_EQ(panels.size(), static_cast<std::size_t>(k_items)) << "two items show the same thing";
}

TEST_F(KittoolTest, PreviewPicturesGoBesideTheKitNotIntoIt)
{
    spill("demo/GWTarget.txt", "Demo\n");
    spill("demo/screens/012.lua", partTwelveManifest());
    ASSERT_EQ(kittool("build demo plain").exitCode, 0);
    const ToolRun built = kittool("build demo out --preview");
    ASSERT_EQ(built.exitCode, 0) << built.err;
    const std::string sheet = slurp("out/preview/folder012.png");
    ASSERT_GT(sheet.size(), 8u);
    EXPECT_EQ(sheet.substr(1, 3), "PNG");
    EXPECT_EQ(slurp("out/Zibbo.zip"), slurp("plain/Zibbo.zip"));
    EXPECT_EQ(kittool("build demo out --preview extra more").exitCode, 2);
}
