// kittool build: makes the main content kit the game mounts at start from the
// sources in a content folder. So far the kit holds the target file (the
// application's name, from "GWTarget.txt") and the Lua files under "Scripts";
// screen folders and their media join it as their manifests are written.
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/kittool/KitCommand.h"
#include "tools/zipwriter/ZipWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// The first line of the target text, without its line end.
std::string targetText(const fs::path& content)
{
    const std::vector<uint8_t> bytes = kitReadFile(content / "GWTarget.txt");
    std::string text(bytes.begin(), bytes.end());
    text = text.substr(0, text.find_first_of("\r\n"));
    if (text.empty()) throw std::runtime_error("GWTarget.txt names no application");
    return text;
}

// Every regular file below the folder, by member name, in name order so that
// the same sources always give the same kit.
std::vector<std::pair<std::string, fs::path>> scripts(const fs::path& content)
{
    std::vector<std::pair<std::string, fs::path>> files;
    const fs::path folder = content / "Scripts";
    if (!fs::is_directory(folder)) return files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        files.emplace_back(fs::relative(entry.path(), content).generic_string(), entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int kitBuild(const KitArgs& args)
{
    if (args.size() != 2) return kitUsage("build");
    const fs::path content = args[0];
    const fs::path out = args[1];
    if (!fs::is_directory(content)) throw std::runtime_error(content.string() + " is not a folder");

    ZipWriter kit;
    kit.add("GWTarget", writeTarget(targetText(content)));
    const auto files = scripts(content);
    for (const auto& [name, path] : files)
        kit.add(name, kitReadFile(path));

    fs::create_directories(out);
    const fs::path kitPath = out / "Zibbo.zip";
    const fs::path partPath = out / "Zibbo.zip.part";
    {
        const std::vector<uint8_t> bytes = kit.build();
        std::ofstream file(partPath, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            fs::remove(partPath, ignored);
            throw std::runtime_error("cannot write " + partPath.string());
        }
    }
    // A kit is replaced whole, so a failed build never leaves half a kit where the game looks.
    fs::rename(partPath, kitPath);
    std::printf("built %s: %zu members, %ju bytes\n", kitPath.string().c_str(), files.size() + 1,
                static_cast<uintmax_t>(fs::file_size(kitPath)));
    return 0;
}
