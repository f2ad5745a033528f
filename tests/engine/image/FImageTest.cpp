#include "image/FImage.h"

#include "engine/core/KernelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "core/FMemory.h"
#include "core/FString.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ImageTest : public ::testing::Test
{
protected:
    RecordingErrorHandler m_handler;
};

// A buffer of rows x pitch bytes in engine memory; byte i = seed + i.
uint8_t* patternBuffer(int32_t rows, int32_t pitch, uint8_t seed)
{
    const size_t n = static_cast<size_t>(rows) * pitch;
    auto* b = static_cast<uint8_t*>(engineAlloc(k_memImage, std::max<size_t>(n, 1)));
    for (size_t i = 0; i < n; ++i) {
        b[i] = static_cast<uint8_t>(seed + i * 7);
    }
    return b;
}

// An image of `kind` whose stored pixels (stored size at offset, y counted from
// the top) sit in a picture of fullSize; pitch may carry padding.
FRefT<FImage> placedImage(int32_t kind, FImagePoint fullSize, FImagePoint stored, FImagePoint offset,
                          int32_t padding = 0, uint8_t seed = 1)
{
    FRefT<FImage> image = makeRef(engineNew<FImage>(k_memObject));
    const int32_t pitch = getPixelFormatOps(kind)->rowBytes(stored.x) + padding;
    image->setPlacedPixels(fullSize, kind, patternBuffer(stored.y, pitch, seed), stored, offset, pitch, 1.0f);
    return image;
}

Bytes pixelBytes(const FImage& image)
{
    const uint8_t* p = image.pixels();
    return Bytes(p, p + static_cast<size_t>(image.pitch()) * image.pixelRect().height());
}

using Bgra = std::array<uint8_t, 4>;

// The region copy written out pixel by pixel: every destination pixel of the
// clipped region takes the image pixel through the destination's bgra8 write.
Bytes referenceCopy(const FImage& image, FImagePoint dstSize, int32_t dstKind, FTopDownRect src,
                    FImagePoint pos, Bytes dst)
{
    const FPixelFormatOps* ops = getPixelFormatOps(dstKind);
    const int32_t pitch = ops->rowBytes(dstSize.x);
    const int32_t w = std::min(src.right - src.left, dstSize.x - pos.x);
    const int32_t h = std::min(src.bottom - src.top, dstSize.y - pos.y);
    for (int32_t k = 0; k < h; ++k) {
        for (int32_t j = 0; j < w; ++j) {
            const Bgra p = getImagePixel(image, {src.left + j, image.height() - src.bottom + k});
            ops->writeIndex[k_formBgra8](p.data(), dst.data() + (pos.y + k) * pitch, pos.x + j);
        }
    }
    return dst;
}

TEST(ImageRect, IntersectionKeepsTheCornerOfAnEmptyResult)
{
    struct Case
    {
        FImageRect a, b, expected;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 2, 20, 8}, {5, 2, 10, 8}},
        {{0, 0, 10, 10}, {12, 12, 20, 20}, {12, 12, 12, 12}},
        {{0, 0, 10, 10}, {-5, 3, 4, 30}, {0, 3, 4, 10}},
    };
    for (const Case& c : cases) {
        FImageRect r = c.a;
        intersectRect(r, c.b);
        EXPECT_EQ(r, c.expected);
    }
}

TEST(ImageRect, ContainmentNeedsTheCornerPixelInside)
{
    const FImageRect outer{2, 3, 10, 8};
    struct Case
    {
        FImageRect inner;
        bool contained;
    } cases[] = {
        {{2, 3, 10, 8}, true}, {{4, 4, 6, 6}, true},    {{1, 3, 5, 5}, false}, {{4, 4, 11, 6}, false},
        {{4, 4, 6, 9}, false}, {{10, 4, 10, 6}, false}, {{4, 8, 6, 8}, false}, {{9, 7, 10, 8}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rectContains(outer, c.inner), c.contained)
            << c.inner.left << "," << c.inner.bottom << "," << c.inner.right << "," << c.inner.top;
    }
}

