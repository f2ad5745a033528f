#pragma once

#include <cstdint>
#include <streambuf>

// Base of the engine's output stream buffers. Like the input side it knows how
// many bytes it may take in total.
class FOutStreambuf : public std::streambuf
{
public:
    explicit FOutStreambuf(int64_t dataSize) : m_dataSize(dataSize) {}

    // Bytes written so far and bytes that may still be written.
    virtual int64_t position() const = 0;
    int64_t remaining() const { return m_dataSize - position(); }
    virtual bool isDirectAccess() const { return true; }
    virtual void start() {}

    int64_t dataSize() const { return m_dataSize; }

protected:
    int64_t m_dataSize;
};
