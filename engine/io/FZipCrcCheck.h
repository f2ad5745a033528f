#pragma once

#include <cstdint>

// Checks a member's CRC-32 as its bytes go by. Bytes may come more than once
// (after a backward seek) or with gaps (after a forward seek without
// reading); the check only covers a run read from the start, and is made
// once that run reaches the member's end.
class FZipCrcCheck
{
public:
    FZipCrcCheck(uint32_t expected, int64_t size);

    // Bytes [position, position + count) of the member.
    void feed(int64_t position, const void* data, int64_t count);
    // Forgets what was covered (the member starts over).
    void restart();

    // The CRC-32 of the bytes before (`crc`) continued over `count` more, as
    // zlib's crc32 answers; folded with carry-less products where the
    // processor has them.
    static uint32_t update(uint32_t crc, const void* data, int64_t count);

    // True once the whole member was covered and its CRC differs.
    bool failed() const { return m_covered == m_size && m_size > 0 && m_crc != m_expected; }
    [[noreturn]] void raiseFailure() const;

private:
    uint32_t m_expected;
    int64_t m_size;
    uint32_t m_crc = 0;
    int64_t m_covered = 0;
};
