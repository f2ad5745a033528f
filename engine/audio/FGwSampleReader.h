#pragma once

#include "audio/FImaAdpcm.h"

#include <cstdint>
#include <functional>

// Reads a GWSample file: six big-endian header words (version 4, PCM bytes,
// flags, rate, loop start, loop length; no magic number) and IMA ADPCM data:
// mono packs two samples a byte, high nibble first; stereo one frame a byte,
// high nibble left. The decoding state carries over from call to call, so a
// stream decodes chunk after chunk.
class FGwSampleReader
{
public:
    static constexpr uint32_t k_version = 4;
    static constexpr int k_headerBytes = 24;

    enum Flag : uint32_t { k_flagLoops = 1, k_flagSecond = 2, k_flagStereo = 4, k_flagMidSide = 8 };

    struct Header
    {
        uint32_t version = 0;
        uint32_t pcmBytes = 0;
        uint32_t flags = 0;
        uint32_t rate = 0;
        uint32_t loopStart = 0;
        uint32_t loopLength = 0;

        int channels() const { return (flags & k_flagStereo) != 0 ? 2 : 1; }
        bool midSide() const { return (flags & k_flagStereo) != 0 && (flags & k_flagMidSide) != 0; }
        int frames() const { return static_cast<int>(pcmBytes / static_cast<uint32_t>(channels()) / 2); }
    };

    // Reads up to `size` bytes at `offset` (counted from the first ADPCM data
    // byte); the count read.
    using ReadAt = std::function<int64_t(int64_t offset, void* buffer, int64_t size)>;

    // Parses the header from its 24 bytes; a failed check when the version is
    // not 4 or the sizes cannot be a sound.
    static Header parseHeader(const uint8_t* bytes);

    FGwSampleReader(const Header& header, ReadAt read);

    // Decodes the next `frames` frames as interleaved 16-bit samples (mid/side
    // undone). A failed check when the data ends early.
    void decode(int16_t* out, int frames);
    // The frame the next decode starts at.
    int frame() const { return m_frame; }
    // Moves to `frame`. Every sample depends on all before it, so a move back
    // decodes forward from the start; the reader keeps the state where its
    // last move arrived, so moving there again (a loop start) costs nothing.
    void seek(int frame);

private:
    // Where decoding stands: enough to go on from there.
    struct Mark
    {
        int frame = 0;
        int64_t byteOffset = 0;
        FImaAdpcm::State states[2];
        int pendingNibble = -1;
    };

    uint8_t nextByte();
    Mark here() const;
    void restore(const Mark& mark);

    Header m_header;
    ReadAt m_read;
    FImaAdpcm::State m_states[2];
    int m_pendingNibble = -1; // mono: the low nibble of the last byte read
    int m_frame = 0;
    Mark m_seekMark;
    uint8_t m_bytes[4096];
    int64_t m_nextOffset = 0; // of the byte after the buffered ones
    int m_byteCount = 0;
    int m_bytePos = 0;
};
