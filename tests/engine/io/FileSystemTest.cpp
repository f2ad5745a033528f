#include "engine/io/IoTestSupport.h"

#include "core/FOperatingSystem.h"
#include "io/FFileSystemModule.h"
#include "io/FFolderFileSystem.h"
#include "io/FNativePath.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace iotest;
namespace fs = std::filesystem;

namespace {

// Sets environment variables for one test and puts the old values back.
class EnvironmentScope
{
public:
    ~EnvironmentScope()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }
    void set(const std::string& name, const std::string& value)
    {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::make_optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

std::string engineRoot(const fs::path& folder)
{
    FString text;
    EXPECT_TRUE(FNativePath::toEngine(folder, text));
    return utf8(text) + "\\";
}

// The data folders of the test live in the scratch folder.
class FileSystemTest : public IoTest
{
protected:
    void SetUp() override
    {
        m_shared = scratch.path() / "shared";
        m_user = scratch.path() / "user";
        m_temp = scratch.path() / "temp";
        fs::create_directories(m_temp);
        m_environment.set("XDG_DATA_DIRS", m_shared.string() + ":/usr/share");
        m_environment.set("XDG_DATA_HOME", m_user.string());
        m_environment.set("TMPDIR", m_temp.string());
        m_module = std::make_unique<FFileSystemModule>();
    }
    void TearDown() override { m_module.reset(); }

    FFileSystemService& service() { return m_module->service(); }

    // The winning entry of `name` across the mounted file systems.
    FRefT<FFileEntry> winner(const std::string& name)
    {
        FFileEntryMap found;
        service().search(found, engineText(name));
        EXPECT_EQ(found.size(), 1u) << name;
        return found.empty() ? FRefT<FFileEntry>() : found.begin()->second;
    }

    std::string contentOf(const FRefT<FFileEntry>& entry)
    {
        if (entry.isNull() || entry.get() == nullptr) {
            ADD_FAILURE() << "no entry to read";
            return {};
        }
        FRefT<FInStream> stream;
        service().openEntry(stream, entry);
        return readAll(stream);
    }

    EnvironmentScope m_environment;
    fs::path m_shared, m_user, m_temp;
    std::unique_ptr<FFileSystemModule> m_module;
};

TEST_F(FileSystemTest, FolderKindsRootsAndPriorities)
{
    const fs::path executable = fs::read_symlink("/proc/self/exe").parent_path();
    struct Case
    {
        FRefT<FFileSystem> folder;
        std::string root;
        int32_t priority;
    };
    const Case cases[] = {
        {service().executableFolder(), engineRoot(executable), 1},
        {service().commonAppDataFolder(), engineRoot(m_shared / "Nuvant" / "Zibbo"), 2},
        {service().userAppDataFolder(), engineRoot(m_user / "Nuvant" / "Zibbo"), 3},
        {service().currentFolder(), engineRoot(scratch.path()), 4},
        {service().noneFolder(), "", 4},
        {service().commonFilesFolder(), "\\usr\\share\\Nuvant\\Nuvant\\", 4},
        {service().tempFolder(), engineRoot(m_temp), 4},
    };
    for (const Case& c : cases) {
        auto* folder = static_cast<FFolderFileSystem*>(c.folder.get());
        EXPECT_EQ(utf8(folder->root()), c.root) << folder->kind();
        EXPECT_EQ(FFolderFileSystem::priorityOf(folder->kind()), c.priority) << folder->kind();
    }
    // The application-data folders were made when their roots were asked for.
    EXPECT_TRUE(fs::is_directory(m_shared / "Nuvant" / "Zibbo"));
    EXPECT_TRUE(fs::is_directory(m_user / "Nuvant" / "Zibbo"));
}

// A program that installs no operating system still runs: the folder kinds
// that live in the system's folders name none (they stand for the current
// folder) and make none.
TEST_F(FileSystemTest, WithoutAnOperatingSystemTheSystemFoldersNameNoneAndMakeNone)
{
    FOperatingSystem* const installed = FOperatingSystem::install(nullptr);
    for (const int32_t kind :
         {FFolderFileSystem::k_folderExecutable, FFolderFileSystem::k_folderCommonAppData,
          FFolderFileSystem::k_folderUserAppData, FFolderFileSystem::k_folderCommonFiles,
          FFolderFileSystem::k_folderTemp}) {
        FFolderFileSystem folder(kind);
        EXPECT_EQ(utf8(folder.root()), "") << kind;
    }
    FFolderFileSystem current(FFolderFileSystem::k_folderCurrent);
    EXPECT_EQ(utf8(current.root()), engineRoot(scratch.path()));
    FOperatingSystem::install(installed);
    EXPECT_FALSE(fs::exists(scratch.path() / "Nuvant"));
    EXPECT_FALSE(fs::exists(m_shared));
    EXPECT_FALSE(fs::exists(m_user));
}

TEST_F(FileSystemTest, SharedFolderThatCannotBeMadeIsNoFailure)
{
    writeFile("blocker", "a file where a folder should go");
    m_environment.set("XDG_DATA_DIRS", (scratch.path() / "blocker").string());
    FFolderFileSystem shared(FFolderFileSystem::k_folderCommonAppData);
    EXPECT_EQ(utf8(shared.root()), engineRoot(scratch.path() / "blocker" / "Nuvant" / "Zibbo"));
    EXPECT_TRUE(shared.find(u"*.txt").empty());
    EXPECT_TRUE(handler.texts.empty());
}

TEST_F(FileSystemTest, FolderSearchIgnoresCaseAndKeysHaveNoFolder)
{
    writeFile("Scripts/Main.lua", "print(1)");
    writeFile("Scripts/other.LUA", "print(2)");
    writeFile("Scripts/readme.txt", "text");
    fs::create_directories("Scripts/Sub.lua");
    FRefT<FFileSystem> current = service().currentFolder();

    FFileEntryMap found = current->find(u"scripts/main.LUA");
    ASSERT_EQ(found.size(), 1u);
    const FRefT<FFileEntry>& main = found.begin()->second;
    EXPECT_EQ(found.begin()->first, u"main.lua");
    EXPECT_EQ(main->name(), u"Main.lua");
    EXPECT_EQ(main->extension(), u".lua");
    EXPECT_EQ(utf8(*main->location().get()), engineRoot(scratch.path()) + "Scripts\\");
    EXPECT_EQ(main->size(), 8);
    EXPECT_EQ(main->priority(), 4);
    EXPECT_EQ(contentOf(main), "print(1)");

    // Patterns list the folder; folders are entries too, "." and ".." are not.
    found = current->find(u"SCRIPTS\\*.lua");
    std::vector<std::string> keys;
    for (const auto& [key, entry] : found)
        keys.push_back(utf8(key));
    EXPECT_EQ(keys, (std::vector<std::string>{"main.lua", "other.lua", "sub.lua"}));
    EXPECT_TRUE(current->find(u"Scripts/.").empty());
    EXPECT_TRUE(current->find(u"Nowhere/*.lua").empty());
    // The folder without root takes names as they are, relative or whole.
    EXPECT_EQ(service().noneFolder()->find(u"Scripts/main.lua").size(), 1u);
    EXPECT_EQ(
        service().noneFolder()->find(engineText((scratch.path() / "scripts/readme.txt").string())).size(),
        1u);
}

TEST_F(FileSystemTest, SearchKeepsTheEntryOfHighestPriority)
{
    writeFile(m_shared / "Nuvant/Zibbo/both.txt", "shared");
    writeFile(m_user / "Nuvant/Zibbo/both.txt", "user");
    writeFile(m_shared / "Nuvant/Zibbo/all.txt", "shared");
    writeFile(m_user / "Nuvant/Zibbo/all.txt", "user");
    writeFile("all.txt", "current");
    EXPECT_EQ(contentOf(winner("both.txt")), "user");
    EXPECT_EQ(contentOf(winner("ALL.txt")), "current");

    // A plain member of an archive mounted from the current folder has the
    // archive's priority (4): on equal priority the archive, searched first,
    // wins. Its encrypted members outrank everything.
    ZipWriter loose;
    loose.add("all.txt", "loose kit");
    loose.add("both.txt", "sealed", ZipMethod::Stored, true);
    loose.writeTo("loose.zip");
    FRefT<FFileSystem> looseKit;
    service().mountArchiveByName(looseKit, u"LOOSE.ZIP");
    EXPECT_EQ(contentOf(winner("all.txt")), "loose kit");
    EXPECT_EQ(winner("both.txt")->priority(), 100000);
    EXPECT_EQ(contentOf(winner("both.txt")), "sealed");

    // Kits get their priorities before mounting: an update kit (7) beats the
    // main kit (6) and every loose file.
    ZipWriter mainKit, updateKit;
    mainKit.add("all.txt", "main kit");
    mainKit.add("only.txt", "main kit", ZipMethod::Stored, true);
    updateKit.add("all.txt", "update kit");
    mainKit.writeTo("zibbo.zip");
    updateKit.writeTo("update.u00");
    FRefT<FFileSystem> kits[2];
    const std::pair<const char*, int32_t> order[] = {{"update.u00", 7}, {"zibbo.zip", 6}};
    for (int i = 0; i < 2; ++i) {
        FRefT<FFileEntry> file = winner(order[i].first);
        file->setPriority(order[i].second);
        service().mountArchive(kits[i], file);
    }
    EXPECT_EQ(contentOf(winner("all.txt")), "update kit");
    // The kit's encrypted member keeps the kit's priority.
    EXPECT_EQ(winner("only.txt")->priority(), 6);
    EXPECT_EQ(winner("both.txt")->priority(), 100000);

    // Unmounting takes an archive out; one never mounted changes nothing.
    const size_t mounted = m_module->mounted().size();
    FRefT<FFileSystem> stranger = openArchive(std::filesystem::path("loose.zip"));
    service().unmount(stranger);
    EXPECT_EQ(m_module->mounted().size(), mounted);
    service().unmount(kits[0]);
    EXPECT_EQ(m_module->mounted().size(), mounted - 1);
    EXPECT_EQ(contentOf(winner("all.txt")), "main kit");
}

TEST_F(FileSystemTest, OpenByNameAndDigests)
{
    writeFile("empty.bin", "");
    writeFile("abc.txt", "abc");
    ZipWriter writer;
    writer.add("packed/abc.txt", "abc", ZipMethod::Deflated, true);
    writer.writeTo("digests.zip");
    FRefT<FFileSystem> archive;
    service().mountArchiveByName(archive, u"digests.zip");

    struct Case
    {
        const char16_t* name;
        const char* md5;
    };
    const Case cases[] = {
        {u"empty.bin", "d41d8cd98f00b204e9800998ecf8427e"},
        {u"abc.txt", "900150983cd24fb0d6963f7d28e17f72"},
        {u"packed/abc.txt", "900150983cd24fb0d6963f7d28e17f72"},
    };
    for (const Case& c : cases) {
        FString digest(u"old");
        service().md5OfFile(digest, c.name);
        EXPECT_EQ(utf8(digest), c.md5);
    }

    FRefT<FInStream> stream;
    service().openByName(stream, u"ABC.txt");
    EXPECT_EQ(readAll(stream), "abc");
    EXPECT_NE(failureOf([&] {
                  service().openByName(stream, u"missing.txt");
              }).find("No file is named: missing.txt"),
              std::string::npos);
}

TEST_F(FileSystemTest, CreateAndDelete)
{
    FRefT<FFileSystem> user = service().userAppDataFolder();
    fs::create_directories(m_user / "Nuvant/Zibbo/saves");
    {
        FRefT<FOutStream> out = user->create(u"saves\\x.dat", 100);
        out->write("saved", 5);
    }
    EXPECT_EQ(readFile(m_user / "Nuvant/Zibbo/saves/x.dat"), "saved");

    const fs::path whole = m_temp / "whole.dat";
    {
        FRefT<FOutStream> out = user->create(engineText(whole.string()), 100);
        out->write("elsewhere", 9);
    }
    EXPECT_EQ(readFile(whole), "elsewhere");
    // Archives make no files.
    ZipWriter writer;
    writer.add("a", "a");
    EXPECT_TRUE(openArchive(writer)->create(u"made.dat", 10).isNull());
    EXPECT_FALSE(fs::exists("made.dat"));

    FFileEntryMap found = user->find(u"saves/x.dat");
    ASSERT_EQ(found.size(), 1u);
    service().deleteFile(found.begin()->second);
    EXPECT_FALSE(fs::exists(m_user / "Nuvant/Zibbo/saves/x.dat"));
    // Deleting what is gone already is no failure.
    service().deleteFile(found.begin()->second);
    EXPECT_TRUE(handler.texts.empty());
}

TEST_F(FileSystemTest, ServiceLivesInItsSlotWhileTheModuleLives)
{
    EXPECT_EQ(findService<FFileSystemService>(k_slotFileSystems), &service());
    EXPECT_EQ(m_module->priority(), 13);
    m_module.reset();
    EXPECT_EQ(findService<FFileSystemService>(k_slotFileSystems), nullptr);
}

// The helpers' own checks fail the test they run in; a missing handle does
// not end the whole binary and hide every later result.
TEST(IoTestHelpers, AMissingStreamFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(iotest::readAll(FRefT<FInStream>()), "no stream to read");
}

} // namespace
