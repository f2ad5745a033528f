// kittool decode VIDEO OUT.png [--frame N]: shows frame N (default 0) of a
// ".gwvideo" or ".theora" file through the engine's own player, as a video
// sprite would, and writes the picture as a plain RGBA PNG.
// kittool decode VIDEO --info: the frame count, frame rate and picture size.
// A Theora video does not know its length, so --info counts its frames by
// decoding them, and frame N is reached by playing from the start.
#include "tools/kittool/KitDecodeVideo.h"

#include "tools/kittool/KitSession.h"

#include "core/FMemory.h"
#include "image/FImage.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "tools/imagewriters/PngWriter.h"
#include "video/FGWVideo.h"
#include "video/FVideoStreamHost.h"
#include "video/FVideoTarget.h"
#include "video/FVideoTheora.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

enum class VideoKind { none, gw, theora };

VideoKind videoKindOf(const std::string& path)
{
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension == ".gwvideo") return VideoKind::gw;
    if (extension == ".theora") return VideoKind::theora;
    return VideoKind::none;
}

struct VideoOptions
{
    std::string input;
    std::string output;
    int32_t frame = 0;
    bool info = false;
};

// False on wrong usage.
bool parseOptions(const KitArgs& args, VideoOptions& options)
{
    if (args.empty()) return false;
    options.input = args[0];
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--info") {
            options.info = true;
        } else if (args[i] == "--frame" && i + 1 < args.size()) {
            char* end = nullptr;
            const long n = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != '\0' || n < 0 || n > INT32_MAX) return false;
            options.frame = static_cast<int32_t>(n);
        } else if (options.output.empty() && args[i].rfind("--", 0) != 0) {
            options.output = args[i];
        } else {
            return false;
        }
    }
    return options.info != !options.output.empty();
}

// Plays frames 0 .. frame in order (the only way through a Theora video);
// false when the video ends first.
bool playTo(FVideoPlayer& player, FVideoTarget& target, int32_t frame, bool lastOnly)
{
    for (int32_t n = 0; n <= frame; ++n) {
        const int32_t shown = player.seekFrame(target, n, lastOnly && n < frame);
        if (shown != n) return false;
        target.setCurrentFrame(shown);
    }
    return true;
}

std::vector<uint8_t> topDownRgba(const FImage& picture)
{
    const int32_t w = picture.width();
    const int32_t h = picture.height();
    std::vector<uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(w) * h * 4);
    for (int32_t y = h - 1; y >= 0; --y)
        for (int32_t x = 0; x < w; ++x) {
            const auto bgra = getImagePixel(picture, {x, y});
            rgba.insert(rgba.end(), {bgra[2], bgra[1], bgra[0], bgra[3]});
        }
    return rgba;
}

int decodeVideo(const VideoOptions& options, VideoKind kind)
{
    KitSession session;
    std::vector<uint8_t> bytes = kitReadFile(options.input);
    FVideoStreamHost host(FInStream::make(engineNew<FMemoryStreambuf>(k_memStream, bytes.data(),
                                                                      static_cast<int64_t>(bytes.size()))),
                          true);
    std::unique_ptr<FVideoPlayer> player;
    if (kind == VideoKind::gw)
        player = std::make_unique<FGWVideo>(host);
    else
        player = std::make_unique<FVideoTheora>(host);
    player->readHeader();

    FVideoTarget target;
    if (options.info) {
        int32_t frames = player->frameCount();
        if (frames == FVideoPlayer::k_endOfVideo) {
            frames = 0;
            while (player->seekFrame(target, frames, true) == frames)
                ++frames;
        }
        std::printf("%s: %s, %d frames, %u fps, %d x %d\n", options.input.c_str(),
                    kind == VideoKind::gw ? "GW video" : "Theora", frames, host.frameRate(), host.width(),
                    host.height());
        return 0;
    }
    if (kind == VideoKind::gw) {
        if (options.frame >= player->frameCount())
            throw std::runtime_error("frame " + std::to_string(options.frame) + " is past the last frame");
        target.setCurrentFrame(player->seekFrame(target, options.frame));
    } else if (!playTo(*player, target, options.frame, true)) {
        throw std::runtime_error("the video ends before frame " + std::to_string(options.frame));
    }
    const FImage* picture = target.sourceImage().get();
    if (picture == nullptr || picture->width() <= 0 || picture->height() <= 0 || picture->width() > 65536 ||
        picture->height() > 65536)
        throw std::runtime_error("frame " + std::to_string(options.frame) +
                                 " has no picture that can be written");
    std::printf("%s: frame %d, %d x %d\n", options.input.c_str(), options.frame, picture->width(),
                picture->height());
    const std::vector<uint8_t> png =
        writePng(PngPicture::rgba(picture->width(), picture->height(), topDownRgba(*picture)));
    std::ofstream out(options.output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + options.output);
    return 0;
}

} // namespace

int kitDecodeMedia(const KitArgs& args)
{
    const VideoKind kind = args.empty() ? VideoKind::none : videoKindOf(args[0]);
    if (kind == VideoKind::none) return kitDecode(args);
    VideoOptions options;
    if (!parseOptions(args, options)) return kitUsage("decode");
    return decodeVideo(options, kind);
}