TEST_F(ImageTest, PlacementCountsTheOffsetDownFromTheTop)
{
    auto image = placedImage(k_pixelBgra8, {100, 80}, {10, 20}, {5, 7});
    EXPECT_EQ(image->pixelRect(), (FImageRect{5, 53, 15, 73}));
    EXPECT_EQ(image->width(), 100);
    EXPECT_EQ(image->height(), 80);
    EXPECT_EQ(image->format(), k_pixelBgra8);
    EXPECT_EQ(image->formatOps(), getPixelFormatOps(k_pixelBgra8));

    FImage whole;
    whole.setPixels({4, 3}, k_pixelRgba8, patternBuffer(3, 16, 0), 16, 2.0f);
    EXPECT_EQ(whole.pixelRect(), (FImageRect{0, 0, 4, 3}));
    EXPECT_EQ(whole.pitch(), 16);
    EXPECT_EQ(whole.scale(), 2.0f);
}

TEST_F(ImageTest, SinglePixelReadsStopAtTheStoredRectangle)
{
    // 3 x 2 stored pixels at (1, 2) in a 6 x 5 picture: rect (1, 1, 4, 3).
    auto image = placedImage(k_pixelBgra8, {6, 5}, {3, 2}, {1, 2});
    const uint8_t* p = image->pixels();
    const FImageRect& r = image->pixelRect();
    ASSERT_EQ(r, (FImageRect{1, 1, 4, 3}));
    EXPECT_EQ(getImagePixel(*image, {1, 1}), (Bgra{p[0], p[1], p[2], p[3]}));
    EXPECT_EQ(getImagePixel(*image, {3, 2}), (Bgra{p[20], p[21], p[22], p[23]}));
    const Bgra zero{0, 0, 0, 0};
    EXPECT_EQ(getImagePixel(*image, {4, 1}), zero) << "right edge";
    EXPECT_EQ(getImagePixel(*image, {1, 3}), zero) << "top edge";
    EXPECT_EQ(getImagePixel(*image, {0, 1}), zero);
    EXPECT_EQ(getImagePixel(*image, {1, 0}), zero);

    // Other kinds arrive converted to B, G, R, A.
    auto rgba = placedImage(k_pixelRgba8, {2, 1}, {2, 1}, {0, 0});
    const uint8_t* q = rgba->pixels();
    EXPECT_EQ(getImagePixel(*rgba, {1, 0}), (Bgra{q[6], q[5], q[4], q[7]}));

    FImage empty;
    EXPECT_EQ(getImagePixel(empty, {0, 0}), zero);
}

TEST_F(ImageTest, WholeTrimmedImageCopiesBottomUpWithTransparentBorder)
{
    // 2 x 2 stored at (1, 1) in a 4 x 4 picture: rect (1, 1, 3, 3).
    auto image = placedImage(k_pixelBgra8, {4, 4}, {2, 2}, {1, 1});
    Bytes dst(4 * 4 * 4, 0xEE);
    image->copyRegionTo(dst.data(), {4, 4}, k_pixelBgra8, FTopDownRect{0, 0, 4, 4}, {0, 0});
    const uint8_t* p = image->pixels();
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            const uint8_t* d = &dst[(y * 4 + x) * 4];
            const bool stored = x >= 1 && x < 3 && y >= 1 && y < 3;
            // Destination row y holds image row y: the lowest row first.
            const uint8_t* s = stored ? p + (y - 1) * 8 + (x - 1) * 4 : nullptr;
            for (int c = 0; c < 4; ++c) {
                EXPECT_EQ(d[c], stored ? s[c] : 0) << x << "," << y;
            }
        }
    }
}

