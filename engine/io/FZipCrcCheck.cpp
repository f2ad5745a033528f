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

// Folds the four lanes x1..x4 (the 64 bytes before `p`) over the rest,
// `count` bytes (a multiple of 16), and reduces them (Barrett) to 32 bits.
__attribute__((target("pclmul,sse4.1"), always_inline)) inline uint32_t
zipCrcFoldRest(__m128i x1, __m128i x2, __m128i x3, __m128i x4, const uint8_t* p, size_t count)
{
    alignas(16) static const uint64_t k_fold64[2] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const uint64_t k_fold16[2] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const uint64_t k_fold8[2] = {0x0163cd6124, 0};
    alignas(16) static const uint64_t k_barrett[2] = {0x01db710641, 0x01f7011641};

    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(k_fold64));
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

// The reflected CRC-32 of `count` bytes (a multiple of 16, at least 64) on
// the inverted running value `crc`: four lanes of 16 bytes are folded 64
// bytes ahead, then into one, then reduced to 32 bits.
__attribute__((target("pclmul,sse4.1"))) uint32_t zipCrcFolded(uint32_t crc, const uint8_t* p, size_t count)
{
    __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128(static_cast<int>(crc)));
    return zipCrcFoldRest(x1, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)), p + 64, count - 64);
}

// zipCrcFold on four lanes at once.
__attribute__((target("avx512f,vpclmulqdq"), always_inline)) inline __m512i
zipCrcFoldWide(__m512i x, __m512i k, __m512i next)
{
    const __m512i low = _mm512_clmulepi64_epi128(x, k, 0x00);
    const __m512i high = _mm512_clmulepi64_epi128(x, k, 0x11);
    return _mm512_ternarylogic_epi64(low, high, next, 0x96);
}

// The same with sixteen lanes in four 64-byte registers, folded 256 bytes
// ahead: four times the bytes per carry-less product on processors that
// have them 512 bits wide (`count` a multiple of 16, at least 256).
__attribute__((target("avx512f,vpclmulqdq,pclmul,sse4.1"))) uint32_t
zipCrcFoldedWide(uint32_t crc, const uint8_t* p, size_t count)
{
    const __m512i k256 = _mm512_set_epi64(0x01322d1430, 0x011542778a, 0x01322d1430, 0x011542778a,
                                          0x01322d1430, 0x011542778a, 0x01322d1430, 0x011542778a);
    const __m512i k64 = _mm512_set_epi64(0x01c6e41596, 0x0154442bd4, 0x01c6e41596, 0x0154442bd4, 0x01c6e41596,
                                         0x0154442bd4, 0x01c6e41596, 0x0154442bd4);
    __m512i z0 = _mm512_loadu_si512(p);
    __m512i z1 = _mm512_loadu_si512(p + 64);
    __m512i z2 = _mm512_loadu_si512(p + 128);
    __m512i z3 = _mm512_loadu_si512(p + 192);
    z0 = _mm512_xor_si512(z0, _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc))));
    p += 256;
    count -= 256;
    while (count >= 256) {
        z0 = zipCrcFoldWide(z0, k256, _mm512_loadu_si512(p));
        z1 = zipCrcFoldWide(z1, k256, _mm512_loadu_si512(p + 64));
        z2 = zipCrcFoldWide(z2, k256, _mm512_loadu_si512(p + 128));
        z3 = zipCrcFoldWide(z3, k256, _mm512_loadu_si512(p + 192));
        p += 256;
        count -= 256;
    }
    // Each register's lanes carried 64 bytes into the next: the last 64
    // bytes' lanes go on as the narrow loop's four.
    z0 = zipCrcFoldWide(z0, k64, z1);
    z0 = zipCrcFoldWide(z0, k64, z2);
    z0 = zipCrcFoldWide(z0, k64, z3);
    alignas(64) __m128i lanes[4];
    _mm512_store_si512(lanes, z0);
    return zipCrcFoldRest(lanes[0], lanes[1], lanes[2], lanes[3], p, count);
}

bool zipCrcCanFoldWide()
{
    static const bool can = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
    return can;
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
        crc = folded >= 256 && zipCrcCanFoldWide() ? ~zipCrcFoldedWide(~crc, p, folded)
                                                   : ~zipCrcFolded(~crc, p, folded);
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
