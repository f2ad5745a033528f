#include "image/FYCbCr.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace {

// 16.16 fixed-point matrices. No rounding term is added before the shift.
struct FullRange
{
    static int32_t luma(int32_t y) { return y << 16; }
    static constexpr int32_t k_crToR = 91881;  // 1.402
    static constexpr int32_t k_crToG = 46801;  // 0.71414
    static constexpr int32_t k_cbToG = 22553;  // 0.34414
    static constexpr int32_t k_cbToB = 116129; // 1.772
};

// The luma gain is applied to Y itself: 16 is not taken off first.
struct StudioRange
{
    static int32_t luma(int32_t y) { return 76283 * y; }
    static constexpr int32_t k_crToR = 104595;
    static constexpr int32_t k_crToG = 53280;
    static constexpr int32_t k_cbToG = 25624;
    static constexpr int32_t k_cbToB = 132251;
};

struct ChromaTerms
{
    int32_t r;
    int32_t g;
    int32_t b;
};

template <class M> inline ChromaTerms chromaTerms(int32_t cb, int32_t cr)
{
    const int32_t dcb = cb - 128;
    const int32_t dcr = cr - 128;
    return {M::k_crToR * dcr, -M::k_crToG * dcr - M::k_cbToG * dcb, M::k_cbToB * dcb};
}

int32_t jobHeight(const FYCbCrJob& j, int32_t f)
{
    return j.m_tilesDown * f + j.m_restY;
}

inline int32_t clampChannel(int32_t v)
{
    v >>= 16;
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// One pixel's bytes B, G, R, 255 in memory order, as one word.
inline uint32_t packPixel(int32_t b, int32_t g, int32_t r)
{
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<uint32_t>(b) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(r) << 16) |
               0xFF000000u;
    else
        return (static_cast<uint32_t>(b) << 24) | (static_cast<uint32_t>(g) << 16) |
               (static_cast<uint32_t>(r) << 8) | 0xFFu;
}

// One run of pixels: luma and the chroma terms spread out per pixel give
// B, G, R, 255. The body is compiled twice, the second time for processors
// with AVX2, and the variant is chosen once.
template <class M>
__attribute__((always_inline)) inline void runBody(const uint8_t* yRow, const int32_t* tr, const int32_t* tg,
                                                   const int32_t* tb, uint8_t* out, int32_t n)
{
    for (int32_t x = 0; x < n; ++x) {
        const int32_t l = M::luma(yRow[x]);
        const uint32_t pixel =
            packPixel(clampChannel(l + tb[x]), clampChannel(l + tg[x]), clampChannel(l + tr[x]));
        std::memcpy(out + x * 4, &pixel, 4);
    }
}

template <class M> struct Kernels
{
    using Run = void (*)(const uint8_t*, const int32_t*, const int32_t*, const int32_t*, uint8_t*, int32_t);

    static void plain(const uint8_t* yRow, const int32_t* tr, const int32_t* tg, const int32_t* tb,
                      uint8_t* out, int32_t n)
    {
        runBody<M>(yRow, tr, tg, tb, out, n);
    }
#if defined(__x86_64__) || defined(__i386__)
    __attribute__((target("avx2"))) static void avx2(const uint8_t* yRow, const int32_t* tr,
                                                     const int32_t* tg, const int32_t* tb, uint8_t* out,
                                                     int32_t n)
    {
        runBody<M>(yRow, tr, tg, tb, out, n);
    }
#endif
    static Run choose()
    {
#if defined(__x86_64__) || defined(__i386__)
        if (__builtin_cpu_supports("avx2")) return avx2;
#endif
        return plain;
    }
    static void run(const uint8_t* yRow, const int32_t* tr, const int32_t* tg, const int32_t* tb,
                    uint8_t* out, int32_t n)
    {
        static const Run chosen = choose();
        chosen(yRow, tr, tg, tb, out, n);
    }
};

// Pixels are worked on in runs of this many columns, whose chroma terms are
// first spread out to one per pixel so that the per-pixel loop is plain
// arithmetic on arrays (which vectorises).
constexpr int32_t k_run = 256;

