#pragma once

#include "io/FStreamProcessor.h"
#include "io/FZipCipher.h"

class FSubStreambuf;

// Decrypts a traditionally encrypted member as its window reads it. The keys
// start from the archive's key state (there is no password step); the
// 12-byte encryption header is read and dropped at construction and at every
// reset.
class FZipDecryptProcessor : public FStreamProcessor
{
public:
    static constexpr int64_t k_headerSize = 12;

    // Reads the encryption header through `window` at once.
    FZipDecryptProcessor(const uint32_t* keys, FSubStreambuf& window);

    void process(char* buffer, int64_t size, std::ios_base::openmode mode) override;
    void reset() override;

private:
    FSubStreambuf& m_window;
    uint32_t m_initialKeys[3];
    FZipCipher m_cipher;
};
