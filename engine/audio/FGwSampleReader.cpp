#include "audio/FGwSampleReader.h"

#include "core/FErrorMessage.h"

#include <algorithm>

namespace {

uint32_t bigEndian(const uint8_t* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

} // namespace

FGwSampleReader::Header FGwSampleReader::parseHeader(const uint8_t* bytes)
{
    Header h;
    h.version = bigEndian(bytes);
    h.pcmBytes = bigEndian(bytes + 4);
    h.flags = bigEndian(bytes + 8);
    h.rate = bigEndian(bytes + 12);
    h.loopStart = bigEndian(bytes + 16);
    h.loopLength = bigEndian(bytes + 20);
    if (h.version != k_version)
        ZIBBO_FAIL(msgFileCorrupted, "version (" << h.version << ") == " << k_version << ")");
    // A size beyond an int of samples would overrun the buffer arithmetic, and
    // a zero rate divides the pitch step by zero.
    if (h.pcmBytes > 0x7FFFFFF0u)
        ZIBBO_FAIL(msgFileCorrupted, "pcmBytes (" << h.pcmBytes << ") <= 2147483632");
    if (h.rate == 0 || h.rate > 1000000)
        ZIBBO_FAIL(msgFileCorrupted, "rate (" << h.rate << ") in 1..1000000");
    return h;
}

FGwSampleReader::FGwSampleReader(const Header& header, ReadAt read)
    : m_header(header), m_read(static_cast<ReadAt&&>(read))
{
}

uint8_t FGwSampleReader::nextByte()
{
    if (m_bytePos == m_byteCount) {
        const int64_t got = m_read(m_nextOffset, m_bytes, sizeof(m_bytes));
        if (got <= 0) ZIBBO_FAIL(msgFileCorrupted, "ADPCM data (" << got << ") > 0");
        m_nextOffset += got;
        m_byteCount = static_cast<int>(got);
        m_bytePos = 0;
    }
    return m_bytes[m_bytePos++];
}

void FGwSampleReader::decode(int16_t* out, int frames)
{
    m_frame += frames;
    if (m_header.channels() == 2) {
        for (int i = 0; i < frames; ++i) {
            const uint8_t b = nextByte();
            out[2 * i] = FImaAdpcm::decode(m_states[0], b >> 4);
            out[2 * i + 1] = FImaAdpcm::decode(m_states[1], b & 15);
        }
        if (m_header.midSide()) FImaAdpcm::midSideToLeftRight(out, frames);
        return;
    }
    for (int i = 0; i < frames; ++i) {
        int nibble = m_pendingNibble;
        if (nibble < 0) {
            const uint8_t b = nextByte();
            nibble = b >> 4;
            m_pendingNibble = b & 15;
        } else {
            m_pendingNibble = -1;
        }
        out[i] = FImaAdpcm::decode(m_states[0], nibble);
    }
}

FGwSampleReader::Mark FGwSampleReader::here() const
{
    Mark mark;
    mark.frame = m_frame;
    mark.byteOffset = m_nextOffset - (m_byteCount - m_bytePos);
    mark.states[0] = m_states[0];
    mark.states[1] = m_states[1];
    mark.pendingNibble = m_pendingNibble;
    return mark;
}

void FGwSampleReader::restore(const Mark& mark)
{
    m_frame = mark.frame;
    m_nextOffset = mark.byteOffset;
    m_byteCount = 0;
    m_bytePos = 0;
    m_states[0] = mark.states[0];
    m_states[1] = mark.states[1];
    m_pendingNibble = mark.pendingNibble;
}

void FGwSampleReader::seek(int frame)
{
    if (frame < m_frame) restore(m_seekMark.frame <= frame ? m_seekMark : Mark{});
    int16_t scratch[2 * 1024];
    while (m_frame < frame)
        decode(scratch, std::min(frame - m_frame, 1024));
    m_seekMark = here();
}
