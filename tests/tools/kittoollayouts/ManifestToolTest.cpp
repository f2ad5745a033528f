// kittool layouts, screenfile and manifests run as programs: the game's
// manifests pass the check, broken ones are refused with a message that
// names folder, id and key, and a written screen file reads back through
// `kittool screen`.
#include "tools/kittool/KittoolRunSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

class ManifestToolTest : public ::testing::Test
{
protected:
    ManifestToolTest()
    {
        std::random_device seed;
        m_scratch = fs::temp_directory_path() / ("zibbo-manifests-" + std::to_string(seed()));
        fs::create_directories(m_scratch);
    }
    ~ManifestToolTest() override
    {
        std::error_code ignored;
        fs::remove_all(m_scratch, ignored);
    }

    // Runs kittool with the arguments; its exit code, output in `output`.
    int kittool(const std::string& arguments)
    {
        const fs::path out = m_scratch / "output.txt";
        const int code =
            exitCodeOf(std::string(KITTOOL_PATH) + " " + arguments + " > " + out.string() + " 2>&1");
        output = slurp(out);
        return code;
    }

    fs::path m_scratch;
    std::string output;
};

TEST_F(ManifestToolTest, GameManifestsPassTheCheck)
{
    ASSERT_EQ(kittool("manifests " SCREEN_MANIFESTS), 0) << output;
    // Every "NNN.lua" of the folder is checked.
    int manifests = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(SCREEN_MANIFESTS)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 7 && name.substr(3) == ".lua") ++manifests;
    }
    EXPECT_GE(manifests, 12);
    EXPECT_NE(output.find(std::to_string(manifests) + " screen manifests checked"), std::string::npos)
        << output;
}

TEST_F(ManifestToolTest, BrokenFixtureIsRefusedNamingFolderIdAndKey)
{
    EXPECT_EQ(kittool("manifests " BROKEN_MANIFESTS), 1);
    EXPECT_NE(output.find("manifest 044.lua, folder 44, asset 4402, key 'id': listed twice in the asset map"),
              std::string::npos)
        << output;
}

// Each case changes one line of a valid manifest and names what the check says.
TEST_F(ManifestToolTest, ChecksRefuseEachKindOfFault)
{
    const std::string head = "return { folder = 45, class = \"ScreenLayout45\", base = \"FScreen\",\n";
    const std::string widget =
        "{ id = 0x10, type = 0x6187C023, member = \"label\", parent = 0, rect = { 0, 0, 9, 9 }";
    struct Case
    {
        const char* name;
        std::string body;
        const char* message;
    };
    const Case cases[] = {
        {"part hint",
         "return { folder = 45, hint = 8, class = \"LayoutPart45\", assets = { { id = 1, kind = \"image\", "
         "member = \"a\" } } }",
         "folder 45, the folder, key 'hint': 8 is not six more than the 1 ids held"},
        {"unknown kind", head + "hint = 9, assets = { { id = 7, kind = \"picture\", member = \"a\" } } }",
         "folder 45, asset 7, key 'kind': unknown kind 'picture'"},
        {"missing kind", head + "hint = 9, assets = { { id = 7, member = \"a\" } } }",
         "folder 45, asset 7, key 'kind': a string expected"},
        {"unknown type",
         head + "hint = 9, widgets = { { id = 0x10, type = 0x12345678, member = \"w\", rect = { 0, 0, 1, 1 } "
                "} } }",
         "folder 45, widget 0x00000010, key 'type': unknown type code 0x12345678"},
        {"duplicate text",
         head + "hint = 9, texts = { { id = 3, member = \"a\", strings = { \"A\" } }, { id = 3, member = "
                "\"b\", strings = { \"B\" } } } }",
         "folder 45, text 3, key 'id': listed twice in the text map"},
        {"duplicate widget", head + "hint = 9, widgets = { " + widget + " }, " + widget + " } } }",
         "folder 45, widget 0x00000010, key 'id': listed twice in the widget map"},
        {"label text absent", head + "hint = 9, widgets = { " + widget + ", text = 5 } } }",
         "folder 45, widget 0x00000010, key 'text': 5 is no text of the manifest"},
        {"wired label",
         head + "hint = 9, widgets = { " + widget +
             " } }, buttons = { { widget = 0x10, handler = \"onClick\" } } }",
         "folder 45, button 0x00000010, key 'widget': not a button"},
        {"screen hint", head + "hint = 0, widgets = { " + widget + " } } }",
         "folder 45, the folder, key 'hint': 0 is less than the 1 ids held"},
        {"base header",
         "return { folder = 45, hint = 0, class = \"ScreenLayout45\", base = \"CommonScreen\" }",
         "folder 45, the class, key 'baseHeader': the main base CommonScreen needs its header"},
        {"missing part", head + "hint = 9, parts = { 46 } }",
         "folder 45, the class, key 'parts': folder 46 has no manifest"},
        {"list of an absent widget",
         head + "hint = 9, widgets = { " + widget +
             " } }, lists = { { member = \"all\", widgets = { 0x10, 0x11 } } } }",
         "folder 45, list all, key 'widgets': 0x00000011 is no widget of the manifest"},
        {"list named as a widget",
         head + "hint = 9, widgets = { " + widget +
             " } }, lists = { { member = \"label\", widgets = { 0x10 } } } }",
         "folder 45, list label, key 'member': 'label' is used twice"},
        {"sample filed in an undeclared map",
         head +
             "hint = 9, nameMaps = { \"voices\" }, assets = { { id = 7, kind = \"sample\", member = \"a\", "
             "map = \"lines\", name = \"Line01\" } } }",
         "folder 45, asset 7, key 'map': 'lines' is none of the manifest's nameMaps"},
        {"picture filed by name",
         head + "hint = 9, nameMaps = { \"voices\" }, assets = { { id = 7, kind = \"image\", member = \"a\", "
                "map = \"voices\", name = \"Line01\" } } }",
         "folder 45, asset 7, key 'map': only samples are filed by name"},
        {"name filed twice",
         head +
             "hint = 9, nameMaps = { \"voices\" }, assets = { { id = 7, kind = \"sample\", member = \"a\", "
             "map = \"voices\", name = \"Line01\" }, { id = 8, kind = \"sample\", member = \"b\", map = "
             "\"voices\", name = \"Line01\" } } }",
         "folder 45, asset 8, key 'name': 'Line01' is filed twice in voices"},
        {"name map named as an asset",
         head +
             "hint = 9, nameMaps = { \"a\" }, assets = { { id = 7, kind = \"sample\", member = \"a\" } } }",
         "folder 45, name map a, key 'member': 'a' is used twice"},
    };
    for (const Case& c : cases) {
        const fs::path folder = m_scratch / c.name;
        spill(folder / "045.lua", std::vector<uint8_t>(c.body.begin(), c.body.end()));
        EXPECT_EQ(kittool("manifests '" + folder.string() + "'"), 1) << c.name;
        EXPECT_NE(output.find(std::string("manifest 045.lua, ") + c.message), std::string::npos)
            << c.name << ": " << output;
    }
}

