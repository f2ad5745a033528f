#pragma once

#include "io/FOutStreambuf.h"

#include <string>

// A write buffer that collects the bytes in memory, with the same limit as
// the file buffer: a writer that goes past what it announced fails the same
// way. Saves are composed here and put on the disk in one piece.
class FMemoryOutStreambuf : public FOutStreambuf
{
public:
    explicit FMemoryOutStreambuf(int64_t limit);

    int64_t position() const override { return static_cast<int64_t>(m_bytes.size()); }
    const std::string& bytes() const { return m_bytes; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char_type* s, std::streamsize n) override;

private:
    std::string m_bytes;
};
