#pragma once

// Writes a manifest's screen file and placeholder assets into a test's own
// folder, as `kittool screenfile MANIFEST INTO` does. The game's own manifests
// (content/screens, content/worlds) were written once by the build (see
// zibbo_test_screen_files in cmake/Zibbo.cmake) and are copied from there;
// any other manifest, such as a test's own fixture, runs the tool. Needs
// KITTOOL_PATH, TEST_SCREEN_FILES and TEST_CONTENT_DIR, which that CMake
// function defines.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

inline bool writeScreenFiles(const std::filesystem::path& manifest, const std::filesystem::path& into)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const std::string kind = manifest.parent_path().filename().string();
    const bool ours = (kind == "screens" || kind == "worlds") &&
                      fs::equivalent(manifest.parent_path().parent_path(), fs::path(TEST_CONTENT_DIR), error);
    const fs::path built = fs::path(TEST_SCREEN_FILES) / kind / manifest.stem();
    if (ours && fs::is_regular_file(fs::path(built).concat(".done"))) {
        fs::create_directories(into, error);
        fs::copy(built, into, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
        if (error) ADD_FAILURE() << "copying " << built << " into " << into << ": " << error.message();
        return !error;
    }
    const std::string command = std::string(KITTOOL_PATH) + " screenfile \"" + manifest.string() + "\" \"" +
                                into.string() + "\" > /dev/null";
    const int status = std::system(command.c_str());
    if (status != 0) ADD_FAILURE() << command << " ended with " << status;
    return status == 0;
}