TEST_F(ManifestToolTest, ScreenFileReadsBackThroughKittoolScreen)
{
    struct Case
    {
        const char* manifest;
        int folder;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {SCREEN_MANIFESTS "/012.lua",
         12,
         {"screen 12 (version 19): 40 texts, 41 assets", "asset 6634 kind 4 flags 1",
          "asset 6641 kind 3 flags 1", "  012/006641_0.png", "asset 6650 kind 0", "asset 6668 kind 1",
          "text 227\n  [0] Do you really want to quit?"}},
        {SCREEN_MANIFESTS "/032.lua",
         32,
         {"asset 2333 kind 7", "  032/002333_0.gwvideo", "asset 2329 kind 4"}},
        {LAYOUT_FIXTURES "/090.lua",
         90,
         {"text 9002\n  [0] Hello\n  [1] Bonjour", "values 640, 480",
          "  256 FContainer 10,10 300x200 visible", "    257 FLabel 0,0 300x40",
          "-1133135055 FButton 10,300 100x40"}},
    };
    for (const Case& c : cases) {
        const fs::path out = m_scratch / ("kit" + std::to_string(c.folder));
        ASSERT_EQ(kittool(std::string("screenfile ") + c.manifest + " " + out.string()), 0) << output;
        ASSERT_EQ(kittool("screen " + out.string() + " " + std::to_string(c.folder)), 0) << output;
        for (const std::string& line : c.expected)
            EXPECT_NE(output.find(line), std::string::npos) << c.folder << ": " << line << "\n" << output;
    }
}

TEST_F(ManifestToolTest, LayoutsWritesOneClassPerManifest)
{
    ASSERT_EQ(kittool("layouts " LAYOUT_FIXTURES " " + (m_scratch / "gen").string()), 0) << output;
    for (const char* name : {"ScreenLayout90", "LayoutPart91", "LayoutPart92", "ScreenLayout93"}) {
        EXPECT_TRUE(fs::exists(m_scratch / "gen" / (std::string(name) + ".h"))) << name;
        EXPECT_TRUE(fs::exists(m_scratch / "gen" / (std::string(name) + ".cpp"))) << name;
    }
    const std::string header = slurp(m_scratch / "gen" / "ScreenLayout90.h");
    EXPECT_NE(header.find("class ScreenLayout90 : public FScreen, public LayoutPart91, public LayoutPart92"),
              std::string::npos)
        << header;
}

} // namespace
