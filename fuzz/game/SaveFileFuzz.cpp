// Loads arbitrary bytes as a saved profile or settings file, with a side file
// that matches them, so every input gets past the checksum to the document
// and key checks. Saved files are user-writable: no input may raise a failure
// report (that would stop the game at start-up), crash, overrun or leak.
//
// Input: the first byte picks the file (even: profile "Pdl_0.p", odd:
// "globalsDL.dat"), the rest is the file's content.

#include "game/core/GlobalSettings.h"
#include "game/core/PlayerProfile.h"
#include "game/core/SaveManager.h"
#include "platform/FDurableStoragePosix.h"
#include "support/QuietErrorHandler.h"

#include "core/FErrorHandler.h"
#include "io/FMemoryOutStreambuf.h"
#include "io/FNativePath.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::filesystem::path& scratchFolder()
{
    static std::filesystem::path s_folder =
        std::filesystem::temp_directory_path() / ("zibbo-fuzz-saves-" + std::to_string(getpid()));
    return s_folder;
}

// The save manager over a scratch data folder of this process, removed when
// the process ends.
SaveManager& saveManager()
{
    static SaveManager* s_manager = [] {
        const std::filesystem::path& base = scratchFolder();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        setenv("XDG_DATA_HOME", base.c_str(), 1);
        static FDurableStoragePosix s_storage;
        auto* manager = new SaveManager(&s_storage);
        manager->attachDefaultFileSystem();
        return manager;
    }();
    return *s_manager;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QuietErrorHandler::installForProcess(false);
    if (size == 0) return 0;

    SaveManager& manager = saveManager();
    const bool settingsFile = (data[0] & 1) != 0;
    const std::string name = settingsFile ? GlobalSettings::k_fileName : "Pdl_0.p";
    const std::string content(reinterpret_cast<const char*>(data + 1), size - 1);
    const FDigestBytes digest = SaveManager::digestOf(content);
    const std::filesystem::path folder = FNativePath::toNative(manager.fileSystem()->root());
    writeFile(folder / name, content);
    writeFile(folder / (name + ".crc"),
              std::string(reinterpret_cast<const char*>(digest.data()), digest.length));

    try {
        if (settingsFile) {
            GlobalSettings settings(manager);
            settings.load();
        } else {
            PlayerProfile profile(FString("<>"));
            if (profile.load(manager.loadData(FString(name.c_str())))) {
                // What loaded must save again within the profile file's limit.
                FMemoryOutStreambuf* buffer = engineNew<FMemoryOutStreambuf>(k_memObject, 4311);
                profile.save(FOutStream::make(buffer));
            }
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "a saved file raised: %s\n", failure.what());
        std::abort();
    }
    return 0;
}
