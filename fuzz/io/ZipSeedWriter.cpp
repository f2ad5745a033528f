// Writes the seed corpus of the archive fuzzer with our zip writer: small
// archives of every member kind and layout the reader handles.
#include "tools/zipwriter/ZipWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string sample(size_t size, unsigned seed)
{
    std::string text(size, ' ');
    unsigned state = seed;
    for (char& c : text) {
        state = state * 1103515245u + 12345u;
        c = "abcdefgh \n"[(state >> 16) % 10];
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: zip_seed_writer FOLDER...\n");
        return 2;
    }
    std::vector<std::pair<std::string, ZipWriter>> seeds;
    {
        ZipWriter w;
        w.add("readme.txt", sample(300, 1), ZipMethod::Stored);
        seeds.emplace_back("stored.zip", w);
    }
    {
        ZipWriter w;
        w.add("Scripts/Main.lua", sample(5000, 2));
        w.add("data/empty.bin", std::string());
        seeds.emplace_back("deflated.zip", w);
    }
    {
        ZipWriter w;
        w.add("sealed.txt", sample(200, 3), ZipMethod::Stored, true);
        w.add("sealed.z", sample(40000, 4), ZipMethod::Deflated, true);
        seeds.emplace_back("sealed.zip", w);
    }
    {
        ZipWriter w;
        w.add("a", sample(100, 5));
        w.add("A", sample(50, 6), ZipMethod::Stored);
        w.setComment("a comment");
        w.setPrefix(std::vector<uint8_t>(40, '#'));
        seeds.emplace_back("prefixed.zip", w);
    }
    {
        ZipWriter w;
        w.add("m9", sample(10, 7), ZipMethod::Stored).methodField = 9;
        w.add("bad-crc", sample(10, 8), ZipMethod::Stored).crcField = 1;
        w.add("short", sample(3000, 9)).uncompressedSizeField = 4000;
        seeds.emplace_back("odd.zip", w);
    }
    seeds.emplace_back("empty.zip", ZipWriter());

    for (int i = 1; i < argc; ++i) {
        std::filesystem::create_directories(argv[i]);
        for (const auto& [name, writer] : seeds)
            writer.writeTo(std::filesystem::path(argv[i]) / name);
    }
    return 0;
}