// Converts the f (or fewer) rows of one row group: output rows k0 .. k0 +
// rows - 1, all of them with chroma row cy. Column groups of f pixels share
// one chroma column; the last group may be partial. The chroma terms of each
// column group are computed once for all rows of the group.
template <class M, int F>
void convertRowGroup(const FYCbCrJob& j, int32_t width, int32_t height, int32_t k0, int32_t rows, int32_t cy)
{
    const uint8_t* cbRow = j.m_cb + static_cast<std::ptrdiff_t>(cy) * j.m_chromaStride;
    const uint8_t* crRow = j.m_cr + static_cast<std::ptrdiff_t>(cy) * j.m_chromaStride;
    alignas(32) int32_t tr[k_run];
    alignas(32) int32_t tg[k_run];
    alignas(32) int32_t tb[k_run];
    for (int32_t x0 = 0; x0 < width; x0 += k_run) {
        const int32_t n = width - x0 < k_run ? width - x0 : k_run;
        for (int32_t x = 0; x < n; x += F) {
            const int32_t c = (x0 + x) / F;
            const ChromaTerms t = chromaTerms<M>(cbRow[c], crRow[c]);
            for (int32_t d = 0; d < F; ++d) {
                tr[x + d] = t.r;
                tg[x + d] = t.g;
                tb[x + d] = t.b;
            }
        }
        for (int32_t i = 0; i < rows; ++i) {
            const int32_t k = k0 + i;
            const uint8_t* yRow = j.m_y + static_cast<std::ptrdiff_t>(height - 1 - k) * j.m_yStride + x0;
            uint8_t* out = j.m_dest + static_cast<std::ptrdiff_t>(k) * j.m_destPitch +
                           static_cast<std::ptrdiff_t>(x0) * 4;
            Kernels<M>::run(yRow, tr, tg, tb, out, n);
        }
    }
}

// Rows are grouped from the bottom: whole groups of f rows take the chroma row
// of their lowest plane row, the top (height mod f) rows chroma row 0.
template <class M, int F> void convertAll(const FYCbCrJob& j)
{
    const int32_t height = jobHeight(j, F);
    const int32_t width = j.m_tilesAcross * F + j.m_restX;
    for (int32_t g = 0; g < j.m_tilesDown; ++g)
        convertRowGroup<M, F>(j, width, height, g * F, F, (height - 1 - g * F) / F);
    if (j.m_restY > 0) convertRowGroup<M, F>(j, width, height, j.m_tilesDown * F, j.m_restY, 0);
}

template <class M>
void convert(uint8_t* dest, int32_t destPitch, const uint8_t* cr, const uint8_t* cb, int32_t factor,
             int32_t width, int32_t height, int32_t yStride, int32_t chromaStride, const uint8_t* y)
{
    if (factor != 1 && factor != 2 && factor != 4) return;
    if (width <= 0 || height <= 0) return;
    FYCbCrJob j;
    j.m_dest = dest;
    j.m_destPitch = destPitch;
    j.m_y = y;
    j.m_yStride = yStride;
    j.m_cb = cb;
    j.m_cr = cr;
    j.m_chromaStride = chromaStride;
    j.m_tilesAcross = width / factor;
    j.m_tilesDown = height / factor;
    j.m_restX = width % factor;
    j.m_restY = height % factor;
    switch (factor) {
    case 1:
        convertAll<M, 1>(j);
        break;
    case 2:
        convertAll<M, 2>(j);
        break;
    default:
        convertAll<M, 4>(j);
        break;
    }
}

} // namespace

void convertYCbCr(uint8_t* dest, int32_t destPitch, const uint8_t* cr, const uint8_t* cb, int32_t factor,
                  int32_t width, int32_t height, int32_t yStride, int32_t chromaStride, const uint8_t* y,
                  bool studio)
{
    if (studio)
        convert<StudioRange>(dest, destPitch, cr, cb, factor, width, height, yStride, chromaStride, y);
    else
        convert<FullRange>(dest, destPitch, cr, cb, factor, width, height, yStride, chromaStride, y);
}

void convertYCbCrFull(uint8_t* dest, int32_t destPitch, const uint8_t* cr, const uint8_t* cb, int32_t factor,
                      int32_t width, int32_t height, int32_t yStride, int32_t chromaStride, const uint8_t* y)
{
    convert<FullRange>(dest, destPitch, cr, cb, factor, width, height, yStride, chromaStride, y);
}
