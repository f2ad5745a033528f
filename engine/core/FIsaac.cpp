#include "core/FIsaac.h"

#include <cstring>

namespace {

struct MixWords
{
    uint32_t a, b, c, d, e, f, g, h;

    void mix()
    {
        a ^= b << 11;
        d += a;
        b += c;
        b ^= c >> 2;
        e += b;
        c += d;
        c ^= d << 8;
        f += c;
        d += e;
        d ^= e >> 16;
        g += d;
        e += f;
        e ^= f << 10;
        h += e;
        f += g;
        f ^= g >> 4;
        a += f;
        g += h;
        g ^= h << 8;
        b += g;
        h += a;
        h ^= a >> 9;
        c += h;
        a += b;
    }

    void add(const uint32_t* w)
    {
        a += w[0];
        b += w[1];
        c += w[2];
        d += w[3];
        e += w[4];
        f += w[5];
        g += w[6];
        h += w[7];
    }

    void store(uint32_t* w) const
    {
        w[0] = a;
        w[1] = b;
        w[2] = c;
        w[3] = d;
        w[4] = e;
        w[5] = f;
        w[6] = g;
        w[7] = h;
    }
};

} // namespace

FIsaac::FIsaac(uint32_t a, uint32_t b, uint32_t c)
{
    reseed(a, b, c, nullptr);
}

void FIsaac::reseed(uint32_t a, uint32_t b, uint32_t c, const uint32_t* seedWords)
{
    if (seedWords)
        std::memcpy(m_randrsl, seedWords, sizeof(m_randrsl));
    else
        std::memset(m_randrsl, 0, sizeof(m_randrsl));
    std::memset(m_randmem, 0, sizeof(m_randmem));
    m_aa = a;
    m_bb = b;
    m_cc = c;
    randinit(true);
}

void FIsaac::randinit(bool flag)
{
    MixWords w{0x9E3779B9u, 0x9E3779B9u, 0x9E3779B9u, 0x9E3779B9u,
               0x9E3779B9u, 0x9E3779B9u, 0x9E3779B9u, 0x9E3779B9u};
    // With the flag set the three accumulators keep the seed words they were
    // given; this is how the seed enters besides the result block.
    if (!flag) m_aa = m_bb = m_cc = 0;
    for (int i = 0; i < 4; ++i)
        w.mix();

    if (flag) {
        for (unsigned i = 0; i < k_size; i += 8) {
            w.add(m_randrsl + i);
            w.mix();
            w.store(m_randmem + i);
        }
        for (unsigned i = 0; i < k_size; i += 8) {
            w.add(m_randmem + i);
            w.mix();
            w.store(m_randmem + i);
        }
    } else {
        for (unsigned i = 0; i < k_size; i += 8) {
            w.mix();
            w.store(m_randmem + i);
        }
    }
    isaac();
    m_randcnt = k_size;
}

void FIsaac::isaac()
{
    uint32_t* mm = m_randmem;
    uint32_t a = m_aa;
    uint32_t b = m_bb + (++m_cc);
    for (unsigned i = 0; i < k_size; ++i) {
        switch (i & 3) {
        case 0:
            a ^= a << 13;
            break;
        case 1:
            a ^= a >> 6;
            break;
        case 2:
            a ^= a << 2;
            break;
        default:
            a ^= a >> 16;
            break;
        }
        const uint32_t x = mm[i];
        a += mm[(i + k_size / 2) & (k_size - 1)];
        const uint32_t y = mm[(x >> 2) & (k_size - 1)] + a + b;
        mm[i] = y;
        b = mm[(y >> 10) & (k_size - 1)] + x;
        m_randrsl[i] = b;
    }
    m_aa = a;
    m_bb = b;
}

uint32_t FIsaac::next()
{
    if (m_randcnt == 0) {
        isaac();
        m_randcnt = k_size - 1;
        return m_randrsl[k_size - 1];
    }
    --m_randcnt;
    return m_randrsl[m_randcnt];
}
