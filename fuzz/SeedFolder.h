#pragma once

// Writes a seed corpus: each seed as "seed<n>" in the folder (made when missing).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline void writeSeedFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeSeedFolder(const std::filesystem::path& folder,
                            const std::vector<std::vector<uint8_t>>& seeds)
{
    std::filesystem::create_directories(folder);
    for (std::size_t index = 0; index < seeds.size(); ++index)
        writeSeedFile(folder / ("seed" + std::to_string(index)), seeds[index]);
}

// The whole main of a seed writer whose only argument is the folder.
inline int writeSeedFolderMain(int argc, char** argv, std::vector<std::vector<uint8_t>> (*seeds)())
{
    if (argc != 2) return 2;
    writeSeedFolder(argv[1], seeds());
    return 0;
}
