#include "KitDecodeSupport.h"
#include "engine/image/DecoderTestSupport.h"

#include "image/FJpegDecompress.h"
#include "image/FPngLoader.h"
#include "tools/imagewriters/ContainerWriters.h"
#include "tools/imagewriters/JpegWriter.h"
#include "tools/imagewriters/PngWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

// The written PNG read back through the engine's loader, top row first.
Bytes decodedPicture(const std::string& path, int32_t& width, int32_t& height)
{
    const std::string text = slurp(path);
    ByteStream stream(Bytes(text.begin(), text.end()));
    FImage image;
    FPngLoader::load(stream.stream(), image);
    width = image.width();
    height = image.height();
    return topDownPixels(image);
}

Bgra pixelAt(const Bytes& picture, int32_t width, int32_t x, int32_t y)
{
    const uint8_t* p = &picture[(static_cast<std::size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

Bytes concatTrailer(Bytes png, const Bytes& trailer)
{
    png.insert(png.end(), trailer.begin(), trailer.end());
    return png;
}

class KitDecodeTest : public ::testing::Test
{
protected:
    ScratchFolder m_scratch;
};

TEST_F(KitDecodeTest, JpegComesOutAsTheEngineDecodesIt)
{
    const Bytes jpeg = writeJpeg(TestPicture::make(21, 13, 5));
    spill("photo.JPG", jpeg);
    ASSERT_EQ(decode("photo.JPG", "photo.png"), 0) << slurp("err.txt");
    int32_t w = 0;
    int32_t h = 0;
    const Bytes written = decodedPicture("photo.png", w, h);
    ByteStream stream(jpeg);
    FImage engine;
    FJpegDecompress(stream.stream()).decode(engine);
    EXPECT_EQ(w, 21);
    EXPECT_EQ(h, 13);
    EXPECT_EQ(written, topDownPixels(engine));
    EXPECT_NE(slurp("out.txt").find("JPEG, 21 x 13"), std::string::npos) << slurp("out.txt");
}

TEST_F(KitDecodeTest, TrimmedPngFillsItsLogicalPicture)
{
    // A 2 x 2 picture placed at (1, 1) from the top left of a 4 x 3 one.
    const Bytes rgba = {10, 20, 30, 255, 11, 21, 31, 128, 12, 22, 32, 64, 13, 23, 33, 0};
    spill("trim.png", concatTrailer(writePng(PngPicture::rgba(2, 2, rgba)), placementTrailer(1, 1, 4, 3)));
    ASSERT_EQ(decode("trim.png", "out.png"), 0) << slurp("err.txt");
    int32_t w = 0;
    int32_t h = 0;
    const Bytes written = decodedPicture("out.png", w, h);
    ASSERT_EQ(w, 4);
    ASSERT_EQ(h, 3);
    EXPECT_EQ(pixelAt(written, w, 0, 0), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(written, w, 1, 1), (Bgra{30, 20, 10, 255}));
    EXPECT_EQ(pixelAt(written, w, 2, 1), (Bgra{31, 21, 11, 128}));
    EXPECT_EQ(pixelAt(written, w, 1, 2), (Bgra{32, 22, 12, 64}));
    EXPECT_EQ(pixelAt(written, w, 3, 2), (Bgra{0, 0, 0, 0}));
}

TEST_F(KitDecodeTest, Jpeg32TakesItsAlphaFromThePng)
{
    PngPicture mask;
    mask.width = 8;
    mask.height = 8;
    mask.colorType = 0;
    for (int i = 0; i < 64; ++i)
        mask.samples.push_back(static_cast<uint8_t>(i * 4));
    spill("sprite.j32", writeJ32(writeJpeg(TestPicture::make(8, 8, 9)), writePng(mask)));
    ASSERT_EQ(decode("sprite.j32", "sprite.png"), 0) << slurp("err.txt");
    int32_t w = 0;
    int32_t h = 0;
    const Bytes written = decodedPicture("sprite.png", w, h);
    ASSERT_EQ(w, 8);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(written[i * 4 + 3], i * 4) << "pixel " << i;
}

TEST_F(KitDecodeTest, PvrComesOutTransparent)
{
    PvrFile pvr;
    pvr.width = 8;
    pvr.height = 4;
    pvr.payload.assign(16, 0x77);
    spill("texture.pvr", writePvr(pvr));
    ASSERT_EQ(decode("texture.pvr", "texture.png"), 0) << slurp("err.txt");
    int32_t w = 0;
    int32_t h = 0;
    const Bytes written = decodedPicture("texture.png", w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 4);
    EXPECT_EQ(written, Bytes(8 * 4 * 4, 0));
    EXPECT_NE(slurp("out.txt").find("opaque"), std::string::npos);
}

TEST_F(KitDecodeTest, ExitCodes)
{
    JpegOptions progressive;
    progressive.progressive = true;
    spill("progressive.jpg", writeJpeg(TestPicture::make(8, 8, 1), progressive));
    EXPECT_EQ(decode("progressive.jpg", "x.png"), 1);
    EXPECT_NE(slurp("err.txt").find("Unsupported compression (2)"), std::string::npos) << slurp("err.txt");
    EXPECT_FALSE(fs::exists("x.png"));

    spill("picture.gif", {1, 2, 3});
    EXPECT_EQ(decode("picture.gif", "x.png"), 2);
    EXPECT_EQ(decode("missing.png", "x.png"), 1);
    EXPECT_EQ(decode("only-one.png"), 2);
}

// A trailer that claims a huge full picture is refused before anything of
// that size is made, whatever carries it.
TEST_F(KitDecodeTest, HugePlacementTrailersAreRefused)
{
    const Bytes trailer = placementTrailer(0, 0, 30000, 30000);
    PvrFile pvr;
    pvr.width = 8;
    pvr.height = 4;
    pvr.payload.assign(16, 0x77);
    pvr.placement = {0, 0, 8, 4, 30000, 30000};
    const std::pair<const char*, Bytes> files[] = {
        {"huge.png", concatTrailer(writePng(PngPicture::rgba(4, 4, Bytes(64, 9))), trailer)},
        {"huge.jpg", concatTrailer(writeJpeg(TestPicture::make(8, 8, 1)), trailer)},
        {"huge.pvr", writePvr(pvr)},
    };
    for (const auto& [name, bytes] : files) {
        spill(name, bytes);
        EXPECT_EQ(decode(name, "x.png"), 1) << name;
        EXPECT_NE(slurp("err.txt").find("full width (30000) and height (30000) in 1..16384"),
                  std::string::npos)
            << name << ": " << slurp("err.txt");
        EXPECT_FALSE(fs::exists("x.png")) << name;
    }
}

// A large picture is written row by row: decoding needs little more memory
// than the loaded pixels.
TEST_F(KitDecodeTest, LargePicturesAreWrittenRowByRow)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "sanitizers reserve more address space than the limit allows";
#endif
    constexpr int32_t k_side = 4096; // 64 MiB of pixels once loaded
    PngPicture picture;
    picture.width = k_side;
    picture.height = k_side;
    picture.colorType = 0;
    picture.bitDepth = 8;
    picture.samples.assign(static_cast<std::size_t>(k_side) * k_side, 0);
    for (int32_t y = 0; y < k_side; ++y)
        picture.samples[static_cast<std::size_t>(y) * k_side + static_cast<std::size_t>(y)] = 255;
    spill("large.png", writePng(picture));
    picture.samples.clear();
    picture.samples.shrink_to_fit();
    // Room for the loaded pixels and the program, not for a second copy.
    const std::string command =
        "ulimit -v 131072; " + std::string(KITTOOL_PATH) + " decode large.png out.png >out.txt 2>err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << slurp("err.txt");
    int32_t w = 0;
    int32_t h = 0;
    const Bytes written = decodedPicture("out.png", w, h);
    ASSERT_EQ(w, k_side);
    ASSERT_EQ(h, k_side);
    // Grey is a mask: white with the grey level as alpha; the diagonal is opaque.
    for (int32_t i : {0, 1, 2047, 4095}) {
        EXPECT_EQ(pixelAt(written, w, i, i), (Bgra{255, 255, 255, 255})) << i;
        EXPECT_EQ(pixelAt(written, w, (i + 1) % k_side, i)[3], 0) << i;
    }
}

} // namespace
