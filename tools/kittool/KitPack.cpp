// kittool pack OUT.zip DIR: packs a folder into a kit.
//
// Member names are the files' paths below DIR with '/' separators. The engine
// looks members up by their lower-cased path, so two files whose paths differ
// only in case would shadow each other: that is refused. Each file is
// deflated when that makes it smaller and stored otherwise (already
// compressed images, sound and video).
#include "tools/kittool/KitCommand.h"
#include "tools/zipwriter/ZipWriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> readWholeFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string lowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

} // namespace

int kitPack(const KitArgs& args)
{
    if (args.size() != 2) return kitUsage("pack");
    const fs::path out = args[0];
    const fs::path dir = args[1];
    if (!fs::is_directory(dir)) throw std::runtime_error("not a folder: " + dir.string());

    // Sorted by name, so the same folder always gives the same kit.
    std::map<std::string, fs::path> files;
    std::map<std::string, std::string> byKey;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().lexically_relative(dir).generic_string();
        const auto [clash, fresh] = byKey.emplace(lowerAscii(name), name);
        if (!fresh)
            throw std::runtime_error("two files differ only in case: " + clash->second + " and " + name);
        files.emplace(name, entry.path());
    }

    ZipWriter writer;
    for (const auto& [name, path] : files) {
        std::vector<uint8_t> data = readWholeFile(path);
        const bool deflate = !data.empty() && zipDeflate(data.data(), data.size()).size() < data.size();
        writer.add(name, std::move(data), deflate ? ZipMethod::Deflated : ZipMethod::Stored);
    }
    writer.writeTo(out);
    std::printf("packed %zu files into %s\n", files.size(), out.string().c_str());
    return 0;
}