// Each case copies a region and compares with the pixel-by-pixel reference;
// cases cover the block path, the converting path and the clipped edges.
TEST_F(ImageTest, RegionCopiesMatchThePixelByPixelReference)
{
    struct Case
    {
        const char* what;
        int32_t kind;
        FImagePoint full, stored, offset;
        int32_t padding;
        int32_t dstKind;
        FImagePoint dstSize;
        FTopDownRect src;
        FImagePoint pos;
    } cases[] = {
        {"block, inside",
         k_pixelBgra8,
         {20, 10},
         {12, 6},
         {3, 2},
         4,
         k_pixelBgra8,
         {16, 8},
         {4, 3, 12, 7},
         {2, 1}},
        {"block, whole stored",
         k_pixelBgra8,
         {8, 8},
         {8, 8},
         {0, 0},
         0,
         k_pixelBgra8,
         {8, 8},
         {0, 0, 8, 8},
         {0, 0}},
        {"same kind, partly outside",
         k_pixelBgra8,
         {20, 10},
         {12, 6},
         {3, 2},
         0,
         k_pixelBgra8,
         {24, 12},
         {0, 0, 20, 10},
         {1, 1}},
        {"clipped at right and bottom",
         k_pixelBgra8,
         {20, 10},
         {12, 6},
         {3, 2},
         0,
         k_pixelBgra8,
         {9, 5},
         {2, 1, 14, 9},
         {4, 2}},
        {"rgba8 to bgra8",
         k_pixelRgba8,
         {20, 10},
         {12, 6},
         {3, 2},
         8,
         k_pixelBgra8,
         {20, 10},
         {0, 0, 20, 10},
         {0, 0}},
        {"bgra8 to rgb5a3",
         k_pixelBgra8,
         {10, 6},
         {7, 4},
         {2, 1},
         0,
         k_pixelRgb5a3,
         {12, 8},
         {1, 0, 10, 6},
         {2, 1}},
        {"grey8 to bgra8",
         k_pixelGrey8,
         {9, 9},
         {5, 5},
         {2, 2},
         3,
         k_pixelBgra8,
         {9, 9},
         {0, 0, 9, 9},
         {0, 0}},
        {"mono to bgra8",
         k_pixelMono1,
         {13, 5},
         {11, 3},
         {1, 1},
         0,
         k_pixelBgra8,
         {13, 5},
         {0, 0, 13, 5},
         {0, 0}},
        {"mono inside the stored bits",
         k_pixelMono1,
         {13, 5},
         {11, 3},
         {1, 1},
         0,
         k_pixelMono1,
         {17, 5},
         {2, 2, 9, 4},
         {3, 0}},
        {"mono to mono",
         k_pixelMono1,
         {13, 5},
         {11, 3},
         {1, 1},
         0,
         k_pixelMono1,
         {17, 5},
         {0, 0, 13, 5},
         {3, 0}},
        {"bgra8 to grey4, odd corner",
         k_pixelBgra8,
         {9, 4},
         {9, 4},
         {0, 0},
         0,
         k_pixelGrey4,
         {11, 4},
         {0, 0, 9, 4},
         {1, 0}},
        {"float to rgba16",
         k_pixelRgbaFloat,
         {5, 3},
         {3, 2},
         {1, 1},
         0,
         k_pixelRgba16,
         {5, 3},
         {0, 0, 5, 3},
         {0, 0}},
        {"payload to bgra8 is black",
         k_pixelRaw8,
         {6, 2},
         {6, 2},
         {0, 0},
         0,
         k_pixelBgra8,
         {6, 2},
         {0, 0, 6, 2},
         {0, 0}},
    };
    for (const Case& c : cases) {
        auto image = placedImage(c.kind, c.full, c.stored, c.offset, c.padding);
        if (c.kind == k_pixelRgbaFloat) {
            for (int32_t i = 0; i < image->pitch() * c.stored.y / 4; ++i) {
                const float f = static_cast<float>(i % 11) / 10.0f;
                std::memcpy(image->pixels() + 4 * i, &f, 4);
            }
        }
        const int32_t dstPitch = getPixelFormatOps(c.dstKind)->rowBytes(c.dstSize.x);
        const Bytes before(static_cast<size_t>(dstPitch) * c.dstSize.y, 0xEE);
        Bytes actual = before;
        image->copyRegionTo(actual.data(), c.dstSize, c.dstKind, c.src, c.pos);
        EXPECT_EQ(actual, referenceCopy(*image, c.dstSize, c.dstKind, c.src, c.pos, before)) << c.what;
        EXPECT_NE(actual, before) << c.what << ": something was written";
    }
}

