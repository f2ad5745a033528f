#include "io/FSeekTarget.h"

#include "core/FErrorMessage.h"

int64_t FSeekTarget::resolve(int64_t off, std::ios_base::seekdir dir, int64_t current, int64_t currentEback,
                             int64_t dataSize, const char* prefix)
{
    if (dir == std::ios_base::beg) {
        if (off < 0 || off > dataSize)
            ZIBBO_FAIL(msgFileCorrupted, "dir == std::ios::beg, off (" << off << ") >= 0 && off <= " << prefix
                                                                       << "m_dataSize (" << dataSize << ")");
        return off;
    }
    if (dir == std::ios_base::end) {
        if (off > 0 || -off > dataSize)
            ZIBBO_FAIL(msgFileCorrupted, "dir == std::ios::end, off ("
                                             << off << ") <= 0 && -off <= " << prefix << "m_dataSize ("
                                             << dataSize << ")");
        return dataSize + off;
    }
    if (currentEback < 0 || currentEback > dataSize)
        ZIBBO_FAIL(msgFileCorrupted, "dir == std::ios::cur, m_currentEback ("
                                         << currentEback << ") >= 0 && " << prefix << "m_currentEback <= "
                                         << prefix << "m_dataSize (" << dataSize << ")");
    // A relative target outside the data is refused rather than trusted to
    // the caller.
    int64_t target = 0;
    if (__builtin_add_overflow(current, off, &target) || target < 0 || target > dataSize)
        ZIBBO_FAIL(msgFileCorrupted, "dir == std::ios::cur, position (" << current << ") + off (" << off
                                                                        << ") >= 0 && <= " << prefix
                                                                        << "m_dataSize (" << dataSize << ")");
    return target;
}
