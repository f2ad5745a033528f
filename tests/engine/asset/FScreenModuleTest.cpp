#include "engine/asset/ScreenTestSupport.h"

#include "asset/FAssetCandidates.h"
#include "tools/contentwriters/WidgetRecordWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace assettest;

namespace {

ScreenFile twoLanguageFile()
{
    ScreenFile file;
    file.records.push_back(text(12, {"Hello", "Bonjour"}));
    file.records.push_back(rawAsset(42));
    file.records.push_back(rawAsset(43, FAsset::k_flagLoadOnUse));
    return file;
}

TEST_F(ScreenTest, WrittenFileReadsBackIntoTheRegistry)
{
    ScreenFile file = twoLanguageFile();
    ScreenAsset withKindData;
    withKindData.kind = 1;
    withKindData.id = -2;
    withKindData.name = "byte";
    withKindData.kindData = {0x5A};
    file.records.push_back(withKindData);
    ContainerRecord tree;
    tree.widget = {0, 0, 800, 600, 0, 1};
    tree.children.push_back({7, WidgetType::k_image, writeImageRecord({{1, 2, 3, 4, 0, 1}, 42})});
    tree.children.push_back({8, WidgetType::k_label, writeLabelRecord({})});
    ScreenOwnerTail tail;
    tail.cameraKeys = {{1, 2, 3}, {-4, -5, -6}};
    tail.valueA = 100;
    tail.valueB = -200;
    tail.ignored1 = 0xDEADBEEF;
    tail.widgetTree = writeContainerRecord(tree);
    file.owner = tail;
    writeFolder(7, file);

    RecordingOwner owner;
    screens.readScreenFile(&owner, 7, 8, 0, false);
    EXPECT_EQ(textOf(12), "Hello");
    ASSERT_NE(rawOf(42), nullptr);
    EXPECT_TRUE(rawOf(42)->isLoaded()) << "no flags: loaded while the file is read";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(rawOf(42)->data()), size_t(rawOf(42)->dataSize())),
              "content 42");
    ASSERT_NE(rawOf(43), nullptr);
    EXPECT_FALSE(rawOf(43)->isLoaded()) << "load on use waits for its first user";
    rawOf(43)->addUser();
    EXPECT_TRUE(rawOf(43)->isLoaded());
    auto* byte = screens.registry().findInSecond(-2).as<ByteAsset>();
    ASSERT_NE(byte, nullptr);
    EXPECT_EQ(byte->kindByte, 0x5A);
    EXPECT_EQ(byte->candidates().size(), 1u) << "007/-00002_0.*";

    ASSERT_EQ(owner.keys.size(), 2u);
    EXPECT_EQ(owner.keys[1].z, -6);
    EXPECT_EQ(owner.values[0], 100);
    EXPECT_EQ(owner.values[1], -200);
    EXPECT_EQ(owner.tree, tail.widgetTree);
    EXPECT_EQ(screens.useCount(7), 1);
}

TEST_F(ScreenTest, LanguageChoosesTheStringAndReloadReplacesIt)
{
    writeFolder(3, twoLanguageFile());
    screens.readScreenFile(nullptr, 3, 0, -1, false);
    EXPECT_EQ(textOf(12), "Bonjour") << "-1 keeps the last string";
    FAsset* asset = rawOf(42);
    screens.readScreenFile(nullptr, 3, 0, 0, true);
    EXPECT_EQ(textOf(12), "Hello");
    EXPECT_EQ(rawOf(42), asset) << "a reload keeps the registered assets";
    EXPECT_EQ(screens.useCount(3), 1) << "a reload is no binding";
}

TEST_F(ScreenTest, SecondBindingCountsAndKeepsTheAssets)
{
    writeFolder(3, twoLanguageFile());
    screens.readScreenFile(nullptr, 3, 0, 0, false);
    FAsset* asset = rawOf(42);
    screens.readScreenFile(nullptr, 3, 0, 1, false);
    EXPECT_EQ(rawOf(42), asset);
    EXPECT_EQ(textOf(12), "Bonjour") << "a later binding refreshes the texts";
    EXPECT_EQ(screens.useCount(3), 2);
    screens.unbind(3);
    EXPECT_EQ(rawOf(42), asset);
    screens.unbind(3);
    EXPECT_EQ(rawOf(42), nullptr);
    EXPECT_EQ(textOf(12), "<none>");
    screens.unbind(3); // nothing bound: nothing happens
    EXPECT_EQ(screens.useCount(3), 0);
}

TEST_F(ScreenTest, SharedIdStaysWhileAnotherFolderUsesIt)
{
    ScreenFile first;
    first.records.push_back(rawAsset(42));
    ScreenFile second;
    second.records.push_back(rawAsset(42));
    second.records.push_back(rawAsset(50));
    writeFolder(1, first);
    writeFolder(2, second);
    screens.readScreenFile(nullptr, 1, 0, 0, false);
    FAsset* firstAsset = rawOf(42);
    screens.readScreenFile(nullptr, 2, 0, 0, false);
    EXPECT_EQ(rawOf(42), firstAsset) << "the first asset with an id stays";
    screens.unbind(2);
    EXPECT_EQ(rawOf(42), firstAsset) << "folder 1 still uses it";
    EXPECT_EQ(rawOf(50), nullptr);
    screens.unbind(1);
    EXPECT_EQ(rawOf(42), nullptr);
}