TEST_F(ImageTest, BlockCopyOfPackedGreyMovesNibblesFromOddColumns)
{
    // Stored nibbles 0..15 repeating over a 7 x 2 grey4 image.
    FImage image;
    auto* buffer = static_cast<uint8_t*>(engineAlloc(k_memImage, 8));
    for (int i = 0; i < 8; ++i) {
        buffer[i] = static_cast<uint8_t>(((2 * i + 1) & 15) << 4 | ((2 * i) & 15));
    }
    image.setPixels({7, 2}, k_pixelGrey4, buffer, 4, 1.0f);
    // Columns 1..5 of both rows into destination columns 2..6 of a 9-wide row.
    Bytes dst(2 * 5, 0xFF);
    image.copyRegionTo(dst.data(), {9, 2}, k_pixelGrey4, FTopDownRect{1, 0, 6, 2}, {2, 0});
    auto nibble = [](const uint8_t* row, int i) { return (i & 1) ? row[i >> 1] >> 4 : row[i >> 1] & 15; };
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 9; ++i) {
            const int expected = (i >= 2 && i < 7) ? nibble(buffer + 4 * row, i - 1) : 15;
            EXPECT_EQ(nibble(dst.data() + 5 * row, i), expected) << "row " << row << " pixel " << i;
        }
    }
}

TEST_F(ImageTest, CopiedPixelsEqualTheSourceAndAreIndependent)
{
    auto source = placedImage(k_pixelBgra8, {30, 20}, {7, 5}, {4, 6}, 12);
    source->setScale(0.5f);
    FImage copy;
    copy.copyPixelsFrom(source);
    EXPECT_EQ(copy.width(), 30);
    EXPECT_EQ(copy.height(), 20);
    EXPECT_EQ(copy.pixelRect(), source->pixelRect());
    EXPECT_EQ(copy.pitch(), source->pitch());
    EXPECT_EQ(copy.format(), k_pixelBgra8);
    EXPECT_EQ(copy.formatOps(), source->formatOps());
    EXPECT_EQ(copy.scale(), 0.5f);
    EXPECT_EQ(pixelBytes(copy), pixelBytes(*source));
    EXPECT_NE(copy.pixels(), source->pixels());
}

TEST_F(ImageTest, AnImageStandsForItsSourceUntilItCopiesThePixels)
{
    auto root = placedImage(k_pixelBgra8, {8, 6}, {4, 3}, {2, 1});
    auto middle = makeRef(engineNew<FImage>(k_memObject));
    middle->setSourceImage(root);
    FImage top;
    top.setSourceImage(middle);
    EXPECT_EQ(top.format(), k_pixelNone);
    EXPECT_EQ(top.pixels(), nullptr);
    EXPECT_EQ(top.getRootPixelFormat(), k_pixelBgra8);
    root->setScale(3.0f);
    EXPECT_EQ(top.getRootScale(), 3.0f);

    // Copies follow the chain to the pixels.
    Bytes viaChain(8 * 6 * 4, 0xEE), direct(8 * 6 * 4, 0xEE);
    top.copyRegionTo(viaChain.data(), {8, 6}, k_pixelBgra8, FTopDownRect{0, 0, 8, 6}, {0, 0});
    root->copyRegionTo(direct.data(), {8, 6}, k_pixelBgra8, FTopDownRect{0, 0, 8, 6}, {0, 0});
    EXPECT_EQ(viaChain, direct);

    // Setting the scale takes a copy of the source's pixels and drops it.
    middle->setScale(0.25f);
    EXPECT_EQ(middle->sourceImage().get(), nullptr);
    EXPECT_EQ(middle->pixelRect(), root->pixelRect());
    EXPECT_EQ(pixelBytes(*middle), pixelBytes(*root));
    EXPECT_EQ(middle->scale(), 0.25f);
    EXPECT_EQ(top.getRootScale(), 0.25f);
}

class CountingMaterial : public FMaterial
{
public:
    explicit CountingMaterial(int* releases) : m_releases(releases) {}
    void release() override { ++*m_releases; }
    bool hasTexture() const override { return true; }

private:
    int* m_releases;
};

TEST_F(ImageTest, ReleasingPixelsLetsTheTextureGoAndKeepsTheScale)
{
    int releases = 0;
    auto image = placedImage(k_pixelBgra8, {8, 6}, {4, 3}, {2, 1});
    image->setScale(2.0f);
    image->setMaterial(makeRef<FMaterial>(engineNew<CountingMaterial>(k_memObject, &releases)));
    ASSERT_NE(image->material(), nullptr);

    // The material of a chain lives on its root.
    FImage proxy;
    proxy.setSourceImage(image);
    EXPECT_EQ(proxy.material(), image->material());

    image->releasePixels();
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(image->material(), nullptr);
    EXPECT_EQ(image->pixels(), nullptr);
    EXPECT_EQ(image->width(), 0);
    EXPECT_EQ(image->height(), 0);
    EXPECT_EQ(image->pixelRect(), FImageRect());
    EXPECT_EQ(image->format(), k_pixelNone);
    EXPECT_EQ(image->formatOps(), nullptr);
    EXPECT_EQ(image->pitch(), 0);
    EXPECT_EQ(image->scale(), 2.0f);
}

