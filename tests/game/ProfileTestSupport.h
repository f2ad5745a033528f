#pragma once

#include "io/FMemoryInStream.h"
#include "io/FMemoryOutStreambuf.h"
#include "io/FOutStream.h"

#include <string>

// Streams over memory for the save and load paths of the game's records.
struct MemoryOut
{
    explicit MemoryOut(int64_t limit = 1 << 20)
        : buffer(engineNew<FMemoryOutStreambuf>(k_memObject, limit)), stream(FOutStream::make(buffer))
    {
    }
    const std::string& bytes() const { return buffer->bytes(); }

    FMemoryOutStreambuf* buffer;
    FRefT<FOutStream> stream;
};

inline FRefT<FInStream> memoryIn(const std::string& bytes)
{
    return FMemoryInStream::make(bytes);
}
