#include "engine/core/KernelTestSupport.h"
#include "tools/kittool/KittoolRunSupport.h"

#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::vector<uint8_t>>;

// Folder 7: a text in two languages (one with a quote to escape), an image
// with its file, a font without, and an owner tail.
Files folderSeven(bool withOwner)
{
    ScreenFile file;
    ScreenText text;
    text.key = 12;
    text.name = "title";
    text.strings = {"Hello \"you\"", "Bonjour"};
    file.records.push_back(text);
    ScreenAsset image;
    image.kind = 3;
    image.id = 42;
    image.name = "picture";
    image.loads = {{0, 3, 2}};
    image.kindData = imageKindData(true);
    file.records.push_back(image);
    ScreenAsset font;
    font.kind = 1;
    font.id = 43;
    font.name = "font";
    font.kindData = fontKindData(true);
    file.records.push_back(font);
    if (withOwner) {
        ScreenOwnerTail tail;
        tail.cameraKeys = {{1, -2, 3}};
        tail.valueA = 5;
        tail.valueB = 6;
        ContainerRecord inner;
        inner.widget = {5, 6, 70, 80, 0, 0};
        inner.scrollX = -3;
        inner.scaleXThousandths = 1500;
        inner.children.push_back({9, WidgetType::k_image, writeImageRecord({{1, 2, 3, 4, 0, 1}, 42})});
        ContainerRecord root;
        root.widget = {0, 0, 640, 480, 0, 1};
        root.children.push_back({8, WidgetType::k_container, writeContainerRecord(inner)});
        root.children.push_back({10, WidgetType::k_marker, writeWidgetPart({7, 7, 1, 1, 0, 0})});
        ButtonRecord button;
        button.widget = {20, 30, 100, 40, 0, 1};
        button.imagePlacement = 4;
        button.imageScaleThousandths = 1500;
        button.enabled = 0;
        root.children.push_back({11, WidgetType::k_button, writeButtonRecord(button)});
        tail.widgetTree = writeContainerRecord(root);
        file.owner = tail;
    }
    return {{screenFilePath(7), writeScreenFile(file)},
            {assetFileName(7, 42, ".png"), {1, 2, 3}},
            {"GWTarget", writeTarget("Kit")}};
}

const char* k_expected =
    "{\"folder\": 7, \"version\": 19, \"texts\": [{\"key\": 12, \"strings\": [\"Hello \\\"you\\\"\", "
    "\"Bonjour\"]}], \"assets\": [{\"id\": 42, \"kind\": 3, \"flags\": 3, \"mode\": 2, \"files\": "
    "[\"007/000042_0.png\"]}, {\"id\": 43, \"kind\": 1, \"flags\": 0, \"mode\": 0, \"files\": []}], "
    "\"owner\": {\"cameraKeys\": [[1, -2, 3]], \"values\": [5, 6], \"root\": {\"id\": 0, \"type\": "
    "\"FContainer\", \"rect\": [0, 0, 640, 480], \"visible\": true, \"scroll\": [0, 0], \"depth\": 0, "
    "\"scale\": [1, 1], \"children\": [{\"id\": 8, \"type\": \"FContainer\", \"rect\": [5, 6, 70, 80], "
    "\"visible\": false, \"scroll\": [-3, 0], \"depth\": 0, \"scale\": [1.5, 1], \"children\": [{\"id\": 9, "
    "\"type\": \"FImageWidget\", \"rect\": [1, 2, 3, 4], \"visible\": true, \"image\": 42, \"children\": "
    "[]}]}, {\"id\": 10, \"type\": \"FMarkerWidget\", \"rect\": [7, 7, 1, 1], \"visible\": false, "
    "\"children\": []}, {\"id\": 11, \"type\": \"FButton\", \"rect\": [20, 30, 100, 40], \"visible\": true, "
    "\"skin\": 0, \"placement\": 4, \"scale\": 1.5, \"enabled\": false, \"children\": []}]}}}\n";

