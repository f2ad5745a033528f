#pragma once

#include <cstdint>
#include <vector>

// Writes GWSample files for our own content and fixtures: IMA ADPCM with the
// standard tables, mono or stereo, optionally mid/side coded, with loop points.
struct GwSampleSpec
{
    int channels = 1;
    int rate = 44100;
    bool midSide = false; // stereo only
    bool loops = false;
    bool secondFlag = false;
    uint32_t loopStart = 0;
    uint32_t loopLength = 0;
};

// `samples` are interleaved 16-bit samples (frames x channels).
std::vector<uint8_t> writeGwSample(const GwSampleSpec& spec, const std::vector<int16_t>& samples);

// The 16-bit samples a decoder produces from what writeGwSample stores: the
// encoder's own reconstruction, for round-trip tests.
std::vector<int16_t> gwSampleReconstruction(const GwSampleSpec& spec, const std::vector<int16_t>& samples);
