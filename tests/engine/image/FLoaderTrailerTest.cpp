// The JPEG, JPEG32 and PVR loaders: placement trailers, alpha merging and the
// checks on their own headers.
#include "image/FJpeg32Loader.h"
#include "image/FJpegDecompress.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "image/FPvrLoader.h"

#include "DecoderTestSupport.h"

#include "tools/imagewriters/ContainerWriters.h"
#include "tools/imagewriters/JpegWriter.h"
#include "tools/imagewriters/PngWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes smallJpeg(int32_t width = 16, int32_t height = 8)
{
    return writeJpeg(TestPicture::make(width, height, 3));
}

TEST(FJpegLoader, PlacementTrailerAfterTheEndOfImage)
{
    struct Case
    {
        const char* name;
        Bytes tail;
        int32_t fullWidth, fullHeight;
        FImageRect rect;
        int64_t left;
    };
    const Case cases[] = {
        {"15 bytes", Bytes(15, 0xAB), 16, 8, {0, 0, 16, 8}, 15},
        // Offset (4, 2) from the top left of a 64 x 32 picture.
        {"16 bytes", {0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 64, 0, 0, 0, 32}, 64, 32, {4, 22, 20, 30}, 0},
        {"trailer and more", concat(placementTrailer(0, 0, 20, 10), {1, 2, 3}), 20, 10, {0, 2, 16, 10}, 3},
    };
    for (const Case& c : cases) {
        ByteStream stream(concat(smallJpeg(), c.tail));
        FImage image;
        FJpegLoader::load(stream.stream(), image);
        EXPECT_EQ(image.width(), c.fullWidth) << c.name;
        EXPECT_EQ(image.height(), c.fullHeight) << c.name;
        EXPECT_EQ(image.pixelRect(), c.rect) << c.name;
        EXPECT_EQ(stream.remaining(), c.left) << c.name;
    }
}

// An image meant to hold RGB5A3 pixels still receives its rows as what they
// are, 32-bit B, G, R, A.
TEST(FImageLoaders, RowsStayBgraForImagesMeantForRgb5a3)
{
    struct Case
    {
        const char* name;
        Bytes bytes;
        void (*load)(FInStream&, FImage&);
    };
    const Case cases[] = {
        {"JPEG", smallJpeg(), FJpegLoader::load},
        {"PNG", writePng(PngPicture::rgba(4, 4, Bytes(64, 9))), FPngLoader::load},
    };
    for (const Case& c : cases) {
        FImage image;
        image.setPixels({1, 1}, k_pixelRgb5a3, static_cast<uint8_t*>(engineAlloc(k_memImage, 2)), 2, 1.0f);
        ASSERT_EQ(image.getRootPixelFormat(), k_pixelRgb5a3);
        ByteStream stream(c.bytes);
        c.load(stream.stream(), image);
        EXPECT_EQ(image.format(), k_pixelBgra8) << c.name;
        EXPECT_EQ(image.pitch(), image.pixelRect().width() * 4) << c.name;
    }
}

// The JPEG decoded alone, for the colour a JPEG32 file must keep.
Bytes jpegColours(const Bytes& jpeg)
{
    ByteStream stream(jpeg);
    FImage image;
    FJpegDecompress(stream.stream()).decode(image);
    return topDownPixels(image);
}

Bytes alphaPng(int32_t width, int32_t height, bool grey)
{
    PngPicture p;
    p.width = width;
    p.height = height;
    p.colorType = grey ? 0 : 6;
    p.bitDepth = 8;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t alpha = static_cast<uint8_t>(x * 16 + y);
            if (grey) {
                p.samples.push_back(alpha);
            } else {
                p.samples.insert(p.samples.end(), {1, 2, 3, alpha});
            }
        }
    return writePng(p);
}

