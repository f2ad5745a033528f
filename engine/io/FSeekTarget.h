#pragma once

#include <cstdint>
#include <ios>

// Where a seek on a sized input buffer lands, with the bounds checks that the
// file and member buffers share: a target outside 0 ... dataSize is a failure
// report. `current` is the stream position, `currentEback` that of eback;
// `prefix` is how the buffer names its base class in the report texts.
class FSeekTarget
{
public:
    static int64_t resolve(int64_t off, std::ios_base::seekdir dir, int64_t current, int64_t currentEback,
                           int64_t dataSize, const char* prefix);
};
