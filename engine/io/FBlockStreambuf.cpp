#include "io/FBlockStreambuf.h"

#include "io/FInStream.h"

#include <cstring>

FBlockStreambuf::FBlockStreambuf(void* block, int64_t size) : FMemoryStreambuf(block, size), m_block(block) {}

FBlockStreambuf::~FBlockStreambuf()
{
    engineFree(m_block);
}

FRefT<FInStream> FBlockStreambuf::openCopy(const void* bytes, std::size_t size)
{
    // One spare byte keeps the block valid (and zero-terminated) for an empty copy.
    void* block = engineAlloc(k_memGeneral, size + 1);
    if (block == nullptr) return {};
    if (size > 0) std::memcpy(block, bytes, size);
    static_cast<char*>(block)[size] = 0;
    auto* buffer = engineNew<FBlockStreambuf>(k_memStream, block, static_cast<int64_t>(size));
    if (buffer == nullptr) {
        engineFree(block);
        return {};
    }
    return FInStream::make(buffer);
}
