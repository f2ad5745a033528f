#include "image/FJpegIdct.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace {

// Eight 32-bit lanes: a row of the block. Lane arithmetic wraps.
typedef uint32_t Lanes __attribute__((vector_size(32)));
typedef int32_t SignedLanes __attribute__((vector_size(32)));
typedef uint8_t Bytes8 __attribute__((vector_size(8)));
typedef uint8_t Bytes32 __attribute__((vector_size(32)));

// 2048 x cos(k x pi / 16), truncated; k = 8 is the zero of the cosine.
constexpr int32_t k_cos[9] = {2048, 2008, 1892, 1702, 1448, 1137, 783, 399, 0};

// The constant whose angle has the cosine magnitude of j x pi / 16, with the
// sign of cos(j x pi / 16).
constexpr int32_t cosTerm(int32_t j)
{
    j %= 32;
    if (j <= 8) return k_cos[j];
    if (j <= 16) return -k_cos[16 - j];
    if (j <= 24) return -k_cos[j - 16];
    return k_cos[32 - j];
}

// k[u][x]: the weight of coefficient u in output x, 1448 for u = 0.
struct Basis
{
    uint32_t k[8][8];
};

constexpr Basis makeBasis()
{
    Basis b{};
    for (int32_t u = 0; u < 8; ++u)
        for (int32_t x = 0; x < 8; ++x)
            b.k[u][x] = static_cast<uint32_t>(u == 0 ? k_cos[4] : cosTerm((2 * x + 1) * u));
    return b;
}

constexpr Basis k_basis = makeBasis();
constexpr uint32_t k_dcWeight = k_basis.k[0][0];

// The symmetries the regrouped column pass relies on: output 7 - x takes the
// even terms of output x as they are and the odd ones negated, and the even
// terms of outputs 0..3 are built from two pairs.
constexpr bool basisIsSymmetric()
{
    for (int32_t u = 0; u < 8; ++u)
        for (int32_t x = 0; x < 4; ++x)
            if (k_basis.k[u][7 - x] != (u % 2 == 0 ? k_basis.k[u][x] : 0u - k_basis.k[u][x])) return false;
    for (int32_t x = 0; x < 4; ++x)
        if (k_basis.k[0][x] != k_basis.k[0][0]) return false;
    const auto& k = k_basis.k;
    return k[4][1] == 0u - k[4][0] && k[4][2] == 0u - k[4][0] && k[4][3] == k[4][0] &&
           k[2][3] == 0u - k[2][0] && k[6][3] == 0u - k[6][0] && k[2][2] == 0u - k[2][1] &&
           k[6][2] == 0u - k[6][1];
}
static_assert(basisIsSymmetric(), "the column pass regroups its sums by these symmetries");

inline int32_t shift12(uint32_t sum)
{
    return static_cast<int32_t>(sum) >> 12;
}

// Vectors go to and from helpers by reference: their calling convention by
// value differs with and without AVX, and both variants of the transform call
// these.
inline void loadLanes(Lanes& v, const void* p)
{
    std::memcpy(&v, p, sizeof v);
}

// (s + 128) >> 8 for s >= 0, (s - 129) >> 8 below, then + 128 and clamped to
// 0..255.
inline Bytes8 toSamples(const Lanes& sum)
{
    const SignedLanes s = reinterpret_cast<SignedLanes>(sum) >> 12;
    const SignedLanes negative = s < 0; // -1 in the lanes below zero
    SignedLanes v = ((s + 128 + (negative & -257)) >> 8) + 128;
    v = v < 0 ? 0 : v;
    v = v > 255 ? 255 : v;
    // The low byte of each lane, gathered by one byte shuffle.
    const Bytes32 bytes = reinterpret_cast<Bytes32>(v);
    constexpr int low = std::endian::native == std::endian::little ? 0 : 3;
    return __builtin_shufflevector(bytes, bytes, low, low + 4, low + 8, low + 12, low + 16, low + 20,
                                   low + 24, low + 28);
}

