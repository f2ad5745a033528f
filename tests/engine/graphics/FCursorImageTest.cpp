#include "graphics/FCursorImage.h"

#include "RecordingDevice.h"

#include <gtest/gtest.h>

namespace {

// Pixel (x, y) of the picture, y counted up from the bottom.
uint32_t patternAt(int32_t x, int32_t y)
{
    return 0xFF000000u | static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y) << 8 | 0x5Au;
}

TEST(CursorImageTest, SizesAreEightSixteenOrThirtyTwo)
{
    struct Case
    {
        int32_t width, height, size;
    } const cases[] = {{8, 8, 8},    {1, 3, 8},    {9, 8, 16},  {16, 16, 16},
                       {16, 17, 32}, {32, 32, 32}, {40, 20, 32}};
    for (const Case& c : cases)
        EXPECT_EQ(FCursorImage::cursorSize(c.width, c.height), c.size) << c.width << " x " << c.height;
}

TEST(CursorImageTest, PixelsAreUprightCutAtTheCursorSizeAndClearBeyondThePicture)
{
    struct Case
    {
        int32_t width, height;
    } const cases[] = {{8, 8}, {16, 16}, {32, 32}, {12, 5}, {40, 36}};
    for (const Case& c : cases) {
        FRefT<FImage> image = makeBgraImage(c.width, c.height, patternAt);
        int32_t size = 0;
        const std::vector<uint32_t> pixels = FCursorImage::mapPixels(*image, size);
        ASSERT_EQ(size, FCursorImage::cursorSize(c.width, c.height));
        ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
        for (int32_t y = 0; y < size; ++y) {
            for (int32_t x = 0; x < size; ++x) {
                // Cursor rows go down from the top: the picture's last row first.
                const uint32_t expected = x < c.width && y < c.height ? patternAt(x, c.height - 1 - y) : 0u;
                ASSERT_EQ(pixels[y * size + x], expected)
                    << c.width << " x " << c.height << " at " << x << ", " << y;
            }
        }
    }
}

TEST(CursorImageTest, PixelsComeFromTheEndOfTheSourceChain)
{
    FRefT<FImage> root = makeBgraImage(8, 8, patternAt);
    FRefT<FImage> derived = makeRef(engineNew<FImage>(k_memObject));
    derived->setSourceImage(root);
    int32_t size = 0;
    const std::vector<uint32_t> pixels = FCursorImage::mapPixels(*derived, size);
    EXPECT_EQ(size, 8);
    EXPECT_EQ(pixels[0], patternAt(0, 7));
}

} // namespace
