#pragma once

#include "io/FInStreambuf.h"

// A stream buffer over a block of memory that it does not own; both the get
// and the put area span the whole block.
class FMemoryStreambuf : public FInStreambuf
{
public:
    FMemoryStreambuf(void* data, int64_t size);

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode mode) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override;
};
