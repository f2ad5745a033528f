#pragma once

// Shared by the kittool decode tests: files in and out of the current folder,
// and kittool decode run as a program.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline void spill(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// kittool decode IN OUT with its standard output in out.txt and its standard
// error in err.txt; the exit code (-1 when it did not exit).
inline int decode(const std::string& in, const std::string& out)
{
    const std::string command =
        std::string(KITTOOL_PATH) + " decode " + in + " " + out + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return (status & 0x7F) == 0 ? (status >> 8) & 0xFF : -1;
}
