#pragma once

#include "core/FRef.h"
#include "io/FOutStreambuf.h"

#include <cstdint>
#include <ostream>

// The engine's output stream with the big-endian writers of its file formats.
// Like FInStream it owns its buffer and lets failure reports through.
class FOutStream : public std::ostream
{
public:
    // Takes the buffer (made with engineNew) and deletes it with the stream.
    explicit FOutStream(FOutStreambuf* buffer);
    ~FOutStream() override;

    static FRefT<FOutStream> make(FOutStreambuf* buffer);

    FOutStreambuf* buffer() const { return m_buffer; }

    // A byte the buffer refuses is a failure report.
    void writeUInt8(uint8_t value);
    void writeInt8(int8_t value) { writeUInt8(static_cast<uint8_t>(value)); }
    // High byte first.
    void writeUInt16(uint16_t value);
    void writeInt16(int16_t value) { writeUInt16(static_cast<uint16_t>(value)); }
    // Most significant byte first, in one block put.
    void writeUInt32(uint32_t value);
    void writeInt32(int32_t value) { writeUInt32(static_cast<uint32_t>(value)); }

private:
    FOutStreambuf* m_buffer;
};
