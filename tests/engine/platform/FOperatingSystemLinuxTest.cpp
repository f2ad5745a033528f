#include "EnvGuard.h"

#include "platform/FOperatingSystemLinux.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// The XDG and home variables a case sets; null unsets one.
struct Variables
{
    const char* dataDirs;
    const char* dataHome;
    const char* home;
    const char* configDirs;
    const char* tmpDir;
};

TEST(FOperatingSystemLinuxTest, FolderKindsFollowTheEnvironmentAndFallBackWhenItIsUnsetOrEmpty)
{
    using OS = FOperatingSystem;
    struct Case
    {
        Variables set;
        std::string sharedData, userData, sharedConfig, temp;
    } cases[] = {
        {{"/a/share:/b/share", "/u/data", "/home/t", "/cfg:/etc/xdg", "/scratch"},
         "/a/share",
         "/u/data",
         "/cfg",
         "/scratch"},
        {{nullptr, nullptr, "/home/t", nullptr, nullptr},
         "/usr/local/share",
         "/home/t/.local/share",
         "/etc/xdg",
         "/tmp"},
        {{nullptr, nullptr, nullptr, nullptr, nullptr},
         "/usr/local/share",
         "/.local/share",
         "/etc/xdg",
         "/tmp"},
        // An empty value or an empty first entry counts as unset.
        {{":/b/share", "", "", ":/etc/xdg", ""}, "/usr/local/share", "/.local/share", "/etc/xdg", "/tmp"},
    };
    FOperatingSystemLinux system;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sharedData + " " + c.userData);
        const EnvGuard dataDirs("XDG_DATA_DIRS", c.set.dataDirs);
        const EnvGuard dataHome("XDG_DATA_HOME", c.set.dataHome);
        const EnvGuard home("HOME", c.set.home);
        const EnvGuard configDirs("XDG_CONFIG_DIRS", c.set.configDirs);
        const EnvGuard tmpDir("TMPDIR", c.set.tmpDir);
        EXPECT_EQ(system.folder(OS::k_sharedDataFolder), c.sharedData);
        EXPECT_EQ(system.folder(OS::k_userDataFolder), c.userData);
        EXPECT_EQ(system.folder(OS::k_sharedConfigFolder), c.sharedConfig);
        EXPECT_EQ(system.folder(OS::k_tempFolder), c.temp);
        EXPECT_EQ(system.folder(OS::k_sharedFilesFolder), "/usr/share");
    }
    // The program's own folder is the one this test binary lies in.
    const std::filesystem::path executable = system.folder(OS::k_executableFolder);
    EXPECT_TRUE(std::filesystem::exists(executable / "platform_tests")) << executable;
}

TEST(FOperatingSystemLinuxTest, VariablesVersionAndMemoryComeFromTheSystem)
{
    FOperatingSystemLinux system;
    {
        const EnvGuard set("ZIBBO_TEST_VARIABLE", "a value");
        EXPECT_EQ(system.environment("ZIBBO_TEST_VARIABLE"), "a value");
    }
    EXPECT_EQ(system.environment("ZIBBO_TEST_VARIABLE"), "");
    const std::string version = system.version();
    EXPECT_EQ(version.rfind("Linux ", 0), 0u) << version;
    EXPECT_EQ(version.find("unknown"), std::string::npos) << version;
    // A megabyte held and touched shows in the peak.
    uint32_t resident = 0, peak = 0;
    const auto block = std::make_unique<std::vector<char>>(1 << 20, 'x');
    ASSERT_TRUE(system.memoryUse(resident, peak));
    EXPECT_GT(resident, 1024u);
    EXPECT_GE(peak, resident);
}

TEST(FOperatingSystemLinuxTest, TheTestMainInstalledIt)
{
    const EnvGuard set("ZIBBO_TEST_VARIABLE", "installed");
    EXPECT_EQ(FOperatingSystem::current().environment("ZIBBO_TEST_VARIABLE"), "installed");
    EXPECT_NE(dynamic_cast<const FOperatingSystemLinux*>(&FOperatingSystem::current()), nullptr);
}

} // namespace
