#pragma once

#include "tools/imagewriters/ContainerWriters.h"
#include "tools/imagewriters/JpegWriter.h"
#include "tools/imagewriters/PngWriter.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// GW video files (".gwvideo"): a big-endian header, then one record per frame.
// Picture frames are files made by our image writers, each followed by the
// trailer the engine's loaders read after it.

struct GwFrameRecord
{
    uint8_t type = 0x03; // 0x00 repeat of frame 0, 0x02 PVR, 0x10 | loader [| 0x08 delta]
    std::vector<uint8_t> body;

    // A PNG picture with a placement trailer covering it; delta: alpha 1 keeps
    // the previous picture's pixel.
    static GwFrameRecord png(const PngPicture& picture, bool delta = false);
    static GwFrameRecord jpeg(const TestPicture& picture, const JpegOptions& options = {});
    // A ".j32" picture: colour from `colour`, alpha from the PNG `alpha`.
    static GwFrameRecord jpeg32(const TestPicture& colour, const PngPicture& alpha);
    // A PVR texture (its six placement words are filled in when missing).
    static GwFrameRecord pvr(PvrFile file);
    static GwFrameRecord repeatFrameZero();
    // A record type that decodes nothing (0x03 .. 0x0F).
    static GwFrameRecord empty(uint8_t type = 0x05);
};

struct GwSequenceEntry
{
    uint32_t key = 0;
    uint32_t kind = 0;
    bool startsGroup = false;
    std::array<uint32_t, 13> values{};
};

struct GwSequence
{
    std::string name;
    uint32_t loop = 0;
    std::vector<GwSequenceEntry> entries;
    uint32_t nameLengthField = UINT32_MAX; // UINT32_MAX: the name's length
    uint32_t entryCountField = UINT32_MAX; // UINT32_MAX: the number of entries
};

struct GwKeyFrame
{
    int32_t frame = 0;
    int32_t offset = -1; // -1: where the frame's record begins
};

struct GwVideoFile
{
    uint32_t version = 8;
    int64_t frameCountField = -1; // -1: the number of frames; else its low 32 bits
    uint32_t frameRate = 25;
    bool sequenceBlock = false;
    std::vector<GwSequence> sequences;
    uint32_t sequenceCountField = UINT32_MAX; // UINT32_MAX: the number of sequences
    std::vector<GwKeyFrame> keyFrames;
    int64_t keyFrameCountField = -1; // -1: the number of key frames; else its low 32 bits
    std::vector<GwFrameRecord> frames;
};

std::vector<uint8_t> writeGwVideo(const GwVideoFile& file);

// A video of `frames` opaque PNG pictures (seeds seed, seed + 1, ...) with
// key frame 0.
GwVideoFile gwPictureVideo(int32_t frames, int32_t width, int32_t height, uint32_t seed);

// A top-down R, G, B, A picture of a test pattern (seeded), as a PNG picture.
PngPicture gwTestPngPicture(int32_t width, int32_t height, uint32_t seed);
