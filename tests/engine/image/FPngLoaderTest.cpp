#include "image/FPngLoader.h"

#include "DecoderTestSupport.h"

#include "tools/imagewriters/ContainerWriters.h"
#include "tools/imagewriters/PngWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int32_t k_width = 5; // odd, so that packed rows end inside a byte
constexpr int32_t k_height = 3;

// Channel values of the pixel at (x, y), top row first, in the file's depth.
using Samples = std::function<std::vector<int>(int x, int y)>;

// Packs one value per channel into PNG rows of `depth` bits a sample.
Bytes packRows(int channels, int depth, const Samples& samples)
{
    Bytes out;
    for (int y = 0; y < k_height; ++y) {
        Bytes row;
        int bitsUsed = 0;
        for (int x = 0; x < k_width; ++x) {
            const std::vector<int> v = samples(x, y);
            for (int c = 0; c < channels; ++c) {
                if (depth == 16) {
                    row.push_back(static_cast<uint8_t>(v[c] >> 8));
                    row.push_back(static_cast<uint8_t>(v[c]));
                } else if (depth == 8) {
                    row.push_back(static_cast<uint8_t>(v[c]));
                } else {
                    if (bitsUsed % 8 == 0) row.push_back(0);
                    row.back() |= static_cast<uint8_t>(v[c] << (8 - depth - bitsUsed % 8));
                    bitsUsed += depth;
                }
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

struct ColourCase
{
    const char* name;
    int colorType;
    int depth;
    int channels;
    Samples samples;
    std::function<Bgra(int x, int y)> expected;
    Bytes palette = {};
    Bytes transparency = {};
    bool interlaced = false;
};

int level(int x, int y, int max)
{
    return (x * 7 + y * 3) % (max + 1);
}

std::vector<ColourCase> colourCases()
{
    const auto grey = [](int depth) {
        const int max = (1 << depth) - 1;
        return ColourCase{"grey",
                          0,
                          depth,
                          1,
                          [=](int x, int y) { return std::vector<int>{level(x, y, max)}; },
                          [=](int x, int y) {
                              // Grey pictures are masks: white, alpha = the grey level in 8 bits.
                              return Bgra{255, 255, 255, static_cast<uint8_t>(level(x, y, max) * 255 / max)};
                          }};
    };
    std::vector<ColourCase> cases = {grey(1), grey(2), grey(4), grey(8)};
    cases.push_back({"grey 16-bit", 0, 16, 1,
                     [](int x, int y) { return std::vector<int>{x * 9000 + y * 700 + 0x12}; },
                     [](int x, int y) {
                         return Bgra{255, 255, 255, static_cast<uint8_t>((x * 9000 + y * 700 + 0x12) >> 8)};
                     }});
    cases.push_back({"grey with a transparent level",
                     0,
                     8,
                     1,
                     [](int x, int) { return std::vector<int>{x * 60}; },
                     [](int x, int) {
                         return Bgra{255, 255, 255, static_cast<uint8_t>(x * 60)};
                     },
                     {},
                     {0, 60}});
    cases.push_back({"grey and alpha", 4, 8, 2,
                     [](int x, int y) {
                         return std::vector<int>{x * 50, y * 100};
                     },
                     [](int x, int y) {
                         const uint8_t g = static_cast<uint8_t>(x * 50);
                         return Bgra{g, g, g, static_cast<uint8_t>(y * 100)};
                     }});
    cases.push_back({"grey and alpha 16-bit", 4, 16, 2,
                     [](int x, int y) {
                         return std::vector<int>{x * 12000 + 5, 65535 - y * 20000};
                     },
                     [](int x, int y) {
                         const uint8_t g = static_cast<uint8_t>((x * 12000 + 5) >> 8);
                         return Bgra{g, g, g, static_cast<uint8_t>((65535 - y * 20000) >> 8)};
                     }});
    const Bytes palette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 200, 210, 220};
    const auto paletteColour = [palette](int i, uint8_t alpha) {
        return Bgra{palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], alpha};
    };
    cases.push_back({"palette", 3, 8, 1, [](int x, int y) { return std::vector<int>{(x + y) % 4}; },
                     [=](int x, int y) { return paletteColour((x + y) % 4, 255); }, palette});
    cases.push_back({"palette 2-bit", 3, 2, 1, [](int x, int y) { return std::vector<int>{(x + 2 * y) % 4}; },
                     [=](int x, int y) { return paletteColour((x + 2 * y) % 4, 255); }, palette});
    // Entries past the transparency chunk stay opaque.
    cases.push_back({"palette with transparency",
                     3,
                     8,
                     1,
                     [](int x, int) { return std::vector<int>{x % 4}; },
                     [=](int x, int) {
                         const uint8_t alphas[4] = {0, 128, 255, 255};
                         return paletteColour(x % 4, alphas[x % 4]);
                     },
                     palette,
                     {0, 128}});
    cases.push_back({"RGB", 2, 8, 3,
                     [](int x, int y) {
                         return std::vector<int>{x * 40, y * 90, 200};
                     },
                     [](int x, int y) {
                         return Bgra{200, static_cast<uint8_t>(y * 90), static_cast<uint8_t>(x * 40), 255};
                     }});
    cases.push_back({"RGB 16-bit", 2, 16, 3,
                     [](int x, int y) {
                         return std::vector<int>{x * 10000 + 255, y * 30000, 0xABCD};
                     },
                     [](int x, int y) {
                         return Bgra{0xAB, static_cast<uint8_t>((y * 30000) >> 8),
                                     static_cast<uint8_t>((x * 10000 + 255) >> 8), 255};
                     }});
    cases.push_back({"RGB with a transparent colour",
                     2,
                     8,
                     3,
                     [](int x, int) {
                         return std::vector<int>{x, 2, 3};
                     },
                     [](int x, int) {
                         return Bgra{3, 2, static_cast<uint8_t>(x), static_cast<uint8_t>(x == 1 ? 0 : 255)};
                     },
                     {},
                     {0, 1, 0, 2, 0, 3}});
    cases.push_back({"RGBA", 6, 8, 4,
                     [](int x, int y) {
                         return std::vector<int>{x, y, x + y, x * 50};
                     },
                     [](int x, int y) {
                         return Bgra{static_cast<uint8_t>(x + y), static_cast<uint8_t>(y),
                                     static_cast<uint8_t>(x), static_cast<uint8_t>(x * 50)};
                     }});
    cases.push_back({"RGBA 16-bit interlaced",
                     6,
                     16,
                     4,
                     [](int x, int y) {
                         return std::vector<int>{x << 8, y << 8, 0xFFFF, (x * 60) << 8 | 0xFF};
                     },
                     [](int x, int y) {
                         return Bgra{0xFF, static_cast<uint8_t>(y), static_cast<uint8_t>(x),
                                     static_cast<uint8_t>(x * 60)};
                     },
                     {},
                     {},
                     true});
    return cases;
}

Bytes pngOf(const ColourCase& c)
{
    PngPicture picture;
    picture.width = k_width;
    picture.height = k_height;
    picture.colorType = c.colorType;
    picture.bitDepth = c.depth;
    picture.interlaced = c.interlaced;
    picture.samples = packRows(c.channels, c.depth, c.samples);
    picture.paletteRgb = c.palette;
    picture.transparency = c.transparency;
    return writePng(picture);
}

void load(FImage& image, const Bytes& bytes)
{
    ByteStream stream(bytes);
    FPngLoader::load(stream.stream(), image);
}

TEST(FPngLoader, EveryColourTypeEndsAsBgraBottomUp)
{
    for (const ColourCase& c : colourCases()) {
        FImage image;
        load(image, pngOf(c));
        ASSERT_EQ(image.format(), k_pixelBgra8) << c.name;
        ASSERT_EQ(image.pixelRect(), (FImageRect{0, 0, k_width, k_height})) << c.name;
        EXPECT_EQ(image.width(), k_width) << c.name;
        EXPECT_EQ(image.pitch(), k_width * 4) << c.name;
        const Bytes pixels = topDownPixels(image);
        for (int y = 0; y < k_height; ++y)
            for (int x = 0; x < k_width; ++x) {
                const uint8_t* p = &pixels[(y * k_width + x) * 4];
                EXPECT_EQ((Bgra{p[0], p[1], p[2], p[3]}), c.expected(x, y))
                    << c.name << " at " << x << "," << y;
            }
    }
}

Bytes smallPng()
{
    std::vector<uint8_t> rgba(6 * 4 * 4, 0x40);
    return writePng(PngPicture::rgba(6, 4, rgba));
}

Bytes withTail(Bytes bytes, const Bytes& tail)
{
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

TEST(FPngLoader, PlacementTrailer)
{
    struct Case
    {
        const char* name;
        Bytes tail;
        int32_t fullWidth, fullHeight;
        FImageRect rect;
        int64_t left; // bytes left in the stream afterwards
    };
    const Case cases[] = {
        {"no trailer", {}, 6, 4, {0, 0, 6, 4}, 0},
        {"15 bytes", Bytes(15, 7), 6, 4, {0, 0, 6, 4}, 15},
        // Offset (4, 2) from the top left of a 64 x 32 picture.
        {"16 bytes", {0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 64, 0, 0, 0, 32}, 64, 32, {4, 26, 10, 30}, 0},
        {"trailer and more", withTail(placementTrailer(1, 0, 8, 4), {9, 9}), 8, 4, {1, 0, 7, 4}, 2},
    };
    for (const Case& c : cases) {
        ByteStream stream(withTail(smallPng(), c.tail));
        FImage image;
        FPngLoader::load(stream.stream(), image);
        EXPECT_EQ(image.width(), c.fullWidth) << c.name;
        EXPECT_EQ(image.height(), c.fullHeight) << c.name;
        EXPECT_EQ(image.pixelRect(), c.rect) << c.name;
        EXPECT_EQ(stream.remaining(), c.left) << c.name;
    }
}

// An image meant to hold 4-bit grey reads the trailer and places the pixels
// at the origin all the same.
TEST(FPngLoader, TrailerIgnoredForGrey4Images)
{
    FImage image;
    image.setPixels({2, 2}, k_pixelGrey4, static_cast<uint8_t*>(engineAlloc(k_memImage, 2)), 1, 1.0f);
    ByteStream stream(withTail(smallPng(), placementTrailer(4, 2, 64, 32)));
    FPngLoader::load(stream.stream(), image);
    EXPECT_EQ(stream.remaining(), 0);
    EXPECT_EQ(image.pixelRect(), (FImageRect{0, 0, 6, 4}));
    EXPECT_EQ(image.width(), 6);
    EXPECT_EQ(image.format(), k_pixelBgra8);
}

TEST(FPngLoader, BrokenFilesFail)
{
    Bytes truncated = smallPng();
    truncated.resize(truncated.size() - 20);
    Bytes badCrc = smallPng();
    badCrc[29] ^= 0x55; // inside the header chunk's CRC
    Bytes notPng = smallPng();
    notPng[1] = 'X';
    const Bytes wide = writePng(PngPicture::rgba(16385, 1, std::vector<uint8_t>(16385 * 4, 1)));
    struct Case
    {
        const char* name;
        Bytes bytes;
        std::vector<const char*> expected;
    };
    const Case cases[] = {
        {"truncated", truncated, {"sizeRead (", ") == sizeToRead ("}},
        {"bad checksum", badCrc, {"user_error_fn (", "CRC"}},
        {"not a PNG", notPng, {"user_error_fn (", "PNG"}},
        {"wider than 16384", wide, {"user_error_fn (Invalid IHDR data)"}},
    };
    for (const Case& c : cases) {
        FImage image;
        const std::string text = failureOf([&] { load(image, c.bytes); });
        for (const char* part : c.expected)
            EXPECT_NE(text.find(part), std::string::npos) << c.name << ": " << text;
        EXPECT_EQ(image.pixels(), nullptr) << c.name;
    }
}

} // namespace
