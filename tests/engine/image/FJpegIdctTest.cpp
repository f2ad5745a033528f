#include "image/FJpegIdct.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// The transform written out literally: 2048 x cos(k x pi / 16) truncated,
// every row then every column summed in 64-bit integers and shifted right by
// 12, negative samples descaled one lower than a symmetric rounding.
int64_t weight(int j)
{
    if (j == 0) return 1448;
    const double c = std::cos(j * M_PI / 16);
    const int64_t magnitude = static_cast<int64_t>(2048 * std::fabs(c) + 1e-9);
    return c < 0 ? -magnitude : magnitude;
}

std::vector<uint8_t> literalTransform(const int32_t* block)
{
    int64_t rows[8][8];
    for (int r = 0; r < 8; ++r)
        for (int x = 0; x < 8; ++x) {
            int64_t sum = 1448 * int64_t{block[r * 8]};
            for (int u = 1; u < 8; ++u)
                sum += block[r * 8 + u] * weight((2 * x + 1) * u);
            rows[r][x] = sum >> 12;
        }
    std::vector<uint8_t> out(64);
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) {
            int64_t s = 1448 * rows[0][x];
            for (int v = 1; v < 8; ++v)
                s += rows[v][x] * weight((2 * y + 1) * v);
            s >>= 12;
            int64_t sample = (s >= 0 ? (s + 128) >> 8 : (s - 129) >> 8) + 128;
            out[y * 8 + x] = static_cast<uint8_t>(sample < 0 ? 0 : (sample > 255 ? 255 : sample));
        }
    return out;
}

// A block as the decoder makes it: the forward DCT of random samples,
// quantised with step q, dequantised and scaled by 256; only the first
// `kept` coefficients in zig-zag order survive.
std::vector<int32_t> naturalBlock(std::mt19937& random, int q, int kept)
{
    static const int zigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                   12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                   35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                   58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
    double f[8][8];
    const int base = static_cast<int>(random() % 200) - 100;
    for (auto& row : f)
        for (double& v : row)
            v = base + static_cast<int>(random() % 80) - 40;
    std::vector<int32_t> block(64, 0);
    for (int k = 0; k < kept; ++k) {
        const int v = zigZag[k] / 8;
        const int u = zigZag[k] % 8;
        double sum = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                sum +=
                    f[y][x] * std::cos((2 * x + 1) * u * M_PI / 16) * std::cos((2 * y + 1) * v * M_PI / 16);
        const double cu = u == 0 ? M_SQRT1_2 : 1.0;
        const double cv = v == 0 ? M_SQRT1_2 : 1.0;
        const long level = std::lround(0.25 * cu * cv * sum / q);
        block[zigZag[k]] = static_cast<int32_t>(level * q * 256);
    }
    return block;
}

void masksOf(const std::vector<int32_t>& block, uint32_t& rowMask, uint32_t& acRowMask)
{
    rowMask = 1;
    acRowMask = 0;
    for (int i = 0; i < 64; ++i)
        if (block[i] != 0) {
            rowMask |= 1u << (i / 8);
            if (i % 8 != 0) acRowMask |= 1u << (i / 8);
        }
}

TEST(FJpegIdct, EqualsTheLiteralSums)
{
    std::mt19937 random(2024);
    int checked = 0;
    for (int q : {1, 3, 10, 40})
        for (int kept : {1, 2, 3, 6, 10, 21, 36, 64})
            for (int n = 0; n < 40; ++n) {
                const std::vector<int32_t> block = naturalBlock(random, q, kept);
                const std::vector<uint8_t> expected = literalTransform(block.data());
                uint32_t rowMask = 0;
                uint32_t acRowMask = 0;
                masksOf(block, rowMask, acRowMask);
                std::vector<uint8_t> skipping(64, 0);
                std::vector<uint8_t> full(64, 0);
                std::vector<uint8_t> plain(64, 0);
                FJpegIdct::transform(block.data(), rowMask, acRowMask, skipping.data(), 8, 8, 8);
                FJpegIdct::transform(block.data(), 0xFF, 0xFF, full.data(), 8, 8, 8);
                FJpegIdct::transformPlain(block.data(), rowMask, acRowMask, plain.data(), 8, 8, 8);
                ASSERT_EQ(skipping, expected) << "q " << q << " kept " << kept << " block " << n;
                ASSERT_EQ(full, expected) << "q " << q << " kept " << kept << " block " << n;
                ASSERT_EQ(plain, expected) << "q " << q << " kept " << kept << " block " << n;
                ++checked;
            }
    EXPECT_EQ(checked, 4 * 8 * 40);
}

TEST(FJpegIdct, FlatBlocksAndTheirRounding)
{
    // A DC-only block gives s = (1448 x ((1448 x dc) >> 12)) >> 12 everywhere.
    struct Case
    {
        int32_t dc;
        uint8_t sample;
    };
    const Case cases[] = {
        {0, 128},      {32768, 144}, // s = 4095: (4095 + 128) >> 8 = 16
        {-32768, 111},               // s = -4096: (-4096 - 129) >> 8 = -17
        {-2048, 126},                // s = -256 is exactly -1 level, yet comes out as -2
        {512000, 255},               // clamped
        {-512000, 0},                // clamped
    };
    for (const Case& c : cases) {
        int32_t block[64] = {c.dc};
        uint8_t out[64];
        FJpegIdct::transform(block, 1, 0, out, 8, 8, 8);
        EXPECT_EQ(out[0], c.sample) << "DC " << c.dc;
        EXPECT_EQ(out[63], c.sample) << "DC " << c.dc;
        EXPECT_EQ(out[0], literalTransform(block)[0]) << "DC " << c.dc;
    }
}

TEST(FJpegIdct, StoresOnlyTheClippedCorner)
{
    std::mt19937 random(7);
    const std::vector<int32_t> block = naturalBlock(random, 2, 64);
    const std::vector<uint8_t> expected = literalTransform(block.data());
    for (const auto& [cols, rows] : {std::pair{3, 8}, std::pair{8, 5}, std::pair{1, 1}}) {
        const int32_t stride = 11;
        std::vector<uint8_t> plane(stride * 9, 0xEE);
        FJpegIdct::transform(block.data(), 0xFF, 0xFF, plane.data(), stride, cols, rows);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < stride; ++x) {
                const bool inside = y < rows && x < cols;
                EXPECT_EQ(plane[y * stride + x], inside ? expected[y * 8 + x] : 0xEE)
                    << cols << "x" << rows << " at " << x << "," << y;
            }
    }
}

} // namespace