class KitScreenTest : public ::testing::Test
{
protected:
    int run(const std::string& arguments)
    {
        return exitCodeOf(std::string(KITTOOL_PATH) + " screen " + arguments + " >" +
                          (scratch.path() / "out.txt").string() + " 2>" +
                          (scratch.path() / "err.txt").string());
    }
    std::string out() { return slurp(scratch.path() / "out.txt"); }
    std::string err() { return slurp(scratch.path() / "err.txt"); }

    void writeLoose(const fs::path& folder, const Files& files)
    {
        for (const auto& [name, bytes] : files)
            spill(folder / name, bytes);
    }

    ScratchFolder scratch;
};

TEST_F(KitScreenTest, JsonFromEveryKindOfKit)
{
    const Files files = folderSeven(true);
    ZipWriter writer;
    for (const auto& [name, bytes] : files)
        writer.add(name, bytes, ZipMethod::Stored);
    writer.writeTo(scratch.path() / "packed.zip");
    writeLoose(scratch.path() / "loose", files);
    ASSERT_EQ(
        std::system(("cd " + (scratch.path() / "loose").string() + " && zip -qr ../infozip.zip .").c_str()),
        0);

    const std::string pack = std::string(KITTOOL_PATH) + " pack " +
                             (scratch.path() / "kittool.zip").string() + " " +
                             (scratch.path() / "loose").string() + " >/dev/null";
    ASSERT_EQ(std::system(pack.c_str()), 0);

    for (const char* kit : {"packed.zip", "infozip.zip", "kittool.zip", "loose"}) {
        SCOPED_TRACE(kit);
        ASSERT_EQ(run((scratch.path() / kit).string() + " 7 --json"), 0) << err();
        EXPECT_EQ(out(), k_expected);
    }
}

TEST_F(KitScreenTest, TextListingAndNoOwnerWithoutTail)
{
    writeLoose(scratch.path() / "loose", folderSeven(false));
    ASSERT_EQ(run((scratch.path() / "loose").string() + " 7 --json"), 0) << err();
    EXPECT_EQ(out().find("owner"), std::string::npos);
    ASSERT_EQ(run((scratch.path() / "loose").string() + " 7"), 0) << err();
    EXPECT_NE(out().find("  [1] Bonjour"), std::string::npos) << out();
    EXPECT_NE(out().find("asset 42 kind 3 flags 3 mode 2"), std::string::npos) << out();
}

TEST_F(KitScreenTest, UnknownWidgetCodeStopsTheTreeAndNamesTheCode)
{
    Files files = folderSeven(false);
    ScreenFile file;
    ScreenOwnerTail tail;
    ContainerRecord root;
    root.children.push_back({3, WidgetType::k_marker, writeWidgetPart({1, 1, 1, 1, 0, 1})});
    root.children.push_back({4, 0x0BADC0DE, writeWidgetPart({})});
    tail.widgetTree = writeContainerRecord(root);
    file.owner = tail;
    files[screenFilePath(7)] = writeScreenFile(file);
    writeLoose(scratch.path() / "loose", files);
    EXPECT_EQ(run((scratch.path() / "loose").string() + " 7"), 1);
    EXPECT_NE(err().find("0x0BADC0DE"), std::string::npos) << err();
    EXPECT_NE(out().find("  3 FMarkerWidget 1,1 1x1 visible"), std::string::npos) << out();
    EXPECT_NE(out().find("incomplete:"), std::string::npos) << out();
}

TEST_F(KitScreenTest, DamagedFileExitsOneWithNothingOnStandardOutput)
{
    Files files = folderSeven(true);
    std::vector<uint8_t>& screen = files[screenFilePath(7)];
    screen[4] = 20; // version
    writeLoose(scratch.path() / "loose", files);
    EXPECT_EQ(run((scratch.path() / "loose").string() + " 7 --json"), 1);
    EXPECT_EQ(out(), "");
    EXPECT_NE(err().find("Required screen format: 19"), std::string::npos) << err();
    EXPECT_EQ(run((scratch.path() / "loose").string() + " 8"), 1) << "no folder 8";
    EXPECT_EQ(out(), "");
    EXPECT_EQ(run((scratch.path() / "loose").string()), 2);
}

} // namespace
