#pragma once

#include "tools/imagewriters/TestPicture.h"

#include <cstdint>
#include <vector>

// Theora clips in Ogg through libtheora's encoder. Pictures are converted from
// R, G, B to studio-range Y'CbCr (BT.601) and subsampled by averaging.
struct TheoraClip
{
    enum Sampling { k420 = 0, k422 = 2, k444 = 3 }; // libtheora's pixel formats
    Sampling sampling = k420;
    int32_t width = 0; // picture size; the coded frame is rounded up to 16
    int32_t height = 0;
    int32_t pictureX = 0; // where the picture sits in the coded frame (from the top left)
    int32_t pictureY = 0;
    uint32_t fpsNumerator = 25;
    uint32_t fpsDenominator = 1;
    int64_t fpsDenominatorField = -1; // written into the header as is (-1: fpsDenominator)
    int quality = 56;                 // 0 .. 63
    int keyFrameInterval = 32;
    bool foreignStreamFirst = false; // a logical stream of another codec begins first
    std::vector<TestPicture> frames; // each width x height
};

std::vector<uint8_t> writeTheora(const TheoraClip& clip);

// An Ogg file with one logical stream of another codec and no Theora stream.
std::vector<uint8_t> writeForeignOggStream();

// Frames of a moving test pattern: frame i is the seeded picture shifted
// across by 3 i pixels.
std::vector<TestPicture> movingPictures(int32_t width, int32_t height, int32_t count, uint32_t seed);

// A 4:2:0 clip of `frames` moving pictures at 25 frames per second.
TheoraClip movingClip(int32_t width, int32_t height, int32_t frames, uint32_t seed);

// Studio-range Y'CbCr of one R, G, B pixel.
void rgbToStudioYCbCr(const uint8_t* rgb, uint8_t& y, uint8_t& cb, uint8_t& cr);
