// Writes the seed corpus of the text layout harness.
// Usage: text_seed_writer DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 2) {
        std::fprintf(stderr, "usage: text_seed_writer DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    struct Seed
    {
        unsigned char options;
        std::u16string text;
    };
    const std::vector<Seed> seeds = {
        {0x51, u"a\\C2\\b\\c9\\W"},    {0x51, u"ab\\"},
        {0x51, u"\\C70000\\a"},        {0x51, u"\\S5\\a\\I3\\"},
        {0x51, u"\\Cx\\C1"},           {0x50, u"\\C1\\a\\\\b"},
        {0x1B, u"aaa bbb\n\nccc W W"}, {0x03, u"abcabcabcabc"},
        {0x7F, u"a\x07\rb\\\\"},       {0x01, u""},
    };
    int n = 0;
    for (const Seed& seed : seeds) {
        std::ofstream out(dir / ("seed" + std::to_string(n++)), std::ios::binary);
        out.put(static_cast<char>(seed.options));
        for (char16_t c : seed.text) {
            out.put(static_cast<char>(c & 0xFF));
            out.put(static_cast<char>(c >> 8));
        }
    }
    return 0;
}
