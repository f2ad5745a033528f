// videowriter: makes the videos of our content from image files.
//
//   videowriter gw OUT.gwvideo [--fps N] [--key F]... [--delta F]... [--repeat F]... IMAGE...
//     One frame per image (".png", ".jpg", ".j32", ".pvr"), in order; --key
//     makes frame F a key frame, --delta marks it a delta (its pixels of
//     alpha 1 keep the previous picture), --repeat adds a repeat of frame 0
//     at F (the images fill the other places). An image without a placement
//     trailer gets one covering its whole picture.
//   videowriter theora OUT.theora [--fps N[/D]] [--sampling 420|422|444]
//               [--quality 0-63] [--key-interval N] PNG...
//     One frame per PNG, all of one size, through libtheora's encoder.
//
// Exit codes: 0 done, 1 a failure (its text on standard error), 2 wrong usage.
#include "core/FDebug.h"
#include "core/FMemory.h"
#include "image/FImage.h"
#include "image/FPngLoader.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "tools/videowriters/TheoraWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

uint32_t bigEndian(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

uint32_t littleEndian(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

std::string extensionOf(const std::string& path)
{
    std::string e = std::filesystem::path(path).extension().string();
    std::transform(e.begin(), e.end(), e.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return e;
}

// The PNG's picture through the engine's loader.
void loadPng(Bytes& bytes, FImage& image)
{
    FInStream stream(
        engineNew<FMemoryStreambuf>(k_memStream, bytes.data(), static_cast<int64_t>(bytes.size())));
    FPngLoader::load(stream, image);
}

// PNG and J32 files end with the PNG end chunk, JPEG files with the end-of-image
// marker, unless a placement trailer follows.
bool endsWithoutTrailer(const Bytes& b)
{
    const std::size_t n = b.size();
    if (n >= 12 && std::memcmp(&b[n - 8], "IEND", 4) == 0) return true;
    return n >= 2 && b[n - 2] == 0xFF && b[n - 1] == 0xD9;
}

// The picture size a PNG chunk header, a JPEG frame header or a J32's PNG gives.
void pictureSize(const Bytes& b, const std::string& extension, int32_t& w, int32_t& h)
{
    std::size_t at = 0;
    if (extension == ".j32") {
        static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        const auto found = std::search(b.begin(), b.end(), std::begin(signature), std::end(signature));
        at = static_cast<std::size_t>(found - b.begin());
    }
    if (extension == ".png" || extension == ".j32") {
        if (at + 24 > b.size()) throw std::runtime_error("no PNG header");
        w = static_cast<int32_t>(bigEndian(&b[at + 16]));
        h = static_cast<int32_t>(bigEndian(&b[at + 20]));
        return;
    }
    for (std::size_t i = 2; i + 9 < b.size(); ++i) {
        if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC1)) {
            h = (b[i + 5] << 8) | b[i + 6];
            w = (b[i + 7] << 8) | b[i + 8];
            return;
        }
    }
    throw std::runtime_error("no JPEG frame header");
}

GwFrameRecord recordOf(const std::string& path, bool delta)
{
    const std::string extension = extensionOf(path);
    GwFrameRecord r;
    r.body = readFile(path);
    if (extension == ".pvr") {
        if (r.body.size() < 52) throw std::runtime_error(path + ": not a PVR file");
        const uint32_t dataSize = littleEndian(&r.body[20]);
        if (r.body.size() == 52 + std::size_t{dataSize}) {
            const auto w = static_cast<int32_t>(littleEndian(&r.body[8]));
            const auto h = static_cast<int32_t>(littleEndian(&r.body[4]));
            for (int32_t v : {0, 0, w, h, w, h})
                for (int shift = 24; shift >= 0; shift -= 8)
                    r.body.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> shift));
        }
        r.type = 0x02;
        r.body.resize(r.body.size() + 16, 0);
        return r;
    }
    if (extension == ".png")
        r.type = 0x10;
    else if (extension == ".jpg" || extension == ".jpeg")
        r.type = 0x11;
    else if (extension == ".j32")
        r.type = 0x12;
    else
        throw std::runtime_error(path + ": not a .png, .jpg, .j32 or .pvr image");
    if (delta) r.type |= 0x08;
    if (endsWithoutTrailer(r.body)) {
        int32_t w = 0;
        int32_t h = 0;
        pictureSize(r.body, extension, w, h);
        const Bytes trailer = placementTrailer(0, 0, w, h);
        r.body.insert(r.body.end(), trailer.begin(), trailer.end());
    }
    return r;
}

bool number(const std::string& text, long low, long high, long& value)
{
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && value >= low && value <= high;
}

int usage()
{
    std::fprintf(
        stderr,
        "usage: videowriter gw OUT.gwvideo [--fps N] [--key F]... [--delta F]... [--repeat F]... IMAGE...\n"
        "       videowriter theora OUT.theora [--fps N[/D]] [--sampling 420|422|444] [--quality 0-63]\n"
        "                   [--key-interval N] PNG...\n");
    return 2;
}

