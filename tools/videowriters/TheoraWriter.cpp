#include "tools/videowriters/TheoraWriter.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

#include <cmath>
#include <stdexcept>

namespace {

using Bytes = std::vector<uint8_t>;

void appendPage(Bytes& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

void flushPages(Bytes& out, ogg_stream_state& stream)
{
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) > 0)
        appendPage(out, page);
}

uint8_t clampByte(double v)
{
    return static_cast<uint8_t>(std::lround(v < 0 ? 0 : (v > 255 ? 255 : v)));
}

// Planes of the coded frame; the padding repeats the picture's edge.
struct Planes
{
    int32_t width[3];
    int32_t height[3];
    Bytes data[3];
};

Planes toPlanes(const TheoraClip& clip, const TestPicture& picture, int32_t frameW, int32_t frameH)
{
    const int xs = clip.sampling == TheoraClip::k444 ? 0 : 1;
    const int ys = clip.sampling == TheoraClip::k420 ? 1 : 0;
    Planes p;
    p.width[0] = frameW;
    p.height[0] = frameH;
    for (int c = 1; c < 3; ++c) {
        p.width[c] = frameW >> xs;
        p.height[c] = frameH >> ys;
    }
    for (int c = 0; c < 3; ++c)
        p.data[c].assign(static_cast<std::size_t>(p.width[c]) * p.height[c], 0);
    // Full-resolution Y', Cb, Cr over the coded frame.
    std::vector<double> full[3];
    for (auto& f : full)
        f.assign(static_cast<std::size_t>(frameW) * frameH, 0);
    for (int32_t y = 0; y < frameH; ++y) {
        for (int32_t x = 0; x < frameW; ++x) {
            int32_t px = std::min(std::max(x - clip.pictureX, 0), clip.width - 1);
            int32_t py = std::min(std::max(y - clip.pictureY, 0), clip.height - 1);
            uint8_t yy, cb, cr;
            rgbToStudioYCbCr(&picture.rgb[(static_cast<std::size_t>(py) * clip.width + px) * 3], yy, cb, cr);
            const std::size_t i = static_cast<std::size_t>(y) * frameW + x;
            full[0][i] = yy;
            full[1][i] = cb;
            full[2][i] = cr;
        }
    }
    for (int c = 0; c < 3; ++c) {
        const int bx = c == 0 ? 0 : xs;
        const int by = c == 0 ? 0 : ys;
        for (int32_t y = 0; y < p.height[c]; ++y) {
            for (int32_t x = 0; x < p.width[c]; ++x) {
                double sum = 0;
                for (int dy = 0; dy < (1 << by); ++dy)
                    for (int dx = 0; dx < (1 << bx); ++dx)
                        sum += full[c][static_cast<std::size_t>((y << by) + dy) * frameW + (x << bx) + dx];
                p.data[c][static_cast<std::size_t>(y) * p.width[c] + x] = clampByte(sum / (1 << (bx + by)));
            }
        }
    }
    return p;
}

// An Ogg stream of another codec that begins before the Theora stream: one
// BOS page whose packet no Theora decoder takes, and an end page.
void foreignStream(Bytes& out, Bytes& tail)
{
    ogg_stream_state s;
    ogg_stream_init(&s, 0x51DE);
    unsigned char first[30] = {0x01, 'v', 'o', 'r', 'b', 'i', 's'};
    ogg_packet packet{};
    packet.packet = first;
    packet.bytes = sizeof(first);
    packet.b_o_s = 1;
    ogg_stream_packetin(&s, &packet);
    flushPages(out, s);
    unsigned char last[4] = {0x05, 0, 0, 0};
    packet.packet = last;
    packet.bytes = sizeof(last);
    packet.b_o_s = 0;
    packet.e_o_s = 1;
    packet.packetno = 1;
    ogg_stream_packetin(&s, &packet);
    flushPages(tail, s);
    ogg_stream_clear(&s);
}

} // namespace

void rgbToStudioYCbCr(const uint8_t* rgb, uint8_t& y, uint8_t& cb, uint8_t& cr)
{
    const double r = rgb[0], g = rgb[1], b = rgb[2];
    y = clampByte(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255);
    cb = clampByte(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255);
    cr = clampByte(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255);
}

