#include "game/core/SaveManager.h"

#include "SaveFolder.h"

#include "io/FDigest.h"

#include <string>
#include <vector>

namespace {

using SaveManagerTest = SaveFolderTest;

// Saves `bytes` under `name` through the save path of the game.
bool save(SaveManager& manager, const char* name, const std::string& bytes)
{
    {
        const FRefT<FOutStream> stream = manager.saveData(FString(name), 4096);
        if (waitForRefTarget(stream) == nullptr) return false;
        stream->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    return manager.writeChecksum(FString(name));
}

// The bytes a load hands out, or "<null>" when it refused the file.
std::string load(SaveManager& manager, const char* name)
{
    const FRefT<FInStream> stream = manager.loadData(FString(name));
    FInStream* in = waitForRefTarget(stream);
    if (in == nullptr) return "<null>";
    return std::string((std::istreambuf_iterator<char>(*in)), std::istreambuf_iterator<char>());
}

TEST_F(SaveManagerTest, TheDigestCoversBothSaltsAroundTheBytes)
{
    EXPECT_EQ(FDigest::toHex(SaveManager::digestOf("")), FString("5e17f92e8cfed39c739b1f30ee68c732d045fe74"));
    // The plain SHA-1 of "abc" (FIPS 180 example) through the same context.
    FDigestContext* context = FDigest::newSha1Context();
    FDigest::update(context, "abc", 3);
    const FDigestBytes abc = FDigest::finishDigest(context);
    FDigest::destroyDigestContext(context);
    EXPECT_EQ(FDigest::toHex(abc), FString("a9993e364706816aba3e25717850c26c9cd0d89d"));

    SaveManager manager;
    manager.attachDefaultFileSystem();
    ASSERT_TRUE(save(manager, "empty.dat", ""));
    EXPECT_EQ(readFile("empty.dat.crc"),
              std::string(reinterpret_cast<const char*>(SaveManager::digestOf("").data()), 20));
    EXPECT_EQ(load(manager, "empty.dat"), "");
}

TEST_F(SaveManagerTest, ASaveLeavesExactlyTheFileAndItsSideFile)
{
    SaveManager manager;
    manager.attachDefaultFileSystem();
    ASSERT_TRUE(save(manager, "a.dat", "first"));
    ASSERT_TRUE(save(manager, "a.dat", "second save"));
    EXPECT_EQ(load(manager, "a.dat"), "second save");
    EXPECT_EQ(manager.lastFileName(), FString("a.dat"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.dat", "a.dat.crc"}));
    EXPECT_TRUE(manager.verifyChecksum(FString("a.dat")));
    EXPECT_EQ(load(manager, "missing.dat"), "<null>");

    // Without new content the side file is written for the file as it is.
    writeFile("b.dat", "made elsewhere");
    EXPECT_FALSE(manager.verifyChecksum(FString("b.dat")));
    EXPECT_TRUE(manager.writeChecksum(FString("b.dat")));
    EXPECT_EQ(load(manager, "b.dat"), "made elsewhere");
    EXPECT_FALSE(manager.writeChecksum(FString("nothing.dat")));
    EXPECT_EQ(manager.computeChecksum(FString("nothing.dat")).length, 0u);
}

TEST_F(SaveManagerTest, AnyChangeOfTheFileOrItsSideFileFailsTheLoad)
{
    SaveManager manager;
    manager.attachDefaultFileSystem();
    const std::string data = "<root><name>Ann</name></root>";
    ASSERT_TRUE(save(manager, "p.dat", data));
    const std::string side = readFile("p.dat.crc");
    ASSERT_EQ(side.size(), 20u);

    struct Case
    {
        std::string what;
        std::string data;
        std::string side; // "<none>": no side file
    };
    std::vector<Case> cases;
    for (size_t i = 0; i < data.size(); ++i) {
        std::string changed = data;
        changed[i] = static_cast<char>(changed[i] ^ 0x01);
        cases.push_back({"data byte " + std::to_string(i), changed, side});
    }
    for (size_t i = 0; i < side.size(); ++i) {
        std::string changed = side;
        changed[i] = static_cast<char>(changed[i] ^ 0x80);
        cases.push_back({"side byte " + std::to_string(i), data, changed});
    }
    cases.push_back({"side of 0 bytes", data, ""});
    cases.push_back({"side of 19 bytes", data, side.substr(0, 19)});
    cases.push_back({"side of 21 bytes", data, side + "x"});
    cases.push_back({"no side file", data, "<none>"});
    cases.push_back({"data cut short", data.substr(0, data.size() - 1), side});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile("p.dat", c.data);
        std::filesystem::remove(folder() / "p.dat.crc");
        if (c.side != "<none>") writeFile("p.dat.crc", c.side);
        EXPECT_EQ(load(manager, "p.dat"), "<null>");
        EXPECT_FALSE(manager.verifyChecksum(FString("p.dat")));
    }
    writeFile("p.dat", data);
    writeFile("p.dat.crc", side);
    EXPECT_EQ(load(manager, "p.dat"), data);
}

TEST_F(SaveManagerTest, RecoveryFinishesCommittedSavesAndDropsUncommittedOnes)
{
    const std::string oldData = "old", newData = "new";
    auto digest = [](const std::string& bytes) {
        return std::string(reinterpret_cast<const char*>(SaveManager::digestOf(bytes).data()), 20);
    };
    const struct
    {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files; // besides the old pair
        std::string expected;
    } cases[] = {
        {"data temp only", {{"f.tmp", newData}}, oldData},
        {"both temps, not committed", {{"f.tmp", newData}, {"f.crc.tmp", digest(newData)}}, oldData},
        {"partial side temp", {{"f.tmp", newData}, {"f.crc.tmp", digest(newData).substr(0, 7)}}, oldData},
        {"committed", {{"f.tmp", newData}, {"f.crc.new", digest(newData)}}, newData},
        {"committed, data in place", {{"f", newData}, {"f.crc.new", digest(newData)}}, newData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder());
        writeFile("f", oldData);
        writeFile("f.crc", digest(oldData));
        for (const auto& [name, bytes] : c.files)
            writeFile(name, bytes);
        SaveManager manager;
        manager.attachDefaultFileSystem();
        EXPECT_EQ(load(manager, "f"), c.expected);
        for (const char* leftover : {"f.tmp", "f.crc.tmp", "f.crc.new"})
            EXPECT_FALSE(exists(leftover)) << leftover;
        // A save after recovery stands on its own.
        ASSERT_TRUE(save(manager, "f", "next"));
        EXPECT_EQ(load(manager, "f"), "next");
    }
}

TEST_F(SaveManagerTest, AFailedFileIsKeptAsBad)
{
    SaveManager manager;
    manager.attachDefaultFileSystem();
    ASSERT_TRUE(save(manager, "p.dat", "one"));
    writeFile("p.dat", "tampered");
    EXPECT_TRUE(manager.keepAsBad(FString("p.dat")));
    EXPECT_EQ(readFile("p.dat.bad"), "tampered");
    EXPECT_EQ(readFile("p.dat.crc.bad").size(), 20u);
    EXPECT_FALSE(exists("p.dat"));
    EXPECT_FALSE(exists("p.dat.crc"));
    // One generation: a later bad file replaces the kept one.
    writeFile("p.dat", "again");
    EXPECT_TRUE(manager.keepAsBad(FString("p.dat")));
    EXPECT_EQ(readFile("p.dat.bad"), "again");
    EXPECT_FALSE(exists("p.dat.crc.bad"));
}

TEST_F(SaveManagerTest, NothingIsSavedWithoutAFolder)
{
    SaveManager detached;
    EXPECT_EQ(waitForRefTarget(detached.saveData(FString("a.dat"), 100)), nullptr);
    EXPECT_FALSE(detached.writeChecksum(FString("a.dat")));
    EXPECT_EQ(load(detached, "a.dat"), "<null>");

    blockDataFolder();
    SaveManager blocked;
    blocked.attachDefaultFileSystem();
    EXPECT_FALSE(save(blocked, "a.dat", "data"));
}

// Passes every operation to the installed storage and notes what it was
// asked, by the last part of each name.
class RecordingStorage : public FDurableStorage
{
public:
    bool write(const FString& path, const void* data, size_t size) override
    {
        note("write", path);
        return FDurableStorage::current().write(path, data, size);
    }
    bool replace(const FString& from, const FString& to) override
    {
        note("replace", from, to);
        return FDurableStorage::current().replace(from, to);
    }
    bool remove(const FString& path) override
    {
        note("remove", path);
        return FDurableStorage::current().remove(path);
    }
    bool exists(const FString& path) override { return FDurableStorage::current().exists(path); }
    bool read(const FString& path, std::string& bytes, size_t maxBytes) override
    {
        return FDurableStorage::current().read(path, bytes, maxBytes);
    }
    bool flushFolder(const FString& folder) override
    {
        calls.push_back("flush");
        return FDurableStorage::current().flushFolder(folder);
    }

    std::vector<std::string> calls;

private:
    static std::string leaf(const FString& path)
    {
        const std::string text = path.toUtf8();
        return text.substr(text.find_last_of('\\') + 1);
    }
    void note(const char* what, const FString& path, const FString& to = FString())
    {
        calls.push_back(std::string(what) + " " + leaf(path) + (to.empty() ? "" : " " + leaf(to)));
    }
};

TEST_F(SaveManagerTest, TheFilesGoThroughTheStorageItWasGivenInCrashSafeOrder)
{
    RecordingStorage storage;
    SaveManager manager(&storage);
    manager.attachDefaultFileSystem();
    ASSERT_TRUE(save(manager, "a.dat", "data"));
    EXPECT_EQ(storage.calls, (std::vector<std::string>{
                                 "remove a.dat.tmp", "remove a.dat.crc.tmp", // leftovers of an earlier save
                                 "write a.dat.tmp", "write a.dat.crc.tmp", "flush",
                                 "replace a.dat.crc.tmp a.dat.crc.new", // the commit
                                 "replace a.dat.tmp a.dat", "replace a.dat.crc.new a.dat.crc"}));
    EXPECT_EQ(load(manager, "a.dat"), "data");

    // A storage that can do nothing (none installed) fails every save and load.
    FDurableStorage none;
    SaveManager without(&none);
    without.attachDefaultFileSystem();
    EXPECT_FALSE(save(without, "b.dat", "data"));
    EXPECT_FALSE(exists("b.dat"));
    EXPECT_EQ(load(without, "a.dat"), "<null>");
}

} // namespace