TEST(FJpeg32Loader, ColourFromTheJpegAlphaFromThePng)
{
    const Bytes jpeg = smallJpeg();
    const Bytes colours = jpegColours(jpeg);
    for (const bool grey : {false, true}) {
        ByteStream stream(writeJ32(jpeg, alphaPng(16, 8, grey)));
        FImage image;
        FJpeg32Loader::load(stream.stream(), image);
        ASSERT_EQ(image.pixelRect(), (FImageRect{0, 0, 16, 8}));
        EXPECT_EQ(image.format(), k_pixelBgra8);
        const Bytes pixels = topDownPixels(image);
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 16; ++x) {
                const std::size_t i = (static_cast<std::size_t>(y) * 16 + x) * 4;
                EXPECT_EQ(0, std::memcmp(&pixels[i], &colours[i], 3))
                    << (grey ? "grey" : "RGBA") << " at " << x << "," << y;
                EXPECT_EQ(pixels[i + 3], x * 16 + y) << (grey ? "grey" : "RGBA") << " at " << x << "," << y;
            }
        EXPECT_EQ(stream.remaining(), 0);
    }
}

TEST(FJpeg32Loader, PlacedByThePngTrailer)
{
    ByteStream stream(writeJ32(smallJpeg(), alphaPng(16, 8, true), placementTrailer(3, 5, 40, 30)));
    FImage image;
    FJpeg32Loader::load(stream.stream(), image);
    EXPECT_EQ(image.width(), 40);
    EXPECT_EQ(image.height(), 30);
    // 30 - 5 - 8 = 17 up from the bottom.
    EXPECT_EQ(image.pixelRect(), (FImageRect{3, 17, 19, 25}));
    EXPECT_FLOAT_EQ(image.scale(), 1.0f);
}

TEST(FJpeg32Loader, Failures)
{
    Bytes wrongSignature = writeJ32(smallJpeg(), alphaPng(16, 8, true));
    wrongSignature[3] = '2';
    struct Case
    {
        const char* name;
        Bytes bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"signature J322", wrongSignature, "\n\nSignature\n\n"},
        {"three bytes", {'J', '3', '2'}, "\n\nSignature\n\n"},
        {"PNG larger than the JPEG", writeJ32(smallJpeg(), alphaPng(17, 8, true)),
         "alpha size (17 x 8) == image size (16 x 8)"},
        {"PNG smaller than the JPEG", writeJ32(smallJpeg(), alphaPng(16, 7, false)),
         "alpha size (16 x 7) == image size (16 x 8)"},
        {"no PNG", writeJ32(smallJpeg(), {}), "sizeRead (0) == sizeToRead ("},
    };
    for (const Case& c : cases) {
        ByteStream stream(c.bytes);
        FImage image;
        const std::string text = failureOf([&] { FJpeg32Loader::load(stream.stream(), image); });
        EXPECT_NE(text.find(c.expected), std::string::npos) << c.name << ": " << text;
    }
}

PvrFile pvrFile(uint32_t bitCount)
{
    PvrFile f;
    f.width = 8;
    f.height = 4;
    f.bitCount = bitCount;
    for (int i = 0; i < 16; ++i)
        f.payload.push_back(static_cast<uint8_t>(0xA0 + i));
    return f;
}

TEST(FPvrLoader, KindByBitCountAndHeaderKept)
{
    for (const auto& [bitCount, kind] :
         {std::pair{2u, k_pixelPvr2}, std::pair{4u, k_pixelPvr4}, std::pair{8u, k_pixelPvr4}}) {
        const Bytes file = writePvr(pvrFile(bitCount));
        ByteStream stream(file);
        FImage image;
        FPvrLoader::load(stream.stream(), image);
        EXPECT_EQ(image.format(), kind) << bitCount;
        EXPECT_EQ(image.pitch(), 0) << bitCount;
        EXPECT_EQ(image.width(), 8);
        EXPECT_EQ(image.height(), 4);
        EXPECT_EQ(image.pixelRect(), (FImageRect{0, 0, 8, 4}));
        // The buffer is the header followed by the payload.
        EXPECT_EQ(0, std::memcmp(image.pixels(), file.data(), file.size())) << bitCount;
    }
}

