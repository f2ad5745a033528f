#include "io/FZipCrcCheck.h"

#include "core/FErrorMessage.h"

#include <zlib.h>

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

#if defined(__x86_64__)
// One lane carried 128 bits (or 512 with the 64-byte constants) further
// and the next 16 bytes added.
__attribute__((target("pclmul,sse4.1"), always_inline)) inline __m128i zipCrcFold(__m128i x, __m128i k,
                                                                                  __m128i next)
{
    const __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
    const __m128i high = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// The reflected CRC-32 of `count` bytes (a multiple of 16, at least 64) on
// the inverted running value `crc`: four lanes of 16 bytes are folded 64
// bytes ahead, then into one, then reduced (Barrett) to 32 bits.
__attribute__((target("pclmul,sse4.1"))) uint32_t zipCrcFolded(uint32_t crc, const uint8_t* p, size_t count)
{
    alignas(16) static const uint64_t k_fold64[2] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const uint64_t k_fold16[2] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const uint64_t k_fold8[2] = {0x0163cd6124, 0};
    alignas(16) static const uint64_t k_barrett[2] = {0x01db710641, 0x01f7011641};

    __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    __m128i x3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
    __m128i x4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
    x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(k_fold64));
    p += 64;
    count -= 64;
    while (count >= 64) {
        x1 = zipCrcFold(x1, k, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        x2 = zipCrcFold(x2, k, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)));
        x3 = zipCrcFold(x3, k, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)));
        x4 = zipCrcFold(x4, k, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)));
        p += 64;
        count -= 64;
    }
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k_fold16));
    x1 = zipCrcFold(x1, k, x2);
    x1 = zipCrcFold(x1, k, x3);
    x1 = zipCrcFold(x1, k, x4);
    while (count >= 16) {
        x1 = zipCrcFold(x1, k, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        p += 16;
        count -= 16;
    }
    // 128 bits to 64, then to 32.
    const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
    x2 = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k_fold8));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x00), x2);
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k_barrett));
    x2 = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x10), mask);
    x2 = _mm_clmulepi64_si128(x2, k, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

bool zipCrcCanFold()
{
    static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return can;
}
#endif

} // namespace

uint32_t FZipCrcCheck::update(uint32_t crc, const void* data, int64_t count)
{
    const auto* p = static_cast<const uint8_t*>(data);
    size_t left = static_cast<size_t>(count);
#if defined(__x86_64__)
    if (left >= 64 && zipCrcCanFold()) {
        const size_t folded = left & ~size_t{15};
        crc = ~zipCrcFolded(~crc, p, folded);
        p += folded;
        left -= folded;
    }
#endif
    return static_cast<uint32_t>(crc32_z(crc, p, static_cast<z_size_t>(left)));
}

FZipCrcCheck::FZipCrcCheck(uint32_t expected, int64_t size) : m_expected(expected), m_size(size) {}

void FZipCrcCheck::feed(int64_t position, const void* data, int64_t count)
{
    if (position > m_covered || position + count <= m_covered) return;
    const int64_t skip = m_covered - position;
    const int64_t fresh = std::min(count - skip, m_size - m_covered);
    if (fresh <= 0) return;
    m_crc = update(m_crc, static_cast<const uint8_t*>(data) + skip, fresh);
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
