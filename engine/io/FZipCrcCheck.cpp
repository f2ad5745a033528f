#include "io/FZipCrcCheck.h"

#include "core/FErrorMessage.h"

#include <zlib.h>

#include <algorithm>

FZipCrcCheck::FZipCrcCheck(uint32_t expected, int64_t size) : m_expected(expected), m_size(size) {}

void FZipCrcCheck::feed(int64_t position, const void* data, int64_t count)
{
    if (position > m_covered || position + count <= m_covered) return;
    const int64_t skip = m_covered - position;
    const int64_t fresh = std::min(count - skip, m_size - m_covered);
    if (fresh <= 0) return;
    m_crc = static_cast<uint32_t>(
        crc32_z(m_crc, static_cast<const Bytef*>(data) + skip, static_cast<z_size_t>(fresh)));
    m_covered += fresh;
}

void FZipCrcCheck::restart()
{
    m_crc = 0;
    m_covered = 0;
}

void FZipCrcCheck::raiseFailure() const
{
    ZIBBO_FAIL(msgFileCorrupted, "crc (" << m_crc << ") == directory crc (" << m_expected << ")");
}
