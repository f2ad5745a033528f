#include "platform/FRuntimeFolder.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A usable XDG_RUNTIME_DIR is kept; anything else is replaced by a private
// folder below TMPDIR, and the replacement is reported.
TEST(FRuntimeFolder, KeepsAPrivateFolderAndFallsBackOtherwise)
{
    const fs::path scratch = fs::temp_directory_path() / ("zibbo-runtime-test-" + std::to_string(getpid()));
    fs::create_directories(scratch / "private");
    fs::permissions(scratch / "private", fs::perms::owner_all, fs::perm_options::replace);
    fs::create_directories(scratch / "open");
    fs::permissions(scratch / "open",
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace);
    fs::create_directory_symlink(scratch / "private", scratch / "link");
    std::ofstream(scratch / "file") << "x";
    fs::create_directories(scratch / "tmp");
    EnvGuard temp("TMPDIR", (scratch / "tmp").c_str());
    const std::string fallback = (scratch / "tmp" / ("zibbo-runtime-" + std::to_string(getuid()))).string();

    const struct
    {
        const char* what;
        const char* value; // null: unset
        bool belowScratch; // the value names an entry of the scratch folder
        bool kept;
        const char* report;
    } cases[] = {
        {"private folder", "private", true, true, ""},
        {"unset", nullptr, false, false, "XDG_RUNTIME_DIR is not set; using "},
        {"empty", "", false, false, "XDG_RUNTIME_DIR names no private folder; using "},
        {"relative", "private", false, false, "XDG_RUNTIME_DIR names no private folder; using "},
        {"folder others may enter", "open", true, false, "XDG_RUNTIME_DIR names no private folder; using "},
        {"link to a private folder", "link", true, false, "XDG_RUNTIME_DIR names no private folder; using "},
        {"a file", "file", true, false, "XDG_RUNTIME_DIR names no private folder; using "},
        {"missing", "missing", true, false, "XDG_RUNTIME_DIR names no private folder; using "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string value = c.value == nullptr ? ""
                                  : c.belowScratch   ? (scratch / c.value).string()
                                                     : c.value;
        EnvGuard runtime("XDG_RUNTIME_DIR", c.value == nullptr ? nullptr : value.c_str());
        const std::string report = FRuntimeFolder::prepare();
        EXPECT_EQ(report, c.kept ? std::string() : std::string(c.report) + fallback);
        EXPECT_STREQ(std::getenv("XDG_RUNTIME_DIR"), c.kept ? value.c_str() : fallback.c_str());
        EXPECT_TRUE(FRuntimeFolder::isUsable(std::getenv("XDG_RUNTIME_DIR")));
    }

    // A fallback folder that others may enter (someone else's, or tampered
    // with) is not taken: the variable stays as it was.
    fs::permissions(fallback, fs::perms::owner_all | fs::perms::others_all, fs::perm_options::replace);
    {
        EnvGuard runtime("XDG_RUNTIME_DIR", nullptr);
        EXPECT_EQ(FRuntimeFolder::prepare(), "");
        EXPECT_EQ(std::getenv("XDG_RUNTIME_DIR"), nullptr);
    }
    fs::remove_all(scratch);
}

} // namespace
