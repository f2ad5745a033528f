#pragma once

#include "io/FDeferredFailure.h"
#include "io/FSubStreambuf.h"
#include "io/FZipCrcCheck.h"
#include "io/FZipMemberInfo.h"

// A stored (uncompressed) member, read in buffered chunks straight from the
// archive, through the decryption processor when one is attached.
class FZipStoredStreambuf : public FSubStreambuf
{
public:
    static constexpr int64_t k_maxChunk = 32768;

    explicit FZipStoredStreambuf(const FZipMemberInfo& member);

    int64_t bufferSize() const { return m_bufferSize; }

protected:
    int_type underflow() override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode mode) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override;
    void readSource(char* dest, int64_t count) override;
    void onBlockRead(int64_t streamPos, const char* data, int64_t count) override;

private:
    int64_t m_bufferSize;
    FZipCrcCheck m_crc;
    // Kept once the CRC failed: the member stays broken.
    FDeferredFailure m_failure;
};