TEST(FPvrLoader, PlacementWords)
{
    PvrFile f = pvrFile(4);
    // left 2, top 3, right 10, bottom 7 in a 20 x 12 picture.
    f.placement = {2, 3, 10, 7, 20, 12};
    ByteStream stream(writePvr(f));
    FImage image;
    FPvrLoader::load(stream.stream(), image);
    EXPECT_EQ(image.width(), 20);
    EXPECT_EQ(image.height(), 12);
    // Stored 8 x 4 at offset (2, 3) from the top: bottom = 12 - 3 - 4.
    EXPECT_EQ(image.pixelRect(), (FImageRect{2, 5, 10, 9}));
}

TEST(FPvrLoader, HeaderChecksBeforeAllocating)
{
    const auto with = [](auto change) {
        PvrFile f = pvrFile(4);
        change(f);
        return writePvr(f);
    };
    Bytes shortHeader = writePvr(pvrFile(4));
    shortHeader.resize(20);
    struct Case
    {
        const char* name;
        Bytes bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"short header", shortHeader, "PVR: header (20) == 52"},
        {"header size 44", with([](PvrFile& f) { f.headerSize = 44; }), "PVR: headerSize (44) == 52"},
        {"width 0", with([](PvrFile& f) { f.width = 0; }), "PVR: width (0) and height (4) in 1..16384"},
        {"height 16385", with([](PvrFile& f) { f.height = 16385; }),
         "PVR: width (8) and height (16385) in 1..16384"},
        {"data size past the file", with([](PvrFile& f) { f.dataSizeField = 0x7FFFFFF0; }),
         "PVR: dataSize (2147483632) > 0 && dataSize <= remaining (16)"},
        {"no data", with([](PvrFile& f) {
             f.payload.clear();
             f.dataSizeField = 0;
         }),
         "PVR: dataSize (0) > 0 && dataSize <= remaining (0)"},
    };
    for (const Case& c : cases) {
        ByteStream stream(c.bytes);
        FImage image;
        const std::string text = failureOf([&] { FPvrLoader::load(stream.stream(), image); });
        EXPECT_NE(text.find(c.expected), std::string::npos) << c.name << ": " << text;
        EXPECT_EQ(image.pixels(), nullptr) << c.name;
    }
}