int writeGw(const std::vector<std::string>& args)
{
    GwVideoFile file;
    std::set<long> keys, deltas, repeats;
    std::vector<std::string> images;
    for (std::size_t i = 1; i < args.size(); ++i) {
        long v = 0;
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--fps" && hasValue && number(args[i + 1], 1, 100, v)) {
            file.frameRate = static_cast<uint32_t>(v);
        } else if (args[i] == "--key" && hasValue && number(args[i + 1], 0, 99999, v)) {
            keys.insert(v);
        } else if (args[i] == "--delta" && hasValue && number(args[i + 1], 0, 99999, v)) {
            deltas.insert(v);
        } else if (args[i] == "--repeat" && hasValue && number(args[i + 1], 1, 99999, v)) {
            repeats.insert(v);
        } else if (args[i].rfind("--", 0) == 0) {
            return usage();
        } else {
            images.push_back(args[i]);
            continue;
        }
        ++i;
    }
    if (images.empty()) return usage();
    std::size_t next = 0;
    for (long f = 0; next < images.size() || repeats.count(f) != 0; ++f) {
        if (repeats.count(f) != 0)
            file.frames.push_back(GwFrameRecord::repeatFrameZero());
        else
            file.frames.push_back(recordOf(images[next++], deltas.count(f) != 0));
    }
    for (long k : keys) {
        if (k >= static_cast<long>(file.frames.size()))
            throw std::runtime_error("key frame past the last frame");
        file.keyFrames.push_back({static_cast<int32_t>(k), -1});
    }
    if (file.keyFrames.size() > 250) throw std::runtime_error("more than 250 key frames");
    writeFile(args[0], writeGwVideo(file));
    std::printf("%s: %zu frames, %zu key frames, %u fps\n", args[0].c_str(), file.frames.size(),
                file.keyFrames.size(), file.frameRate);
    return 0;
}

int writeTheoraClip(const std::vector<std::string>& args)
{
    TheoraClip clip;
    for (std::size_t i = 1; i < args.size(); ++i) {
        long v = 0;
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--fps" && hasValue) {
            const std::string text = args[i + 1];
            const std::size_t slash = text.find('/');
            long d = 1;
            if (!number(text.substr(0, slash), 1, 1000000, v) ||
                (slash != std::string::npos && !number(text.substr(slash + 1), 1, 1000000, d)))
                return usage();
            clip.fpsNumerator = static_cast<uint32_t>(v);
            clip.fpsDenominator = static_cast<uint32_t>(d);
        } else if (args[i] == "--sampling" && hasValue) {
            if (args[i + 1] == "420")
                clip.sampling = TheoraClip::k420;
            else if (args[i + 1] == "422")
                clip.sampling = TheoraClip::k422;
            else if (args[i + 1] == "444")
                clip.sampling = TheoraClip::k444;
            else
                return usage();
        } else if (args[i] == "--quality" && hasValue && number(args[i + 1], 0, 63, v)) {
            clip.quality = static_cast<int>(v);
        } else if (args[i] == "--key-interval" && hasValue && number(args[i + 1], 1, 1 << 20, v)) {
            clip.keyFrameInterval = static_cast<int>(v);
        } else if (args[i].rfind("--", 0) == 0) {
            return usage();
        } else {
            Bytes bytes = readFile(args[i]);
            FImage image;
            loadPng(bytes, image);
            TestPicture picture;
            picture.width = image.width();
            picture.height = image.height();
            if (clip.frames.empty()) {
                clip.width = picture.width;
                clip.height = picture.height;
            } else if (picture.width != clip.width || picture.height != clip.height) {
                throw std::runtime_error(args[i] + ": the frames differ in size");
            }
            for (int32_t y = picture.height - 1; y >= 0; --y)
                for (int32_t x = 0; x < picture.width; ++x) {
                    const auto bgra = getImagePixel(image, {x, y});
                    picture.rgb.insert(picture.rgb.end(), {bgra[2], bgra[1], bgra[0]});
                }
            clip.frames.push_back(std::move(picture));
            continue;
        }
        ++i;
    }
    if (clip.frames.empty()) return usage();
    writeFile(args[0], writeTheora(clip));
    std::printf("%s: %zu frames, %d x %d\n", args[0].c_str(), clip.frames.size(), clip.width, clip.height);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) return usage();
    const std::string kind = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (kind == "gw") return writeGw(args);
        if (kind == "theora") return writeTheoraClip(args);
    } catch (const FDebug::VellumcoreException&) {
        return 1;
    } catch (const FDebug::TreatedException&) {
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "videowriter: %s\n", e.what());
        return 1;
    }
    return usage();
}
