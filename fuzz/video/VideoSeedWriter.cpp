// Writes the seed corpus of the GW video harness: small videos with every
// record kind, sequences and key frames, made by our own writers.
// Usage: video_seed_writer DIR.
#include "tools/videowriters/GwVideoWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

PngPicture withDeltaKeys(PngPicture p)
{
    for (std::size_t i = 3; i < p.samples.size(); i += 8)
        p.samples[i] = 1;
    return p;
}

std::vector<Bytes> seeds()
{
    std::vector<Bytes> out;
    GwVideoFile plain;
    for (uint32_t i = 0; i < 4; ++i)
        plain.frames.push_back(GwFrameRecord::png(gwTestPngPicture(4, 3, i)));
    plain.keyFrames = {{0, -1}, {2, -1}};
    out.push_back(writeGwVideo(plain));

    GwVideoFile mixed = plain;
    mixed.frames.push_back(GwFrameRecord::png(withDeltaKeys(gwTestPngPicture(4, 3, 9)), true));
    mixed.frames.push_back(GwFrameRecord::repeatFrameZero());
    mixed.frames.push_back(GwFrameRecord::empty(0x07));
    mixed.frames.push_back(GwFrameRecord::jpeg(TestPicture::make(8, 8, 3)));
    mixed.frames.push_back(GwFrameRecord::jpeg32(TestPicture::make(4, 3, 4), gwTestPngPicture(4, 3, 5)));
    PvrFile pvr;
    pvr.width = 4;
    pvr.height = 4;
    pvr.payload.assign(8, 0x3C);
    mixed.frames.push_back(GwFrameRecord::pvr(pvr));
    mixed.frames.push_back(GwFrameRecord::png(gwTestPngPicture(4, 3, 11)));
    mixed.keyFrames.push_back({8, -1});
    out.push_back(writeGwVideo(mixed));

    GwVideoFile sequences = plain;
    sequences.sequenceBlock = true;
    GwSequence walk;
    walk.name = "walk";
    walk.loop = 1;
    walk.entries.resize(3);
    walk.entries[1].startsGroup = true;
    sequences.sequences = {walk, GwSequence{"idle", 0, {}}};
    out.push_back(writeGwVideo(sequences));

    GwVideoFile noKeys = mixed;
    noKeys.keyFrames.clear();
    out.push_back(writeGwVideo(noKeys));
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: video_seed_writer DIR\n");
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir);
    const std::vector<Bytes> files = seeds();
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::ofstream out(dir / ("seed-" + std::to_string(i)), std::ios::binary);
        out.write(reinterpret_cast<const char*>(files[i].data()),
                  static_cast<std::streamsize>(files[i].size()));
        if (!out) {
            std::fprintf(stderr, "video_seed_writer: cannot write into %s\n", argv[1]);
            return 1;
        }
    }
    return 0;
}
