#pragma once

#include "core/FRef.h"
#include "io/FInStreambuf.h"

#include <cstdint>
#include <istream>

// The engine's input stream: a standard input stream over an engine stream
// buffer, with the big-endian readers of the engine's own file formats.
// Failure reports raised by the buffer travel through the standard
// operations as they are (the stream rethrows rather than setting badbit).
// A stream is always held through an FRef (see make).
class FInStream : public std::istream
{
public:
    // Takes the buffer (made with engineNew) and deletes it with the stream.
    explicit FInStream(FInStreambuf* buffer);
    ~FInStream() override;

    // A new stream over `buffer`, held by a signalled handle so that windows
    // onto it (archive members) can take turns reading.
    static FRefT<FInStream> make(FInStreambuf* buffer);

    FInStreambuf* buffer() const { return m_buffer; }
    int64_t position() const { return m_buffer->position(); }
    int64_t remaining() const { return m_buffer->remaining(); }

    // The next byte; at the end of data a failure report.
    uint8_t readUInt8();
    int8_t readInt8() { return static_cast<int8_t>(readUInt8()); }
    // The first byte read is the most significant.
    uint16_t readUInt16();
    int16_t readInt16() { return static_cast<int16_t>(readUInt16()); }
    // Four bytes in one block read, most significant first. Fewer than four
    // bytes left is a failure report.
    uint32_t readUInt32();
    int32_t readInt32() { return static_cast<int32_t>(readUInt32()); }

private:
    FInStreambuf* m_buffer;
};
