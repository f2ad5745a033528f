// kittool pack OUT.zip DIR: packs a folder into a kit.
//
// Member names are the files' paths below DIR with '/' separators. The engine
// looks members up by their lower-cased path, so two files whose paths differ
// only in case would shadow each other: that is refused. Each file is
// deflated when that makes it smaller and stored otherwise (already
// compressed images, sound and video), streamed in blocks whatever its size.
//
// Only what lies in the folder goes in: a link is followed when it leads to a
// file inside the folder, and every entry left out (links leading out of it or
// nowhere, links to folders, pipes, devices, sockets) is named on standard
// error. The kit being written is never packed into itself, and a file that
// would be packed is never overwritten by the kit.
#include "tools/kittool/KitCommand.h"
#include "tools/zipwriter/ZipStreamWriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::string lowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

bool isInside(const fs::path& path, const fs::path& folder)
{
    const fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

// Whether the file starts as a zip archive does (a previous kit).
bool looksLikeKit(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    char signature[4] = {};
    in.read(signature, 4);
    return in.gcount() == 4 && signature[0] == 'P' && signature[1] == 'K' &&
           ((signature[2] == 3 && signature[3] == 4) || (signature[2] == 5 && signature[3] == 6));
}

// Why the entry is left out, or nothing when it is packed.
std::string whySkipped(const fs::directory_entry& entry, const fs::path& folder)
{
    std::error_code error;
    if (entry.is_symlink(error)) {
        const fs::path target = fs::canonical(entry.path(), error);
        if (error) return "a link that leads nowhere";
        if (!isInside(target, folder)) return "a link that leads out of the folder";
        if (fs::is_directory(target)) return "a link to a folder";
    }
    if (entry.is_directory(error)) return {};
    if (!entry.is_regular_file(error)) return "not a regular file";
    return {};
}

} // namespace

int kitPack(const KitArgs& args)
{
    if (args.size() != 2) return kitUsage("pack");
    const fs::path out = args[0];
    const fs::path dir = args[1];
    if (!fs::is_directory(dir)) throw std::runtime_error("not a folder: " + dir.string());
    const fs::path folder = fs::canonical(dir);
    const fs::path outPath = fs::weakly_canonical(out);

    // Sorted by name, so the same folder always gives the same kit.
    std::map<std::string, fs::path> files;
    std::map<std::string, std::string> byKey;
    std::size_t skipped = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string name = entry.path().lexically_relative(dir).generic_string();
        const std::string why = whySkipped(entry, folder);
        if (!why.empty()) {
            std::fprintf(stderr, "kittool pack: skipped %s: %s\n", name.c_str(), why.c_str());
            ++skipped;
            continue;
        }
        if (entry.is_directory()) continue;
        std::error_code error;
        if (fs::exists(outPath) && fs::equivalent(entry.path(), outPath, error)) {
            // The kit from the last run is left out; any other file is not
            // overwritten.
            if (fs::weakly_canonical(entry.path()) == outPath && looksLikeKit(outPath)) continue;
            throw std::runtime_error("refusing to overwrite " + name + ", a file being packed");
        }
        const auto [clash, fresh] = byKey.emplace(lowerAscii(name), name);
        if (!fresh)
            throw std::runtime_error("two files differ only in case: " + clash->second + " and " + name);
        files.emplace(name, entry.path());
    }

    try {
        ZipStreamWriter writer(out);
        for (const auto& [name, path] : files)
            writer.addFile(name, path);
        writer.finish();
    } catch (...) {
        // A kit cut short is worse than none; only a file of our own goes.
        std::error_code ignored;
        if (fs::is_regular_file(out, ignored)) fs::remove(out, ignored);
        throw;
    }
    std::printf("packed %zu files into %s", files.size(), out.string().c_str());
    if (skipped > 0) std::printf(" (%zu entries skipped)", skipped);
    std::printf("\n");
    return 0;
}
