#include "io/FZipDecryptProcessor.h"

#include "io/FSubStreambuf.h"

FZipDecryptProcessor::FZipDecryptProcessor(const uint32_t* keys, FSubStreambuf& window)
    : m_window(window), m_initialKeys{keys[0], keys[1], keys[2]}, m_cipher(keys)
{
    reset();
}

void FZipDecryptProcessor::process(char* buffer, int64_t size, std::ios_base::openmode mode)
{
    if ((mode & std::ios_base::in) == 0) return;
    m_window.readFromParent(buffer, size);
    m_cipher.decrypt(reinterpret_cast<uint8_t*>(buffer), static_cast<size_t>(size));
}

void FZipDecryptProcessor::reset()
{
    m_cipher.setKeys(m_initialKeys);
    char header[k_headerSize];
    process(header, k_headerSize, std::ios_base::in);
}
