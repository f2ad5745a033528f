#include "graphics/FDrawCommandBuffer.h"

#include "RecordingDevice.h"
#include "graphics/FTextureRegistry.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

void putColouredQuad(FDrawCommandBuffer& buffer, uint32_t colour)
{
    void* at = buffer.pushDraw(k_primTriangleFan, k_vertexColoured, FRefT<FImage>(), 4);
    if (at == nullptr) return;
    FColouredVertex v[4] = {{0, 0, 1, colour}, {1, 0, 1, colour}, {1, 1, 1, colour}, {0, 1, 1, colour}};
    std::memcpy(at, v, sizeof(v));
}

void putTexturedQuad(FDrawCommandBuffer& buffer, const FRefT<FImage>& image)
{
    void* at = buffer.pushDraw(k_primTriangleFan, k_vertexTextured, image, 4);
    if (at == nullptr) return;
    FTexturedVertex v[4] = {};
    std::memcpy(at, v, sizeof(v));
}

class DrawCommandBufferTest : public ::testing::Test
{
protected:
    RecordingDevice m_device;
    std::shared_ptr<FTextureRegistry> m_textures = std::make_shared<FTextureRegistry>(&m_device);
};

TEST_F(DrawCommandBufferTest, AnEmptyFrameReplaysItsClearOnly)
{
    FDrawCommandBuffer buffer;
    buffer.pushClear();
    buffer.replay(m_device, *m_textures);
    EXPECT_EQ(m_device.calls, (std::vector<std::string>{"clear"}));
}

TEST_F(DrawCommandBufferTest, RecordsReplayInOrderWithTheirOwnTextureAndKind)
{
    FRefT<FImage> image = makeSolidImage(4, 4, 0xFF00FF00u);
    FDrawCommandBuffer buffer;
    buffer.pushClear();
    buffer.pushBlendMode(k_blendAdditive);
    putTexturedQuad(buffer, image);
    putColouredQuad(buffer, 0x80FF0000u);
    buffer.pushBlendMode(7); // not a blend mode: nothing recorded
    buffer.pushBlendMode(k_blendAlpha);
    putTexturedQuad(buffer, image);
    EXPECT_EQ(buffer.recordCount(), 6);

    buffer.replay(m_device, *m_textures);
    EXPECT_EQ(m_device.calls,
              (std::vector<std::string>{"clear", "additive", "texture", "draw", "draw", "alpha", "draw"}));
    ASSERT_EQ(m_device.draws.size(), 3u);
    EXPECT_EQ(m_device.draws[0].kind, k_vertexTextured);
    EXPECT_EQ(m_device.draws[0].texture, 1u);
    // The coloured quad between two textured ones does not inherit the texture.
    EXPECT_EQ(m_device.draws[1].kind, k_vertexColoured);
    EXPECT_EQ(m_device.draws[1].texture, 0u);
    EXPECT_EQ(m_device.draws[1].coloured[2].colour, 0x80FF0000u);
    EXPECT_EQ(m_device.draws[2].texture, 1u);
}

TEST_F(DrawCommandBufferTest, AFrameReplaysAgainUntilItsBufferIsReset)
{
    FRefT<FImage> image = makeSolidImage(2, 2, 0xFFFFFFFFu);
    FDrawCommandBuffer buffer;
    putTexturedQuad(buffer, image);
    EXPECT_EQ(image.holder()->count(), 2);
    buffer.replay(m_device, *m_textures);
    buffer.replay(m_device, *m_textures);
    ASSERT_EQ(m_device.draws.size(), 2u);
    EXPECT_EQ(m_device.draws[1].texture, m_device.draws[0].texture);
    buffer.reset();
    EXPECT_EQ(image.holder()->count(), 1);
    buffer.replay(m_device, *m_textures);
    EXPECT_EQ(m_device.draws.size(), 2u);
}

TEST_F(DrawCommandBufferTest, AShapeWhoseTextureFailsIsNotDrawn)
{
    m_device.failTextures = true;
    FDrawCommandBuffer buffer;
    putColouredQuad(buffer, 0xFF0000FFu);
    putTexturedQuad(buffer, makeSolidImage(2, 2, 0xFFFFFFFFu));
    putColouredQuad(buffer, 0xFF00FF00u);
    buffer.replay(m_device, *m_textures);
    ASSERT_EQ(m_device.draws.size(), 2u);
    EXPECT_EQ(m_device.draws[0].kind, k_vertexColoured);
    EXPECT_EQ(m_device.draws[1].kind, k_vertexColoured);
}

struct OverflowCase
{
    const char* name;
    size_t initialBytes;
    size_t maxBytes;
    int32_t quads;
    int32_t expectedKept;
};

class DrawCommandBufferOverflowTest : public DrawCommandBufferTest,
                                      public ::testing::WithParamInterface<OverflowCase>
{
};

// A coloured quad takes 5 header words and 16 vertex words: 84 bytes.
TEST_P(DrawCommandBufferOverflowTest, NeverWritesOrReplaysPastTheEnd)
{
    const OverflowCase& c = GetParam();
    FDrawCommandBuffer buffer(c.initialBytes, c.maxBytes);
    buffer.pushClear();
    for (int32_t i = 0; i < c.quads; ++i)
        putColouredQuad(buffer, 0xFF000000u | static_cast<uint32_t>(i));
    EXPECT_LE(buffer.usedBytes(), buffer.capacityBytes());
    EXPECT_LE(buffer.capacityBytes(), std::max(c.maxBytes, c.initialBytes));
    EXPECT_EQ(buffer.droppedRecords(), c.quads - c.expectedKept);

    buffer.replay(m_device, *m_textures);
    ASSERT_EQ(static_cast<int32_t>(m_device.draws.size()), c.expectedKept);
    // Whole records only, in order: the kept ones are the first ones.
    for (int32_t i = 0; i < c.expectedKept; ++i)
        EXPECT_EQ(m_device.draws[i].coloured[3].colour, 0xFF000000u | static_cast<uint32_t>(i));

    // The next frame starts empty and records again.
    buffer.reset();
    EXPECT_EQ(buffer.droppedRecords(), 0);
    putColouredQuad(buffer, 0xFFFFFFFFu);
    EXPECT_EQ(buffer.recordCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawCommandBufferOverflowTest,
                         ::testing::Values(OverflowCase{"fits", 1000, 1000, 10, 10},
                                           OverflowCase{"dropsWholeRecords", 400, 400, 10, 4},
                                           OverflowCase{"growsToItsLimit", 100, 900, 20, 10},
                                           OverflowCase{"growsWithoutLoss", 88, 100000, 50, 50}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
