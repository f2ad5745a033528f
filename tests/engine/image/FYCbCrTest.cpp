#include "image/FYCbCr.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using Bgra = std::array<int, 4>;

Bgra convertOne(int y, int cb, int cr, bool studio)
{
    const uint8_t yp = static_cast<uint8_t>(y);
    const uint8_t cbp = static_cast<uint8_t>(cb);
    const uint8_t crp = static_cast<uint8_t>(cr);
    uint8_t out[4] = {1, 2, 3, 4};
    convertYCbCr(out, 4, &crp, &cbp, 1, 1, 1, 1, 1, &yp, studio);
    return {out[0], out[1], out[2], out[3]};
}

struct ColourCase
{
    int y, cb, cr;
    bool studio;
    Bgra expected;
};

TEST(FYCbCr, SinglePixelsOfBothMatrices)
{
    const ColourCase cases[] = {
        {128, 128, 128, false, {128, 128, 128, 255}},
        {128, 128, 128, true, {148, 148, 148, 255}},
        {16, 128, 128, true, {18, 18, 18, 255}},      // 16 is not taken off Y
        {255, 128, 255, false, {255, 164, 255, 255}}, // R clamped from 433
        {0, 0, 0, false, {0, 135, 0, 255}},           // B clamped, G = (46801+22553)*128 >> 16
        // Truncation, no rounding term: R = (100 << 16) + 91881 * 1 = 6645481 >> 16 = 101.
        {100, 128, 129, false, {100, 99, 101, 255}},
        {235, 240, 16, true, {255, 255, 94, 255}},
    };
    for (const ColourCase& c : cases)
        EXPECT_EQ(convertOne(c.y, c.cb, c.cr, c.studio), c.expected)
            << "Y " << c.y << " Cb " << c.cb << " Cr " << c.cr << (c.studio ? " studio" : " full");
}

// A picture whose chroma samples are all distinct, so each output pixel tells
// which chroma sample it took: Cb = 10 * column + 1, Cr = 10 * row + 1 with a
// flat Y; pixels then decode to distinct B and R values.
struct Planes
{
    int32_t width, height, factor, chromaWidth, chromaHeight;
    std::vector<uint8_t> y, cb, cr;

    Planes(int32_t w, int32_t h, int32_t f)
        : width(w), height(h), factor(f), chromaWidth((w + f - 1) / f), chromaHeight((h + f - 1) / f),
          y(static_cast<std::size_t>(w) * h, 128), cb(static_cast<std::size_t>(chromaWidth) * chromaHeight),
          cr(cb.size())
    {
        for (int32_t r = 0; r < chromaHeight; ++r)
            for (int32_t c = 0; c < chromaWidth; ++c) {
                cb[r * chromaWidth + c] = static_cast<uint8_t>(100 + 10 * c);
                cr[r * chromaWidth + c] = static_cast<uint8_t>(100 + 10 * r);
            }
    }

    std::vector<uint8_t> convert(bool studio = false, uint8_t fill = 0xEE) const
    {
        std::vector<uint8_t> out(static_cast<std::size_t>(width) * height * 4, fill);
        convertYCbCr(out.data(), width * 4, cr.data(), cb.data(), factor, width, height, width, chromaWidth,
                     y.data(), studio);
        return out;
    }

    // The pixel that chroma sample (cx, cy) gives.
    Bgra expected(int32_t cx, int32_t cy) const
    {
        return convertOne(128, cb[cy * chromaWidth + cx], cr[cy * chromaWidth + cx], false);
    }
};

