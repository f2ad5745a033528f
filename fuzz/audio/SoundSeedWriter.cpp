// Writes the seed corpus of one sound harness, made by our own writers.
// Usage: sound_seed_writer gwsample|vorbis DIR.
#include "tools/audiowriters/GwSampleWriter.h"
#include "tools/audiowriters/VorbisWriter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<int16_t> wave(int frames, int channels)
{
    std::vector<int16_t> out;
    for (int k = 0; k < frames; ++k)
        for (int c = 0; c < channels; ++c)
            out.push_back(static_cast<int16_t>(7000 * std::sin(0.03 * k * (c + 1))));
    return out;
}

std::vector<Bytes> seeds(const std::string& kind)
{
    if (kind == "gwsample") {
        return {writeGwSample({1, 22050, false, false, false, 0, 0}, wave(101, 1)),
                writeGwSample({2, 44100, false, true, true, 10, 40}, wave(64, 2)),
                writeGwSample({2, 11025, true, false, false, 0, 0}, wave(80, 2))};
    }
    if (kind == "vorbis") {
        VorbisSpec looping;
        looping.channels = 1;
        looping.rate = 22050;
        looping.loops = true;
        looping.loopStart = 5;
        looping.loopLength = 100;
        VorbisSpec longComment;
        longComment.comments = {"DESCRIPTION=" + std::string(6000, 'y')};
        return {writeVorbis(looping, wave(600, 1)), writeVorbis(longComment, wave(300, 2))};
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: sound_seed_writer gwsample|vorbis DIR\n");
        return 2;
    }
    const std::vector<Bytes> files = seeds(argv[1]);
    if (files.empty()) {
        std::fprintf(stderr, "sound_seed_writer: unknown kind '%s'\n", argv[1]);
        return 2;
    }
    const std::filesystem::path dir(argv[2]);
    std::filesystem::create_directories(dir);
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::ofstream out(dir / ("seed" + std::to_string(i)), std::ios::binary);
        out.write(reinterpret_cast<const char*>(files[i].data()),
                  static_cast<std::streamsize>(files[i].size()));
        if (!out) {
            std::fprintf(stderr, "sound_seed_writer: cannot write into %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