// A trailer is checked before anything is made from it: a full picture
// beyond the cap (which decoding would allocate whole), offsets near the
// 32-bit limits and stored pixels reaching past the full picture are failures
// of every loader that reads one.
TEST(FImageLoaders, PlacementTrailersOutOfBoundsAreFailures)
{
    constexpr int32_t k_max = 0x7FFFFFFF;
    struct Placement
    {
        const char* name;
        int32_t x, y, fullWidth, fullHeight;
        const char* expected; // after the format's name
    };
    // The stored picture is 16 x 8 (PVR: 8 x 4).
    const Placement placements[] = {
        {"huge full picture", 0, 0, 30000, 30000, ": full width (30000) and height (30000) in 1..16384"},
        {"one past the cap", 0, 0, 16385, 16, ": full width (16385) and height (16) in 1..16384"},
        {"no full picture", 0, 0, 0, 8, ": full width (0) and height (8) in 1..16384"},
        {"negative full picture", 0, 0, 40, -30, ": full width (40) and height (-30) in 1..16384"},
        {"offset near the limit", k_max - 3, 0, 16384, 16384, " at (2147483644, 0) inside 16384 x 16384"},
        {"offset down near the limit", 0, k_max, 16384, 16384, " at (0, 2147483647) inside 16384 x 16384"},
        {"negative offset", -1, 0, 40, 30, " at (-1, 0) inside 40 x 30"},
        {"most negative offset", 0, -k_max - 1, 40, 30, " at (0, -2147483648) inside 40 x 30"},
        {"one pixel past the right edge", 25, 0, 40, 30, " at (25, 0) inside 40 x 30"},
        {"one pixel past the bottom edge", 0, 23, 40, 30, " at (0, 23) inside 40 x 30"},
    };
    for (const Placement& p : placements) {
        SCOPED_TRACE(p.name);
        const Bytes trailer = placementTrailer(p.x, p.y, p.fullWidth, p.fullHeight);
        PvrFile pvr = pvrFile(4);
        // The whole 8 x 4 texture, placed; the PVR stored picture is half as
        // wide and high, so the edge cases move by as much.
        const int32_t pvrX = p.x == 25 ? 33 : p.x;
        const int32_t pvrY = p.y == 23 ? 27 : p.y;
        pvr.placement = {pvrX,
                         pvrY,
                         static_cast<int32_t>(static_cast<uint32_t>(pvrX) + 8u),
                         static_cast<int32_t>(static_cast<uint32_t>(pvrY) + 4u),
                         p.fullWidth,
                         p.fullHeight};
        const struct
        {
            const char* format;
            Bytes bytes;
            void (*load)(FInStream&, FImage&);
        } loaders[] = {
            {"JPEG", concat(smallJpeg(), trailer), FJpegLoader::load},
            {"PNG", concat(writePng(PngPicture::rgba(16, 8, Bytes(16 * 8 * 4, 9))), trailer),
             FPngLoader::load},
            {"PNG", writeJ32(smallJpeg(), alphaPng(16, 8, true), trailer), FJpeg32Loader::load},
            {"PVR", writePvr(pvr), FPvrLoader::load},
        };
        for (const auto& l : loaders) {
            ByteStream stream(l.bytes);
            FImage image;
            const std::string text = failureOf([&] { l.load(stream.stream(), image); });
            std::string expected = std::string(l.format) + p.expected;
            const bool nearTheLimit = p.x > 0x10000 || p.y > 0x10000;
            if (std::string(l.format) == "PVR" && nearTheLimit)
                expected = "PVR: placed "; // the texture's own right or bottom edge wraps first
            else if (std::string(l.format) == "PVR" && expected.find(" at (") != std::string::npos)
                expected =
                    "PVR: stored 8 x 4 at (" + std::to_string(pvrX) + ", " + std::to_string(pvrY) + ")";
            else if (expected.find(" at (") != std::string::npos)
                expected = std::string(l.format) + ": stored 16 x 8" + p.expected;
            EXPECT_NE(text.find(expected), std::string::npos) << l.format << ": " << text;
        }
    }
}

// A PVR trailer's own stored rectangle lies within the texture's pixels.
TEST(FPvrLoader, PlacedPartLargerThanTheTextureIsAFailure)
{
    const struct
    {
        std::vector<int32_t> placement;
        const char* expected;
    } cases[] = {
        {{0, 0, 9, 4, 20, 12}, "PVR: placed 9 x 4 in 1..8 x 1..4"},
        {{0, 0, 8, 5, 20, 12}, "PVR: placed 8 x 5 in 1..8 x 1..4"},
        {{5, 0, 5, 4, 20, 12}, "PVR: placed 0 x 4 in 1..8 x 1..4"},
        {{-2147483647 - 1, 0, 2147483647, 4, 20, 12}, "PVR: placed 4294967295 x 4 in 1..8 x 1..4"},
    };
    for (const auto& c : cases) {
        PvrFile f = pvrFile(4);
        f.placement = c.placement;
        ByteStream stream(writePvr(f));
        FImage image;
        const std::string text = failureOf([&] { FPvrLoader::load(stream.stream(), image); });
        EXPECT_NE(text.find(c.expected), std::string::npos) << text;
    }
}

} // namespace
