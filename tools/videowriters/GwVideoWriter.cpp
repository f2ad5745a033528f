#include "tools/videowriters/GwVideoWriter.h"

#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

void put32(Bytes& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void append(Bytes& out, const Bytes& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

constexpr std::size_t k_recordTail = 16;

} // namespace

GwFrameRecord GwFrameRecord::png(const PngPicture& picture, bool delta)
{
    GwFrameRecord r;
    r.type = static_cast<uint8_t>(0x10 | (delta ? 0x08 : 0));
    r.body = writePng(picture);
    append(r.body, placementTrailer(0, 0, picture.width, picture.height));
    return r;
}

GwFrameRecord GwFrameRecord::jpeg(const TestPicture& picture, const JpegOptions& options)
{
    GwFrameRecord r;
    r.type = 0x11;
    r.body = writeJpeg(picture, options);
    append(r.body, placementTrailer(0, 0, picture.width, picture.height));
    return r;
}

GwFrameRecord GwFrameRecord::jpeg32(const TestPicture& colour, const PngPicture& alpha)
{
    GwFrameRecord r;
    r.type = 0x12;
    r.body = writeJ32(writeJpeg(colour), writePng(alpha), placementTrailer(0, 0, alpha.width, alpha.height));
    return r;
}

GwFrameRecord GwFrameRecord::pvr(PvrFile file)
{
    if (file.placement.empty()) {
        const auto w = static_cast<int32_t>(file.width);
        const auto h = static_cast<int32_t>(file.height);
        file.placement = {0, 0, w, h, w, h};
    }
    GwFrameRecord r;
    r.type = 0x02;
    r.body = writePvr(file);
    r.body.resize(r.body.size() + k_recordTail, 0);
    return r;
}

GwFrameRecord GwFrameRecord::repeatFrameZero()
{
    GwFrameRecord r;
    r.type = 0x00;
    r.body.assign(k_recordTail, 0);
    return r;
}

GwFrameRecord GwFrameRecord::empty(uint8_t type)
{
    GwFrameRecord r;
    r.type = type;
    return r;
}

std::vector<uint8_t> writeGwVideo(const GwVideoFile& file)
{
    Bytes header;
    put32(header, file.version);
    put32(header,
          static_cast<uint32_t>(file.frameCountField >= 0 ? file.frameCountField
                                                          : static_cast<int64_t>(file.frames.size())));
    put32(header, file.frameRate);
    put32(header, file.sequenceBlock ? 1 : 0);
    if (file.sequenceBlock) {
        put32(header, 0);
        put32(header, 0);
        put32(header, file.sequenceCountField != UINT32_MAX ? file.sequenceCountField
                                                            : static_cast<uint32_t>(file.sequences.size()));
        for (const GwSequence& s : file.sequences) {
            put32(header,
                  s.nameLengthField != UINT32_MAX ? s.nameLengthField : static_cast<uint32_t>(s.name.size()));
            header.insert(header.end(), s.name.begin(), s.name.end());
            put32(header, s.loop);
            put32(header, s.entryCountField != UINT32_MAX ? s.entryCountField
                                                          : static_cast<uint32_t>(s.entries.size()));
            for (const GwSequenceEntry& e : s.entries) {
                put32(header, e.key);
                put32(header, e.kind);
                header.push_back(e.startsGroup ? 1 : 0);
                for (uint32_t v : e.values)
                    put32(header, v);
            }
        }
    }
    put32(header,
          static_cast<uint32_t>(file.keyFrameCountField >= 0 ? file.keyFrameCountField
                                                             : static_cast<int64_t>(file.keyFrames.size())));

    // Records start after the key-frame table, whose size is known now.
    std::vector<std::size_t> recordStart;
    std::size_t at = header.size() + 8 * file.keyFrames.size();
    for (const GwFrameRecord& f : file.frames) {
        recordStart.push_back(at);
        at += 1 + f.body.size();
    }
    for (const GwKeyFrame& k : file.keyFrames) {
        put32(header, static_cast<uint32_t>(k.frame));
        const bool known = k.frame >= 0 && static_cast<std::size_t>(k.frame) < recordStart.size();
        const int32_t offset =
            k.offset >= 0 ? k.offset : (known ? static_cast<int32_t>(recordStart[k.frame]) : 0);
        put32(header, static_cast<uint32_t>(offset));
    }
    for (const GwFrameRecord& f : file.frames) {
        header.push_back(f.type);
        append(header, f.body);
    }
    return header;
}

GwVideoFile gwPictureVideo(int32_t frames, int32_t width, int32_t height, uint32_t seed)
{
    GwVideoFile file;
    for (int32_t i = 0; i < frames; ++i)
        file.frames.push_back(
            GwFrameRecord::png(gwTestPngPicture(width, height, seed + static_cast<uint32_t>(i))));
    file.keyFrames = {{0, -1}};
    return file;
}

PngPicture gwTestPngPicture(int32_t width, int32_t height, uint32_t seed)
{
    const TestPicture picture = TestPicture::make(width, height, seed);
    std::vector<uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        std::memcpy(&rgba[i * 4], &picture.rgb[i * 3], 3);
        rgba[i * 4 + 3] = 255;
    }
    return PngPicture::rgba(width, height, std::move(rgba));
}