TEST_F(ImageTest, MergedAlphaReplacesOnlyTheAlphaBytes)
{
    // Same stored size, different pitches.
    auto colour = placedImage(k_pixelBgra8, {5, 3}, {5, 3}, {0, 0}, 4, 10);
    auto alpha = placedImage(k_pixelBgra8, {5, 3}, {5, 3}, {0, 0}, 0, 99);
    const Bytes before = pixelBytes(*colour);
    colour->mergeAlpha(*alpha);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            const uint8_t* c = colour->pixels() + y * colour->pitch() + 4 * x;
            const uint8_t* a = alpha->pixels() + y * alpha->pitch() + 4 * x;
            const uint8_t* b = before.data() + y * colour->pitch() + 4 * x;
            EXPECT_EQ(c[3], a[3]);
            EXPECT_EQ(Bytes(c, c + 3), Bytes(b, b + 3));
        }
    }

    // An empty alpha image changes nothing.
    const Bytes merged = pixelBytes(*colour);
    FImage empty;
    colour->mergeAlpha(empty);
    EXPECT_EQ(pixelBytes(*colour), merged);
    EXPECT_TRUE(m_handler.texts.empty());
}

TEST_F(ImageTest, MergingAlphaOfAnotherSizeOrPixelWidthIsAFailure)
{
    auto colour = placedImage(k_pixelBgra8, {5, 3}, {5, 3}, {0, 0});
    const Bytes before = pixelBytes(*colour);
    struct Case
    {
        const char* what;
        FRefT<FImage> alpha;
        const char* text;
    } cases[] = {
        {"larger", placedImage(k_pixelBgra8, {6, 3}, {6, 3}, {0, 0}),
         "alpha size (6 x 3) == image size (5 x 3)"},
        {"shorter", placedImage(k_pixelBgra8, {5, 2}, {5, 2}, {0, 0}),
         "alpha size (5 x 2) == image size (5 x 3)"},
        {"16-bit pixels", placedImage(k_pixelRgb5a3, {5, 3}, {5, 3}, {0, 0}), "alpha kind (6)"},
    };
    for (const Case& c : cases) {
        m_handler.texts.clear();
        EXPECT_THROW(colour->mergeAlpha(*c.alpha), FDebug::VellumcoreException) << c.what;
        ASSERT_EQ(m_handler.texts.size(), 1u) << c.what;
        EXPECT_NE(utf8(m_handler.texts[0]).find(c.text), std::string::npos)
            << c.what << ": " << utf8(m_handler.texts[0]);
        EXPECT_EQ(pixelBytes(*colour), before) << c.what;
    }
}

TEST_F(ImageTest, KeyedPixelsComeFromTheOtherImageWhereTheyOverlap)
{
    // Frame rect (0, 0, 6, 4); delta rect (2, 1, 8, 5): overlap (2, 1, 6, 4).
    auto frame = placedImage(k_pixelBgra8, {8, 5}, {6, 4}, {0, 1}, 0, 3);
    auto delta = placedImage(k_pixelBgra8, {8, 5}, {6, 4}, {2, 0}, 8, 50);
    ASSERT_EQ(frame->pixelRect(), (FImageRect{0, 0, 6, 4}));
    ASSERT_EQ(delta->pixelRect(), (FImageRect{2, 1, 8, 5}));
    // Mark every other pixel of the frame with key 1.
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            frame->pixels()[y * frame->pitch() + 4 * x + 3] = (x + y) % 2 ? 1 : 200;
        }
    }
    FImage before;
    before.copyPixelsFrom(frame);
    frame->replaceKeyedPixels(*delta, 1);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            const bool replaced = (x + y) % 2 == 1 && x >= 2 && y >= 1;
            const Bgra expected = replaced ? getImagePixel(*delta, {x, y}) : getImagePixel(before, {x, y});
            EXPECT_EQ(getImagePixel(*frame, {x, y}), expected) << x << "," << y;
        }
    }
}

} // namespace
