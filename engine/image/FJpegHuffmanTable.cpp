#include "image/FJpegHuffmanTable.h"

#include <algorithm>

void FJpegHuffmanTable::build(const uint8_t counts[16], const uint8_t* values, bool dc)
{
    int32_t total = 0;
    for (int l = 0; l < 16; ++l)
        total += counts[l];
    for (int32_t i = 0; i < k_valueCount + 1; ++i)
        m_x[i] = i < total ? values[i] : 0;

    // Code sizes in code order, then the canonical codes.
    uint8_t sizes[k_valueCount + 1];
    int32_t codes[k_valueCount];
    int32_t n = 0;
    for (int l = 1; l <= 16; ++l)
        for (int i = 0; i < counts[l - 1]; ++i)
            sizes[n++] = static_cast<uint8_t>(l);
    sizes[n] = 0;
    int32_t code = 0;
    int32_t size = sizes[0];
    for (int32_t k = 0; k < n;) {
        while (k < n && sizes[k] == size)
            codes[k++] = code++;
        if (k >= n) break;
        do {
            code <<= 1;
            ++size;
        } while (sizes[k] != size);
    }

    m_maxCode[0] = -1;
    m_longest = 0;
    int32_t j = 0;
    for (int l = 1; l <= 16; ++l) {
        if (counts[l - 1] == 0) {
            m_maxCode[l] = -1;
            m_minCode[l] = 0;
            m_valPtr[l] = 0;
            continue;
        }
        m_valPtr[l] = j;
        m_minCode[l] = codes[j];
        j += counts[l - 1];
        m_maxCode[l] = codes[j - 1];
        m_longest = l;
    }
    if (m_longest > 0) ++m_maxCode[m_longest];

    // The lookup gives what the bit-by-bit decode gives for every k_fastBits
    // prefix: the shortest length l whose first l bits are at most
    // MAXCODE[l]. The prefixes that length l takes are those below
    // (MAXCODE[l] + 1) << (k_fastBits - l) that no shorter length took, so
    // each prefix is filled once.
    const int32_t fastLimit = m_longest < k_fastBits ? m_longest : k_fastBits;
    constexpr int64_t prefixes = int64_t{1} << k_fastBits;
    for (int64_t prefix = 0; prefix < prefixes; ++prefix) {
        m_fast[prefix] = 0;
        m_fastValue[prefix] = 0;
    }
    int64_t taken = 0;
    for (int32_t l = 1; l <= fastLimit && taken < prefixes; ++l) {
        if (m_maxCode[l] < 0) continue;
        const int64_t bound = std::min(prefixes, (int64_t{m_maxCode[l]} + 1) << (k_fastBits - l));
        for (int64_t p = taken; p < bound; ++p) {
            const int32_t prefix = static_cast<int32_t>(p);
            const int32_t c = prefix >> (k_fastBits - l);
            const int32_t symbol = valueOf(l, c);
            m_fast[prefix] = static_cast<uint16_t>((l << 8) | symbol);
            const int32_t size = dc ? symbol : (symbol & 15);
            if ((dc || size > 0) && l + size <= k_fastBits) {
                const int32_t raw = (prefix >> (k_fastBits - l - size)) & ((1 << size) - 1);
                const int32_t value = size == 0 ? 0 : (raw < (1 << (size - 1)) ? raw - (1 << size) + 1 : raw);
                m_fastValue[prefix] = (static_cast<uint32_t>(value) << 16) | static_cast<uint32_t>(l << 12) |
                                      static_cast<uint32_t>((l + size) << 8) | static_cast<uint32_t>(symbol);
            }
        }
        taken = std::max(taken, bound);
    }
}
