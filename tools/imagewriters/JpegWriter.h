#pragma once

#include "tools/imagewriters/TestPicture.h"

#include <cstdint>
#include <vector>

// JPEG fixtures through libjpeg-turbo's encoder.
struct JpegOptions
{
    enum Sampling { k444, k422, k420, k440, k411 };
    int quality = 90;
    Sampling sampling = k420;
    bool progressive = false;
    bool arithmetic = false;
    bool greyscale = false;
    int restartInterval = 0; // in MCUs; 0 writes no restart markers
};

std::vector<uint8_t> writeJpeg(const TestPicture& picture, const JpegOptions& options = {});
