#pragma once

#include "core/FString.h"
#include "io/FInStreambuf.h"

#include <fstream>
#include <memory>

// The read buffer over a disk file. The file is measured once when the
// buffer is made; it is read in blocks sized to the file (at most
// 40896 + 64 bytes), keeping 64 bytes of putback across refills and seeks.
class FFileStreambuf : public FInStreambuf
{
public:
    static constexpr int64_t k_maxBlock = 40896;

    explicit FFileStreambuf(const FString& path);
    ~FFileStreambuf() override;

    // Opens the platform file buffer for `path` with the engine's open modes
    // (in; out; out|trunc; out|app; in|out; in|out|trunc; ate and binary may
    // be added). Any other mode, or a file the system refuses, is the failure
    // "Could not open file <path>".
    static std::unique_ptr<std::filebuf> open(const FString& path, std::ios_base::openmode mode);

    // The refill buffer size for a file of `size` bytes.
    static int64_t bufferSizeFor(int64_t size);
    int64_t bufferSize() const { return m_bufferSize; }

protected:
    int_type underflow() override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode mode) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override;
    int64_t backUpSource(int64_t wanted) override;
    void readSource(char* dest, int64_t count) override;

private:
    std::unique_ptr<std::filebuf> m_file;
    int64_t m_bufferSize;
};