inline uint8_t toSample(int32_t s)
{
    int32_t v = ((s + 128 - (s < 0 ? 257 : 0)) >> 8) + 128;
    v = v < 0 ? 0 : v;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

// Whole rows (the common case) as one 8-byte store.
inline void storeRow(uint8_t* dest, const Bytes8& samples, int32_t cols)
{
    if (cols == 8)
        std::memcpy(dest, &samples, 8);
    else
        std::memcpy(dest, &samples, static_cast<std::size_t>(cols));
}

// Both passes work on eight lanes at once (the outputs of a row, the columns
// of the block); the body is compiled twice, the second time for processors
// with AVX2, and the wider vector unit is used where there is one.
__attribute__((always_inline)) inline void transformBlock(const int32_t* block, uint32_t rowMask,
                                                          uint32_t acRowMask, uint8_t* dest, int32_t stride,
                                                          int32_t cols, int32_t rows)
{
    // A block with only its DC term is flat.
    if ((rowMask & ~1u) == 0 && (acRowMask & 1u) == 0) {
        const int32_t rowValue = shift12(k_dcWeight * static_cast<uint32_t>(block[0]));
        const uint8_t v = toSample(shift12(k_dcWeight * static_cast<uint32_t>(rowValue)));
        Bytes8 flat;
        std::memset(&flat, v, sizeof flat);
        for (int32_t y = 0; y < rows; ++y)
            storeRow(dest + static_cast<std::ptrdiff_t>(y) * stride, flat, cols);
        return;
    }

    // Rows: out[x] = (sum over u of F[u] x k[u][x]) >> 12.
    Lanes tmp[8];
    int32_t usedRows = 0;
    for (int32_t r = 0; r < 8; ++r) {
        if (((rowMask >> r) & 1u) == 0) {
            tmp[r] = Lanes{};
            continue;
        }
        usedRows = r + 1;
        const int32_t* f = block + r * 8;
        if (((acRowMask >> r) & 1u) == 0) {
            tmp[r] = Lanes{} + static_cast<uint32_t>(shift12(k_dcWeight * static_cast<uint32_t>(f[0])));
            continue;
        }
        Lanes acc{};
        for (int32_t u = 0; u < 8; ++u) {
            Lanes weights;
            loadLanes(weights, k_basis.k[u]);
            acc += static_cast<uint32_t>(f[u]) * weights;
        }
        tmp[r] = reinterpret_cast<Lanes>(reinterpret_cast<SignedLanes>(acc) >> 12);
    }

    // Columns, all eight at once; rows past the last used one are zero.
    if (usedRows > 2) {
        // The same sums regrouped (exact in wrapping arithmetic): output rows
        // y and 7 - y share the even terms and differ in the odd terms' sign,
        // and the even terms pair up once more.
        const Lanes a = tmp[0] * k_basis.k[0][0];
        const Lanes b = tmp[4] * k_basis.k[4][0];
        const Lanes evenOdd0 = tmp[2] * k_basis.k[2][0] + tmp[6] * k_basis.k[6][0];
        const Lanes evenOdd1 = tmp[2] * k_basis.k[2][1] + tmp[6] * k_basis.k[6][1];
        const Lanes even[4] = {a + b + evenOdd0, a - b + evenOdd1, a - b - evenOdd1, a + b - evenOdd0};
        Lanes out[8];
        for (int32_t y = 0; y < 4; ++y) {
            const Lanes odd = tmp[1] * k_basis.k[1][y] + tmp[3] * k_basis.k[3][y] + tmp[5] * k_basis.k[5][y] +
                              tmp[7] * k_basis.k[7][y];
            out[y] = even[y] + odd;
            out[7 - y] = even[y] - odd;
        }
        for (int32_t y = 0; y < rows; ++y)
            storeRow(dest + static_cast<std::ptrdiff_t>(y) * stride, toSamples(out[y]), cols);
        return;
    }
    for (int32_t y = 0; y < rows; ++y) {
        Lanes acc = tmp[0] * k_basis.k[0][y];
        for (int32_t v = 1; v < usedRows; ++v)
            acc += tmp[v] * k_basis.k[v][y];
        storeRow(dest + static_cast<std::ptrdiff_t>(y) * stride, toSamples(acc), cols);
    }
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void transformAvx2(const int32_t* block, uint32_t rowMask, uint32_t acRowMask,
                                                   uint8_t* dest, int32_t stride, int32_t cols, int32_t rows)
{
    transformBlock(block, rowMask, acRowMask, dest, stride, cols, rows);
}
#endif

using TransformFunction = void (*)(const int32_t*, uint32_t, uint32_t, uint8_t*, int32_t, int32_t, int32_t);

TransformFunction chooseTransform()
{
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx2")) return transformAvx2;
#endif
    return FJpegIdct::transformPlain;
}

} // namespace

void FJpegIdct::transformPlain(const int32_t* block, uint32_t rowMask, uint32_t acRowMask, uint8_t* dest,
                               int32_t stride, int32_t cols, int32_t rows)
{
    transformBlock(block, rowMask, acRowMask, dest, stride, cols, rows);
}

void FJpegIdct::transform(const int32_t* block, uint32_t rowMask, uint32_t acRowMask, uint8_t* dest,
                          int32_t stride, int32_t cols, int32_t rows)
{
    static const TransformFunction chosen = chooseTransform();
    chosen(block, rowMask, acRowMask, dest, stride, cols, rows);
}
