#pragma once

// Shared by the tests that run kittool (and our other tools) as programs:
// files in and out of the scratch folder, and the exit code of a shell command.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline void spill(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string slurp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs COMMAND through the shell; its exit code, or -1 when a signal ended it.
// std::system answers a wait status: the exit code sits in its second byte
// when the low seven bits (the ending signal) are zero.
inline int exitCodeOf(const std::string& command)
{
    const int status = std::system(command.c_str());
    return (status & 0x7F) == 0 ? (status >> 8) & 0xFF : -1;
}