Bgra pixelAt(const std::vector<uint8_t>& out, int32_t width, int32_t outRow, int32_t x)
{
    const uint8_t* p = &out[(static_cast<std::size_t>(outRow) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

// Rows group in f from the bottom and take the chroma row of the group's
// lowest plane row; the top partial group takes chroma row 0. Columns group in
// f from the left. Output row k holds plane row h - 1 - k.
TEST(FYCbCr, ChromaSampleOfEveryPixel)
{
    struct Case
    {
        int32_t width, height, factor;
    };
    for (const Case c :
         {Case{3, 3, 2}, Case{4, 4, 2}, Case{5, 7, 4}, Case{9, 6, 4}, Case{2, 3, 1}, Case{1, 1, 2}}) {
        const Planes planes(c.width, c.height, c.factor);
        const std::vector<uint8_t> out = planes.convert();
        const int32_t f = c.factor;
        const int32_t wholeRows = (c.height / f) * f;
        for (int32_t k = 0; k < c.height; ++k) {
            const int32_t cy = k < wholeRows ? (c.height - 1 - (k / f) * f) / f : 0;
            for (int32_t x = 0; x < c.width; ++x)
                ASSERT_EQ(pixelAt(out, c.width, k, x), planes.expected(x / f, cy))
                    << c.width << "x" << c.height << " f " << f << " output row " << k << " column " << x;
        }
    }
}

TEST(FYCbCr, ThreeByThreeWithFactorTwoGroupsFromTheBottom)
{
    const Planes planes(3, 3, 2);
    const std::vector<uint8_t> out = planes.convert();
    // Plane rows 2 and 1 (output rows 0 and 1) take chroma row 1, plane row 0 chroma row 0.
    EXPECT_EQ(pixelAt(out, 3, 0, 0), planes.expected(0, 1));
    EXPECT_EQ(pixelAt(out, 3, 1, 1), planes.expected(0, 1));
    EXPECT_EQ(pixelAt(out, 3, 2, 0), planes.expected(0, 0));
    // Column 2 is a group of its own: chroma column 1.
    EXPECT_EQ(pixelAt(out, 3, 0, 2), planes.expected(1, 1));
    EXPECT_NE(pixelAt(out, 3, 1, 1), pixelAt(out, 3, 2, 1));
}

TEST(FYCbCr, LumaFollowsThePlaneRowsBottomUp)
{
    const int32_t w = 5;
    const int32_t h = 6;
    for (int32_t f : {1, 2, 4}) {
        Planes planes(w, h, f);
        for (int32_t r = 0; r < h; ++r)
            for (int32_t x = 0; x < w; ++x)
                planes.y[r * w + x] = static_cast<uint8_t>(20 * r + 3 * x);
        std::fill(planes.cb.begin(), planes.cb.end(), 128);
        std::fill(planes.cr.begin(), planes.cr.end(), 128);
        const std::vector<uint8_t> out = planes.convert();
        for (int32_t k = 0; k < h; ++k)
            for (int32_t x = 0; x < w; ++x) {
                const int v = 20 * (h - 1 - k) + 3 * x;
                ASSERT_EQ(pixelAt(out, w, k, x), (Bgra{v, v, v, 255}))
                    << "f " << f << " row " << k << " x " << x;
            }
    }
}

TEST(FYCbCr, OtherFactorsWriteNothing)
{
    for (int32_t f : {0, 3, 8}) {
        const Planes planes(6, 6, 2);
        std::vector<uint8_t> out(6 * 6 * 4, 0xEE);
        convertYCbCr(out.data(), 6 * 4, planes.cr.data(), planes.cb.data(), f, 6, 6, 6, planes.chromaWidth,
                     planes.y.data(), false);
        EXPECT_EQ(out, std::vector<uint8_t>(6 * 6 * 4, 0xEE)) << "factor " << f;
    }
}

TEST(FYCbCr, PitchLeavesPaddingAlone)
{
    const Planes planes(3, 2, 1);
    const int32_t pitch = 3 * 4 + 5;
    std::vector<uint8_t> out(static_cast<std::size_t>(pitch) * 2, 0xEE);
    convertYCbCr(out.data(), pitch, planes.cr.data(), planes.cb.data(), 1, 3, 2, 3, 3, planes.y.data(),
                 false);
    for (int32_t row = 0; row < 2; ++row)
        for (int32_t i = 12; i < pitch; ++i)
            EXPECT_EQ(out[row * pitch + i], 0xEE);
}

TEST(FYCbCr, FullEntryMatchesTheFlaggedOne)
{
    for (int32_t f : {1, 2, 4}) {
        Planes planes(13, 11, f);
        for (std::size_t i = 0; i < planes.y.size(); ++i)
            planes.y[i] = static_cast<uint8_t>(i * 37);
        std::vector<uint8_t> full(13 * 11 * 4);
        convertYCbCrFull(full.data(), 13 * 4, planes.cr.data(), planes.cb.data(), f, 13, 11, 13,
                         planes.chromaWidth, planes.y.data());
        EXPECT_EQ(full, planes.convert(false)) << "f " << f;
        EXPECT_NE(full, planes.convert(true)) << "f " << f;
    }
}

} // namespace
