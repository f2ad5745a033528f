#include "engine/core/KernelTestSupport.h"

#include "asset/FAssetStream.h"
#include "core/FApplication.h"
#include "image/FImage.h"
#include "image/FImageLoaderModule.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "io/FFolderFileSystem.h"
#include "tools/imagewriters/PngWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

FRefT<FInStream> streamOver(const std::vector<uint8_t>& bytes)
{
    return FAssetStream::makeCopy(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// A screen-file image entry's kind data: alpha hit-test flag, second flag.
FRefT<FInStream> kindData(uint8_t alpha, uint8_t flagB)
{
    return streamOver({alpha, flagB});
}

class ImageAssetTest : public ::testing::Test
{
protected:
    FRefT<FFileEntry> fileWith(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::filesystem::path path = scratch.path() / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        FFileEntryMap found = m_plain.find(FString(path.string().c_str()));
        return found.begin()->second;
    }

    std::vector<uint8_t> png() const
    {
        return writePng(PngPicture::rgba(2, 1, {10, 20, 30, 40, 50, 60, 70, 80}));
    }

    FApplication application;
    FImageLoaderModule pngModule{k_slotPngLoader, &FPngLoader::load};
    FImageLoaderModule jpegModule{k_slotJpegLoader, &FJpegLoader::load};
    RecordingErrorHandler handler;
    ScratchFolder scratch;

private:
    FFolderFileSystem m_plain{FFolderFileSystem::k_folderNone};
};

TEST_F(ImageAssetTest, KindDataPicksTheLoaderByExactExtension)
{
    struct Case
    {
        const char* name;
        FAssetLoader* loader;
    };
    const Case cases[] = {
        {"a_0.png", &pngModule},
        {"b_0.jpg", &jpegModule},
        {"c_0.ppm", nullptr}, // the PPM slot is never filled
        {"d_0.PNG", nullptr}, // upper case picks nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FImage image;
        image.setCandidates({fileWith(c.name, png())});
        image.readKindData(*kindData(1, 0).get());
        EXPECT_EQ(image.loader(), c.loader);
        EXPECT_TRUE(image.usesAlphaHitTest());
        EXPECT_FALSE(image.flagB());
    }
}

TEST_F(ImageAssetTest, ImageLoadsThroughItsLoaderModuleWhenOpened)
{
    FImage image;
    image.setCandidates({fileWith("000042_0.png", png())});
    image.readKindData(*kindData(0, 1).get());
    image.openFirstSource();
    EXPECT_TRUE(image.isLoaded());
    EXPECT_FALSE(image.usesAlphaHitTest());
    EXPECT_TRUE(image.flagB());
    ASSERT_TRUE(image.hasPixels());
    EXPECT_EQ(image.width(), 2);
    // Unloaded completely on the last user, loaded again by the next.
    image.setLoadMode(FAsset::k_modeRelease);
    image.addUser();
    image.dropUser();
    EXPECT_EQ(image.pixels(), nullptr);
    image.addUser();
    EXPECT_TRUE(image.hasPixels());
}

TEST_F(ImageAssetTest, DamagedImageStaysEmptyAndFailed)
{
    std::vector<uint8_t> broken = png();
    broken.resize(broken.size() / 2);
    FRef handle = FAsset::emptyHandle();
    pngModule.createFromStream(handle, streamOver(broken));
    FImage* image = handle.as<FImage>();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->hasFailed());
    EXPECT_FALSE(image->hasPixels()) << "nothing is drawn for it";
    EXPECT_EQ(image->format(), k_pixelNone);
    EXPECT_FALSE(handler.texts.empty());
}

TEST_F(ImageAssetTest, ImageWithSourceAnswersAlphaHitTestForIt)
{
    FRefT<FImage> source = makeRef(engineNew<FImage>(k_memObject));
    source->setAlphaHitTest(true);
    FImage view;
    view.setSourceImage(source);
    EXPECT_TRUE(view.usesAlphaHitTest());
}

} // namespace
