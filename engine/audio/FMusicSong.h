#pragma once

#include "audio/FAudioNode.h"
#include "core/FRef.h"

#include <cstdint>
#include <vector>

// The song a music asset plays: orders of patterns of rows, one cell per
// channel and row, and instruments that map notes to samples. No file format
// fills it yet; songs are built in memory.
struct FMusicCell
{
    static constexpr uint8_t k_noNote = 255;
    static constexpr uint8_t k_keyOff = 254;
    static constexpr uint8_t k_keepInstrument = 255;

    uint8_t note = k_noNote;
    uint8_t instrument = k_keepInstrument;
    uint8_t command1 = 0;
    uint8_t parameter1 = 0;
    uint8_t command2 = 0;
    uint8_t parameter2 = 0;
};

struct FMusicPattern
{
    int rows = 64;
    int beats = 0;
    bool irregularBeats = false;
    std::vector<FMusicCell> cells; // row-major: row x channels + channel
};

struct FMusicSampleEntry
{
    int volume = 64;      // 0..64
    int fineTune = 0;     // 1/128 semitone
    int pan = 128;        // 0 left .. 255 right
    int relativeNote = 0; // semitones
    FRefT<FAudioNode> sample;
};

struct FMusicInstrument
{
    std::vector<uint8_t> noteToSample; // index into samples for each note number
    std::vector<FMusicSampleEntry> samples;
};

struct FMusicSong
{
    int length = 0;  // orders played
    int restart = 0; // the order after the last
    int channels = 0;
    int speed = 6;             // ticks per row
    int tempo = 125;           // tick tempo, beats per minute
    int beatTempo = 120 * 256; // beats per minute, 8.8 fixed point
    std::vector<uint8_t> orders;
    std::vector<FMusicPattern> patterns;
    std::vector<FMusicInstrument> instruments;
};
