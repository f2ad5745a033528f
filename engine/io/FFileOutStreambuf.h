#pragma once

#include "core/FString.h"
#include "io/FOutStreambuf.h"

#include <fstream>
#include <memory>

// The write buffer over a disk file, with a limit on the bytes it accepts
// (a save never grows past what its writer announced). It keeps no put area
// of its own, so every byte passes the limit check.
class FFileOutStreambuf : public FOutStreambuf
{
public:
    // Opens (creates or truncates) `path` for writing.
    FFileOutStreambuf(const FString& path, int64_t limit);
    ~FFileOutStreambuf() override;

    int64_t position() const override { return m_written; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char_type* s, std::streamsize n) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode mode) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override;
    int sync() override;

private:
    [[noreturn]] void failLimit();

    std::unique_ptr<std::filebuf> m_file;
    int64_t m_written = 0;
};
