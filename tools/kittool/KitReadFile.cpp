// The whole of an input file for the commands that load one through the
// engine's readers, and the whole of an output file for those that write one.
#include "tools/kittool/KitCommand.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::vector<uint8_t> kitReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("cannot read " + path);
    return bytes;
}

void kitWriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}