TEST_F(ScreenTest, FailedReadTakesBackWhatItAdded)
{
    ScreenFile other;
    other.records.push_back(rawAsset(42));
    writeFolder(1, other);
    screens.readScreenFile(nullptr, 1, 0, 0, false);

    ScreenFile broken;
    broken.records.push_back(text(12, {"Hello"}));
    broken.records.push_back(rawAsset(42));
    broken.records.push_back(rawAsset(60));
    std::vector<uint8_t> bytes = writeScreenFile(broken);
    bytes.resize(bytes.size() - 3); // the last record ends early
    writeFolder(5, broken);
    writeBytes(assetPathOf(screenFilePath(5)), bytes);

    EXPECT_NE(failureOf([&] { screens.readScreenFile(nullptr, 5, 0, 0, false); }), "");
    EXPECT_EQ(screens.useCount(5), 0);
    EXPECT_EQ(textOf(12), "<none>");
    EXPECT_NE(rawOf(42), nullptr) << "folder 1's asset stays";

    writeFolder(5, broken); // mended: the next binding reads everything
    screens.readScreenFile(nullptr, 5, 0, 0, false);
    EXPECT_EQ(textOf(12), "Hello");
    EXPECT_NE(rawOf(60), nullptr);
    screens.unbind(5);
    EXPECT_EQ(rawOf(60), nullptr);
    EXPECT_NE(rawOf(42), nullptr);
}

TEST_F(ScreenTest, DamagedFilesFailWithTheirReport)
{
    struct Case
    {
        const char* what;
        std::function<void(ScreenFile&)> damage;
        const char* report;
    };
    const std::string longName(128, 'n');
    const Case cases[] = {
        {"version 18", [](ScreenFile& f) { f.version = 18; }, "Required screen format: 19"},
        {"version 20", [](ScreenFile& f) { f.version = 20; }, "Required screen format: 19"},
        {"tag", [](ScreenFile& f) { f.tag = 0x47575364; }, "Screen must start with file format"},
        {"text name of 128", [&](ScreenFile& f) { std::get<ScreenText>(f.records[0]).name = longName; },
         "Invalid screen file (1)"},
        {"asset name of 128", [&](ScreenFile& f) { std::get<ScreenAsset>(f.records[1]).name = longName; },
         "Invalid screen file (1)"},
        {"unknown kind", [](ScreenFile& f) { std::get<ScreenAsset>(f.records[1]).kind = 9; },
         "Invalid screen file (1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScreenFile file = twoLanguageFile();
        c.damage(file);
        writeFolder(4, file);
        EXPECT_NE(failureOf([&] { screens.readScreenFile(nullptr, 4, 0, 0, false); }).find(c.report),
                  std::string::npos);
        EXPECT_EQ(screens.useCount(4), 0);
    }
    ScreenFile file = twoLanguageFile();
    std::get<ScreenText>(file.records[0]).name = std::string(127, 'n');
    std::get<ScreenAsset>(file.records[1]).name = std::string(127, 'n');
    writeFolder(4, file);
    screens.readScreenFile(nullptr, 4, 0, 0, false);
    EXPECT_EQ(textOf(12), "Hello") << "names of 127 characters are accepted";
}

// A worker binds and unbinds folders while the UI-like thread binds others
// sharing ids and looks entries up; counts and maps stay consistent.
TEST_F(ScreenTest, BindingOnTwoThreads)
{
    for (int folder = 1; folder <= 4; ++folder) {
        ScreenFile file;
        file.records.push_back(rawAsset(42, FAsset::k_flagLoadOnUse));
        file.records.push_back(rawAsset(static_cast<int16_t>(100 + folder), FAsset::k_flagLoadOnUse));
        file.records.push_back(text(static_cast<int16_t>(200 + folder), {"t"}));
        writeFolder(folder, file);
    }
    auto run = [&](int firstFolder) {
        for (int i = 0; i < 40; ++i) {
            for (int folder = firstFolder; folder < firstFolder + 2; ++folder) {
                screens.readScreenFile(nullptr, folder, 3, 0, false);
                if (FRawData* shared = rawOf(42)) shared->id();
            }
            for (int folder = firstFolder; folder < firstFolder + 2; ++folder)
                screens.unbind(folder);
        }
    };
    std::thread worker(run, 1);
    run(3);
    worker.join();
    for (int folder = 1; folder <= 4; ++folder)
        EXPECT_EQ(screens.useCount(folder), 0);
    EXPECT_EQ(screens.registry().assetCount(), 0u);
    EXPECT_EQ(screens.registry().textCount(), 0u);
}

} // namespace

namespace {

// The folder-wide index lists for each id exactly what a search of that id's
// own pattern lists, in the same order.
TEST_F(ScreenTest, FolderIndexListsWhatEachIdsOwnSearchLists)
{
    for (const char* name : {"009/000042_0.b", "009/000042_0.a", "009/000042_0.TXT", "009/-00002_0.x",
                             "009/000043_1.x", "009/0000430_0.x", "009/000043_0", "010/000043_0.x"})
        writeBytes(assetPathOf(name), {1});
    const FAssetCandidates index(9);
    auto names = [](const std::vector<FRefT<FFileEntry>>& entries) {
        std::vector<std::string> all;
        for (const auto& e : entries)
            all.push_back(e->name().toUtf8());
        return all;
    };
    for (int32_t id : {42, -2, 43, 7}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(names(index.find(id)), names(FAssetCandidates::search(9, id)));
    }
    EXPECT_EQ(index.find(42).size(), 3u);
    EXPECT_EQ(index.find(-2).size(), 1u);
    EXPECT_TRUE(index.find(43).empty());
}

} // namespace
