#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes Ogg Vorbis files through libvorbisenc for our own content and test
// fixtures: the loop comments the engine reads, any further comments, and the
// three headers flushed onto pages of their own before the audio.
struct VorbisSpec
{
    int channels = 2;
    int rate = 44100;
    float quality = 0.4f;              // -0.1 .. 1.0
    std::vector<std::string> comments; // "name=value", written as given
    bool loops = false;
    int loopStart = 0;
    int loopLength = 0;
};

// `samples` are interleaved 16-bit samples (frames x channels).
std::vector<uint8_t> writeVorbis(const VorbisSpec& spec, const std::vector<int16_t>& samples);
