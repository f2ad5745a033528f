#pragma once

#include "core/FRef.h"
#include "io/FMemoryStreambuf.h"

#include <cstddef>

class FInStream;

// A memory stream buffer that owns its block: received network data handed
// to a reader lives exactly as long as the stream over it.
class FBlockStreambuf : public FMemoryStreambuf
{
public:
    // Takes `block` (from engineAlloc), given back with the buffer.
    FBlockStreambuf(void* block, int64_t size);
    ~FBlockStreambuf() override;

    // A read stream over a copy of `size` bytes, held by a signalled handle;
    // an empty handle when memory ran out.
    static FRefT<FInStream> openCopy(const void* bytes, std::size_t size);

private:
    void* m_block;
};
