#pragma once

#include <cstdint>
#include <ios>

// A filter between a window (FSubStreambuf) and its parent stream: every block
// the window reads from the parent passes through it (archive decryption).
class FStreamProcessor
{
public:
    virtual ~FStreamProcessor() = default;

    // Fills `buffer` with the next `size` bytes of the window and transforms
    // them in place; does nothing unless `mode` contains std::ios_base::in.
    virtual void process(char* buffer, int64_t size, std::ios_base::openmode mode) = 0;

    // Back to the state right after construction, re-reading whatever header
    // the construction consumed.
    virtual void reset() = 0;
};
