#include "graphics/FTextureRegistry.h"

#include "RecordingDevice.h"
#include "core/FErrorHandler.h"
#include "graphics/FTextureMaterial.h"
#include "support/QuietErrorHandler.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

class TextureRegistryTest : public ::testing::Test
{
protected:
    RecordingDevice m_device;
    std::shared_ptr<FTextureRegistry> m_textures = std::make_shared<FTextureRegistry>(&m_device);
};

TEST_F(TextureRegistryTest, ImagesOfOneRootShareOneTextureMadeOnce)
{
    FRefT<FImage> root = makeSolidImage(100, 60, 0xFF112233u);
    FRefT<FImage> derived = makeRef(engineNew<FImage>(k_memObject));
    derived->setSourceImage(root);
    const uint32_t first = m_textures->textureFor(root);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(m_textures->textureFor(root), first);
    m_textures->releaseDeferredTextures(); // forgets the look-up of the last image
    EXPECT_EQ(m_textures->textureFor(derived), first);
    EXPECT_EQ(m_device.created, (std::vector<FPointI>{{100, 60}}));
    EXPECT_EQ(m_textures->materialCount(), 1u);
    auto* material = dynamic_cast<FTextureMaterial*>(root->material());
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->width(), 100);
    EXPECT_EQ(material->height(), 60);
    EXPECT_EQ(derived->material(), material);
}

TEST_F(TextureRegistryTest, TheTextureHoldsTheStoredPixelsLowestRowFirst)
{
    // Bottom row red, the rest blue; a trimmed image uploads its stored part.
    FRefT<FImage> image = makeBgraImage(
        3, 2, [](int32_t, int32_t y) { return y == 0 ? 0xFFFF0000u : 0xFF0000FFu; }, {10, 10}, {4, 4});
    ASSERT_NE(m_textures->textureFor(image), 0u);
    EXPECT_EQ(m_device.created, (std::vector<FPointI>{{3, 2}}));
    EXPECT_EQ(m_device.firstTexels[0], (std::vector<uint8_t>{0x00, 0x00, 0xFF, 0xFF}));
}

TEST_F(TextureRegistryTest, AFailedTextureIsTriedAgainLater)
{
    FRefT<FImage> image = makeSolidImage(4, 4, 0xFFFFFFFFu);
    m_device.failTextures = true;
    EXPECT_EQ(m_textures->textureFor(image), 0u);
    EXPECT_EQ(image->material(), nullptr);
    m_device.failTextures = false;
    EXPECT_NE(m_textures->textureFor(image), 0u);
}

TEST_F(TextureRegistryTest, OnlyBgraRootsMakeTextures)
{
    QuietErrorHandler quiet;
    FErrorHandler* previous = FErrorHandler::install(&quiet);
    auto* grey = engineNew<FImage>(k_memObject);
    grey->setPixels({2, 2}, k_pixelGrey8, static_cast<uint8_t*>(engineAlloc(k_memImage, 4)), 2, 1.0f);
    FRefT<FImage> image = makeRef(grey);
    EXPECT_ANY_THROW(m_textures->textureFor(image));
    FErrorHandler::install(previous);
    EXPECT_TRUE(m_device.created.empty());
}

TEST_F(TextureRegistryTest, AMaterialLetGoOnAnotherThreadKeepsItsTextureUntilTheNextFrame)
{
    FRefT<FImage> image = makeSolidImage(4, 4, 0xFFFFFFFFu);
    const uint32_t texture = m_textures->textureFor(image);
    std::thread([&image] { image = FRefT<FImage>(); }).join();
    EXPECT_TRUE(m_device.released.empty());
    EXPECT_EQ(m_textures->deferredCount(), 1u);
    EXPECT_EQ(m_textures->materialCount(), 0u);
    m_textures->releaseDeferredTextures();
    EXPECT_EQ(m_device.released, (std::vector<uint32_t>{texture}));
    EXPECT_EQ(m_device.releaseThreads[0], std::this_thread::get_id());
}

TEST_F(TextureRegistryTest, NoTextureNumberSurvivesReleasingTheDeviceResources)
{
    FRefT<FImage> image = makeSolidImage(4, 4, 0xFFFFFFFFu);
    const uint32_t before = m_textures->textureFor(image);
    m_textures->releaseDeviceResources();
    EXPECT_EQ(m_device.released, (std::vector<uint32_t>{before}));
    EXPECT_FALSE(image->material()->hasTexture());
    // The next use makes a new texture instead of binding the freed one.
    const uint32_t after = m_textures->textureFor(image);
    EXPECT_NE(after, 0u);
    EXPECT_NE(after, before);
    // The old material is gone without handing its number back twice.
    EXPECT_EQ(m_device.released.size(), 1u);
    image = FRefT<FImage>();
    m_textures->releaseDeferredTextures();
    EXPECT_EQ(m_device.released, (std::vector<uint32_t>{before, after}));
}

TEST_F(TextureRegistryTest, MaterialsOutliveADetachedRegistry)
{
    FRefT<FImage> image = makeSolidImage(4, 4, 0xFFFFFFFFu);
    m_textures->textureFor(image);
    m_textures->detachDevice();
    m_textures.reset();
    image = FRefT<FImage>(); // the material still finds its registry
    EXPECT_EQ(m_device.released.size(), 1u);
}

} // namespace
