// Writes the seed corpus of one image harness: small files of every kind the
// loader takes, made by our own writers. Usage: image_seed_writer KIND DIR,
// KIND one of jpeg, png, j32, pvr.
#include "tools/imagewriters/ContainerWriters.h"
#include "tools/imagewriters/JpegWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "tools/imagewriters/TestPicture.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes jpeg(int32_t w, int32_t h, JpegOptions::Sampling sampling, int restart = 0)
{
    JpegOptions o;
    o.sampling = sampling;
    o.restartInterval = restart;
    o.quality = 75;
    return writeJpeg(TestPicture::make(w, h, static_cast<uint32_t>(w * 31 + h)), o);
}

Bytes png(int colorType, int depth, int32_t w, int32_t h, bool interlaced = false, bool ancillary = false)
{
    PngPicture p;
    p.width = w;
    p.height = h;
    p.colorType = colorType;
    p.bitDepth = depth;
    p.interlaced = interlaced;
    p.ancillary = ancillary;
    p.samples.resize(p.rowBytes() * h);
    for (std::size_t i = 0; i < p.samples.size(); ++i)
        p.samples[i] = static_cast<uint8_t>(i * 37);
    if (colorType == 3) {
        for (int i = 0; i < (1 << depth) * 3; ++i)
            p.paletteRgb.push_back(static_cast<uint8_t>(i * 11));
        p.transparency = {0, 128};
    }
    return writePng(p);
}

// A grey or RGB picture whose key colour stands for transparent.
Bytes pngWithKey(int colorType, int depth)
{
    PngPicture p;
    p.width = 5;
    p.height = 4;
    p.colorType = colorType;
    p.bitDepth = depth;
    p.samples.resize(p.rowBytes() * 4);
    for (std::size_t i = 0; i < p.samples.size(); ++i)
        p.samples[i] = static_cast<uint8_t>(i * 13);
    p.transparency = colorType == 0 ? Bytes{0, 1} : Bytes{0, 1, 0, 2, 0, 3};
    return writePng(p);
}

// A picture followed by the header of an ancillary chunk that claims about
// 2 GB and brings no data: the loader must fail without trying to hold it.
Bytes pngWithHugeChunk()
{
    Bytes bytes = png(2, 8, 4, 3);
    const std::size_t afterHeader = 8 + 25; // signature, IHDR chunk
    const uint8_t chunk[] = {0x7A, 0x28, 0x01, 0x30, 's', 'P', 'L', 'T'};
    bytes.insert(bytes.begin() + static_cast<long>(afterHeader), std::begin(chunk), std::end(chunk));
    bytes.resize(afterHeader + sizeof(chunk));
    return bytes;
}

// Every colour type at every bit depth it allows, plain and interlaced, with
// and without ancillary chunks, key colours, and trimmed pictures.
std::vector<Bytes> pngSeeds()
{
    const std::pair<int, std::vector<int>> depths[] = {
        {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
    std::vector<Bytes> out;
    for (const auto& [colorType, list] : depths) {
        for (int depth : list) {
            out.push_back(png(colorType, depth, 7, 5));
            out.push_back(png(colorType, depth, 9, 9, true));
            out.push_back(png(colorType, depth, 3, 2, depth == list.front(), true));
        }
    }
    for (int depth : {1, 8, 16})
        out.push_back(pngWithKey(0, depth));
    out.push_back(pngWithKey(2, 8));
    out.push_back(pngWithKey(2, 16));
    out.push_back(concat(png(6, 8, 3, 3), placementTrailer(1, 1, 10, 10)));
    out.push_back(concat(png(3, 8, 4, 4, true, true), placementTrailer(0, 6, 4, 10)));
    out.push_back(concat(png(0, 8, 2, 2), placementTrailer(16382, 0, 16384, 2)));
    out.push_back(pngWithHugeChunk());
    return out;
}

std::vector<Bytes> seeds(const std::string& kind)
{
    if (kind == "jpeg")
        return {jpeg(8, 8, JpegOptions::k420),
                jpeg(17, 9, JpegOptions::k444),
                jpeg(16, 16, JpegOptions::k422),
                jpeg(20, 12, JpegOptions::k411),
                jpeg(16, 16, JpegOptions::k420, 1),
                concat(jpeg(9, 7, JpegOptions::k420), placementTrailer(2, 3, 30, 20))};
    if (kind == "png") return pngSeeds();
    if (kind == "j32")
        return {writeJ32(jpeg(8, 8, JpegOptions::k420), png(0, 8, 8, 8)),
                writeJ32(jpeg(5, 3, JpegOptions::k444), png(6, 8, 5, 3), placementTrailer(1, 2, 9, 9))};
    if (kind == "pvr") {
        PvrFile a;
        a.width = 8;
        a.height = 8;
        a.bitCount = 2;
        a.payload.assign(16, 0x5A);
        PvrFile b = a;
        b.bitCount = 4;
        b.payload.assign(32, 0xC3);
        b.placement = {1, 2, 9, 10, 16, 16};
        return {writePvr(a), writePvr(b)};
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: image_seed_writer jpeg|png|j32|pvr DIR\n");
        return 2;
    }
    const std::vector<Bytes> files = seeds(argv[1]);
    if (files.empty()) {
        std::fprintf(stderr, "image_seed_writer: unknown kind '%s'\n", argv[1]);
        return 2;
    }
    const std::filesystem::path dir(argv[2]);
    std::filesystem::create_directories(dir);
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::ofstream out(dir / ("seed-" + std::to_string(i)), std::ios::binary);
        out.write(reinterpret_cast<const char*>(files[i].data()),
                  static_cast<std::streamsize>(files[i].size()));
        if (!out) {
            std::fprintf(stderr, "image_seed_writer: cannot write into %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
