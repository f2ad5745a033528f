#include "io/FMemoryStreambuf.h"

#include "core/FErrorMessage.h"

#include <cstdint>

FMemoryStreambuf::FMemoryStreambuf(void* data, int64_t size) : FInStreambuf(size)
{
    char* begin = static_cast<char*>(data);
    setg(begin, begin, begin + size);
    setp(begin, begin + size);
}

FMemoryStreambuf::pos_type FMemoryStreambuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                     std::ios_base::openmode mode)
{
    if ((mode & std::ios_base::in) == 0) return pos_type(0);

    // Positions are worked out as numbers, so that a wild offset never forms
    // a pointer outside the block.
    const int64_t base = dir == std::ios_base::beg   ? 0
                         : dir == std::ios_base::cur ? gptr() - eback()
                                                     : egptr() - eback();
    const int64_t size = egptr() - eback();
    int64_t target = 0;
    const bool overflowed = __builtin_add_overflow(base, static_cast<int64_t>(off), &target);
    if (overflowed || target < 0 || target > size) {
        const uintptr_t begin = reinterpret_cast<uintptr_t>(eback());
        const uintptr_t wanted = begin + static_cast<uintptr_t>(target);
        ZIBBO_FAIL(msgFileCorrupted, "gptr (" << reinterpret_cast<const void*>(wanted) << ") <= egptr ("
                                              << static_cast<const void*>(egptr()) << ") && gptr >= eback ("
                                              << static_cast<const void*>(eback()) << ")");
    }
    setg(eback(), eback() + target, egptr());
    return pos_type(target);
}

FMemoryStreambuf::pos_type FMemoryStreambuf::seekpos(pos_type pos, std::ios_base::openmode mode)
{
    return seekoff(off_type(pos), std::ios_base::beg, mode);
}