std::vector<uint8_t> writeForeignOggStream()
{
    Bytes out;
    Bytes tail;
    foreignStream(out, tail);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

std::vector<TestPicture> movingPictures(int32_t width, int32_t height, int32_t count, uint32_t seed)
{
    const TestPicture base = TestPicture::make(width, height, seed);
    std::vector<TestPicture> frames;
    for (int32_t i = 0; i < count; ++i) {
        TestPicture p = base;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const int32_t from = (x + 3 * i) % width;
                for (int c = 0; c < 3; ++c)
                    p.rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c] =
                        base.rgb[(static_cast<std::size_t>(y) * width + from) * 3 + c];
            }
        frames.push_back(std::move(p));
    }
    return frames;
}

TheoraClip movingClip(int32_t width, int32_t height, int32_t frames, uint32_t seed)
{
    TheoraClip clip;
    clip.width = width;
    clip.height = height;
    clip.frames = movingPictures(width, height, frames, seed);
    return clip;
}

std::vector<uint8_t> writeTheora(const TheoraClip& clip)
{
    th_info info;
    th_info_init(&info);
    info.frame_width = static_cast<uint32_t>((clip.pictureX + clip.width + 15) & ~15);
    info.frame_height = static_cast<uint32_t>((clip.pictureY + clip.height + 15) & ~15);
    info.pic_width = static_cast<uint32_t>(clip.width);
    info.pic_height = static_cast<uint32_t>(clip.height);
    info.pic_x = static_cast<uint32_t>(clip.pictureX);
    info.pic_y = static_cast<uint32_t>(clip.pictureY);
    info.fps_numerator = clip.fpsNumerator;
    info.fps_denominator = clip.fpsDenominator;
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = static_cast<th_pixel_fmt>(clip.sampling);
    info.target_bitrate = 0;
    info.quality = clip.quality;
    info.keyframe_granule_shift = 6;
    th_enc_ctx* encoder = th_encode_alloc(&info);
    if (encoder == nullptr) throw std::runtime_error("th_encode_alloc refused the clip settings");
    int interval = clip.keyFrameInterval;
    th_encode_ctl(encoder, TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &interval, sizeof(interval));

    Bytes out;
    Bytes foreignTail;
    if (clip.foreignStreamFirst) foreignStream(out, foreignTail);

    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x7E0);
    th_comment comment;
    th_comment_init(&comment);
    ogg_packet packet;
    bool first = true;
    while (th_encode_flushheader(encoder, &comment, &packet) > 0) {
        if (first && clip.fpsDenominatorField >= 0) {
            // The identification header keeps the denominator at bytes 26..29.
            const auto d = static_cast<uint32_t>(clip.fpsDenominatorField);
            for (int i = 0; i < 4; ++i)
                packet.packet[26 + i] = static_cast<unsigned char>(d >> (24 - 8 * i));
        }
        ogg_stream_packetin(&stream, &packet);
        // The first header has a page of its own.
        if (first) flushPages(out, stream);
        first = false;
    }
    flushPages(out, stream);
    out.insert(out.end(), foreignTail.begin(), foreignTail.end());

    const int32_t frameW = static_cast<int32_t>(info.frame_width);
    const int32_t frameH = static_cast<int32_t>(info.frame_height);
    for (std::size_t f = 0; f < clip.frames.size(); ++f) {
        Planes planes = toPlanes(clip, clip.frames[f], frameW, frameH);
        th_ycbcr_buffer buffer;
        for (int c = 0; c < 3; ++c) {
            buffer[c].width = planes.width[c];
            buffer[c].height = planes.height[c];
            buffer[c].stride = planes.width[c];
            buffer[c].data = planes.data[c].data();
        }
        if (th_encode_ycbcr_in(encoder, buffer) != 0) throw std::runtime_error("th_encode_ycbcr_in failed");
        const int last = f + 1 == clip.frames.size() ? 1 : 0;
        while (th_encode_packetout(encoder, last, &packet) > 0)
            ogg_stream_packetin(&stream, &packet);
        ogg_page page;
        while (ogg_stream_pageout(&stream, &page) > 0)
            appendPage(out, page);
    }
    flushPages(out, stream);
    ogg_stream_clear(&stream);
    th_comment_clear(&comment);
    th_encode_free(encoder);
    th_info_clear(&info);
    return out;
}
