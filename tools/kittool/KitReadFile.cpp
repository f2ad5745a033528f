// The whole of an input file for the commands that load one through the
// engine's readers.
#include "tools/kittool/KitCommand.h"

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
