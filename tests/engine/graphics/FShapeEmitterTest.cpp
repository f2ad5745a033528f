#include "graphics/FShapeEmitter.h"

#include "RecordingDevice.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "graphics/FTextureRegistry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

struct Corner
{
    float x, y, u, v;
};

class ShapeEmitterTest : public ::testing::Test
{
protected:
    ShapeEmitterTest() { m_context.beginFrame(m_buffer); }

    void replay() { m_buffer.replay(m_device, *m_textures); }

    // Every expected corner is one of the draw's vertices (position within
    // 1e-3, texture coordinates within 1e-4), and there are no others.
    static void expectCorners(const RecordingDevice::Draw& draw, const std::vector<Corner>& expected)
    {
        ASSERT_EQ(draw.textured.size(), expected.size());
        for (const Corner& c : expected) {
            bool found = false;
            for (const FTexturedVertex& v : draw.textured) {
                if (std::fabs(v.x - c.x) < 1e-3f && std::fabs(v.y - c.y) < 1e-3f) {
                    found = true;
                    EXPECT_NEAR(v.u, c.u, 1e-4f) << "at " << c.x << ", " << c.y;
                    EXPECT_NEAR(v.v, c.v, 1e-4f) << "at " << c.x << ", " << c.y;
                    EXPECT_EQ(v.colour, 0xFFFFFFFFu);
                }
            }
            EXPECT_TRUE(found) << "no vertex at " << c.x << ", " << c.y;
        }
    }

    RecordingDevice m_device;
    std::shared_ptr<FTextureRegistry> m_textures = std::make_shared<FTextureRegistry>(&m_device);
    FDrawContext m_context{{800, 600}};
    FDrawCommandBuffer m_buffer;
    FRefT<FImage> m_image = makeSolidImage(64, 32, 0xFFFFFFFFu);
};

struct SpriteCase
{
    const char* name;
    FRectI source;
    FPointI position;
    float scaleX, scaleY;
    int32_t flip;
    FPointF offset;
    std::vector<Corner> corners; // recorded vertices: y up, offset added
};

class SpriteTest : public ShapeEmitterTest, public ::testing::WithParamInterface<SpriteCase>
{
};

TEST_P(SpriteTest, RecordsTheGoldenVertices)
{
    const SpriteCase& c = GetParam();
    m_context.setVertexOffset(c.offset);
    FShapeEmitter::pushTexturedPolygon(c.source, m_context, m_image, c.position, c.scaleX, c.scaleY,
                                       0xFFFFFFFFu, 0.0f, c.flip);
    replay();
    ASSERT_EQ(m_device.draws.size(), 1u);
    EXPECT_EQ(m_device.draws[0].primitive, k_primTriangleFan);
    expectCorners(m_device.draws[0], c.corners);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpriteTest,
    ::testing::Values(
        SpriteCase{"plain",
                   {0, 0, 64, 32},
                   {100, 50},
                   1,
                   1,
                   0,
                   {0, 0},
                   {{100, 550, 0, 1}, {164, 550, 1, 1}, {164, 518, 1, 0}, {100, 518, 0, 0}}},
        SpriteCase{
            "vertexOffset",
            {0, 0, 64, 32},
            {100, 50},
            1,
            1,
            0,
            {-0.5f, 0.5f},
            {{99.5f, 550.5f, 0, 1}, {163.5f, 550.5f, 1, 1}, {163.5f, 518.5f, 1, 0}, {99.5f, 518.5f, 0, 0}}},
        SpriteCase{"scaledFromTheTopLeft",
                   {0, 0, 64, 32},
                   {100, 50},
                   2,
                   0.5f,
                   0,
                   {0, 0},
                   {{100, 550, 0, 1}, {228, 550, 1, 1}, {228, 534, 1, 0}, {100, 534, 0, 0}}},
        SpriteCase{"flippedHorizontally",
                   {0, 0, 64, 32},
                   {100, 50},
                   1,
                   1,
                   1,
                   {0, 0},
                   {{100, 550, 1, 1}, {164, 550, 0, 1}, {164, 518, 0, 0}, {100, 518, 1, 0}}},
        SpriteCase{"flippedVertically",
                   {0, 0, 64, 32},
                   {100, 50},
                   1,
                   1,
                   2,
                   {0, 0},
                   {{100, 550, 0, 0}, {164, 550, 1, 0}, {164, 518, 1, 1}, {100, 518, 0, 1}}},
        SpriteCase{"flippedBothWays",
                   {0, 0, 64, 32},
                   {100, 50},
                   1,
                   1,
                   3,
                   {0, 0},
                   {{100, 550, 1, 0}, {164, 550, 0, 0}, {164, 518, 0, 1}, {100, 518, 1, 1}}},
        SpriteCase{"partOfTheImage",
                   {16, 8, 48, 24},
                   {0, 0},
                   1,
                   1,
                   0,
                   {0, 0},
                   {{16, 592, 0.25f, 0.75f},
                    {48, 592, 0.75f, 0.75f},
                    {48, 576, 0.75f, 0.25f},
                    {16, 576, 0.25f, 0.25f}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShapeEmitterTest, ATrimmedImageShowsItsPixelsWhereTheyLieInThePicture)
{
    // 64 x 64 picture whose stored 32 x 16 pixels start 8 from the left and 4
    // from the top.
    FRefT<FImage> trimmed =
        makeBgraImage(32, 16, [](int32_t, int32_t) { return 0xFFFFFFFFu; }, {64, 64}, {8, 4});
    FShapeEmitter::drawImage(m_context, trimmed, {100, 100});
    replay();
    ASSERT_EQ(m_device.draws.size(), 1u);
    expectCorners(m_device.draws[0],
                  {{108, 496, 0, 1}, {140, 496, 1, 1}, {140, 480, 1, 0}, {108, 480, 0, 0}});
}

TEST_F(ShapeEmitterTest, ASquareTurnedAQuarterCoversTheSameSquareWithItsPictureTurned)
{
    FRefT<FImage> square = makeSolidImage(32, 32, 0xFFFFFFFFu);
    FShapeEmitter::pushTexturedPolygon({0, 0, 32, 32}, m_context, square, {100, 100}, 1, 1, 0xFFFFFFFFu,
                                       90.0f, 0);
    replay();
    ASSERT_EQ(m_device.draws.size(), 1u);
    // A positive angle turns anticlockwise on screen: the picture's top-left
    // texel (u 0, v 1) is now at the bottom-left corner.
    expectCorners(m_device.draws[0],
                  {{100, 468, 0, 1}, {100, 500, 1, 1}, {132, 500, 1, 0}, {132, 468, 0, 0}});
}

TEST_F(ShapeEmitterTest, ASpritePartlyOutsideItsClipIsCutWithInterpolatedTextureCoordinates)
{
    m_context.clipStack().pushClip({0, 0}, {0, 0, 120, 600}, 0.0f, {1, 1}, {0, 0}, false, false, true);
    FShapeEmitter::pushTexturedPolygon({0, 0, 64, 32}, m_context, m_image, {100, 50}, 1, 1, 0xFFFFFFFFu, 0.0f,
                                       0);
    replay();
    ASSERT_EQ(m_device.draws.size(), 1u);
    expectCorners(m_device.draws[0],
                  {{100, 550, 0, 1}, {120, 550, 0.3125f, 1}, {120, 518, 0.3125f, 0}, {100, 518, 0, 0}});
}

TEST_F(ShapeEmitterTest, ATurnedSquareCutByARectangleHasEightCorners)
{
    // Turned by 45 degrees the square's corners stick out of the clip on
    // every side, and each side of the clip cuts one corner off.
    // The origin at the clip's corner keeps application coordinates.
    m_context.clipStack().pushClip({95, 95}, {95, 95, 145, 145}, 0.0f, {1, 1}, {0, 0}, false, false, true);
    FRefT<FImage> square = makeSolidImage(40, 40, 0xFFFFFFFFu);
    FShapeEmitter::pushTexturedPolygon({0, 0, 40, 40}, m_context, square, {100, 100}, 1, 1, 0xFFFFFFFFu,
                                       45.0f, 0);
    replay();
    ASSERT_EQ(m_device.draws.size(), 1u);
    const auto& vertices = m_device.draws[0].textured;
    ASSERT_EQ(vertices.size(), 8u);
    for (const FTexturedVertex& v : vertices) {
        EXPECT_GE(v.x, 95.0f - 1e-3f);
        EXPECT_LE(v.x, 145.0f + 1e-3f);
        EXPECT_GE(v.y, 455.0f - 1e-3f);
        EXPECT_LE(v.y, 505.0f + 1e-3f);
        // A cut point lies on the square's edge, inside the picture.
        EXPECT_GE(v.u, -1e-4f);
        EXPECT_LE(v.u, 1.0f + 1e-4f);
        EXPECT_GE(v.v, -1e-4f);
        EXPECT_LE(v.v, 1.0f + 1e-4f);
        const bool onEdge = std::fabs(v.u) < 1e-3f || std::fabs(v.u - 1) < 1e-3f || std::fabs(v.v) < 1e-3f ||
                            std::fabs(v.v - 1) < 1e-3f;
        EXPECT_TRUE(onEdge) << v.u << ", " << v.v;
    }
}

TEST_F(ShapeEmitterTest, ShapesOutsideTheirClipOrWithoutImageRecordNothing)
{
    m_context.clipStack().pushClip({0, 0}, {0, 0, 120, 600}, 0.0f, {1, 1}, {0, 0}, false, false, true);
    FShapeEmitter::pushTexturedPolygon({0, 0, 64, 32}, m_context, m_image, {500, 50}, 1, 1, 0xFFFFFFFFu, 0.0f,
                                       0);
    FShapeEmitter::pushTexturedPolygon({0, 0, 64, 32}, m_context, FRefT<FImage>(), {0, 0}, 1, 1, 0xFFFFFFFFu,
                                       0.0f, 0);
    FShapeEmitter::pushColouredPolygon(m_context, 0xFF000000u, {200, 0, 300, 10});
    EXPECT_EQ(m_buffer.recordCount(), 1); // the clear
    EXPECT_EQ(m_image.holder()->count(), 1);
}

TEST_F(ShapeEmitterTest, AColouredRectangleAndTheOutline)
{
    FShapeEmitter::pushColouredPolygon(m_context, 0x80123456u, {10, 20, 30, 60});
    FShapeEmitter::pushOutlineRect({10, 20, 30, 60}, 0xFF00FF00u, m_context);
    replay();
    ASSERT_EQ(m_device.draws.size(), 2u);
    const auto& fill = m_device.draws[0];
    EXPECT_EQ(fill.kind, k_vertexColoured);
    EXPECT_EQ(fill.primitive, k_primTriangleFan);
    ASSERT_EQ(fill.coloured.size(), 4u);
    for (const FPointF corner : {FPointF{10, 580}, FPointF{30, 580}, FPointF{30, 540}, FPointF{10, 540}}) {
        int found = 0;
        for (const FColouredVertex& v : fill.coloured)
            found += v.x == corner.x && v.y == corner.y && v.colour == 0x80123456u;
        EXPECT_EQ(found, 1) << corner.x << ", " << corner.y;
    }
    // Bottom, right and top sides in this order; no left side.
    const auto& outline = m_device.draws[1];
    EXPECT_EQ(outline.primitive, k_primLineStrip);
    ASSERT_EQ(outline.coloured.size(), 4u);
    const FPointF strip[4] = {{10, 540}, {30, 540}, {30, 580}, {10, 580}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(outline.coloured[i].x, strip[i].x);
        EXPECT_EQ(outline.coloured[i].y, strip[i].y);
        EXPECT_EQ(outline.coloured[i].colour, 0xFF00FF00u);
    }
}

TEST_F(ShapeEmitterTest, GlyphsOfPagesABAAreEachDrawnOnceInOneRecordPerPage)
{
    FRefT<FImage> pageA = makeSolidImage(32, 32, 0xFFFFFFFFu);
    FRefT<FImage> pageB = makeSolidImage(32, 32, 0xFFFFFFFFu);
    const std::vector<FGlyphQuad> glyphs = {
        {pageA, {0, 0, 8, 8}, {10, 10}, 1.0f, 0xFFFFFFFFu},
        {pageB, {0, 0, 8, 8}, {20, 10}, 1.0f, 0xFFFFFFFFu},
        {pageA, {8, 0, 16, 8}, {30, 10}, 1.0f, 0xFFFFFFFFu},
    };
    std::vector<FGlyphRunRecord> records;
    FShapeEmitter::pushTextRun(m_context, glyphs, records);
    replay();
    ASSERT_EQ(m_device.draws.size(), 2u);
    EXPECT_EQ(m_device.draws[0].primitive, k_primTriangleList);
    EXPECT_EQ(m_device.draws[0].textured.size(), 12u);
    EXPECT_EQ(m_device.draws[1].textured.size(), 6u);
    EXPECT_NE(m_device.draws[0].texture, m_device.draws[1].texture);
    // The third glyph (x 30..38) appears in exactly two triangles.
    int thirdGlyph = 0;
    for (const auto& draw : m_device.draws) {
        for (const FTexturedVertex& v : draw.textured) {
            thirdGlyph += v.x >= 30.0f;
            if (v.x == 30.0f && v.y == 590.0f) {
                EXPECT_NEAR(v.u, 0.25f, 1e-5f);
                EXPECT_NEAR(v.v, 1.0f, 1e-5f);
            }
        }
    }
    EXPECT_EQ(thirdGlyph, 6);
    // The run's working records let go of the pages.
    for (const FGlyphRunRecord& record : records)
        EXPECT_TRUE(record.page.isNull());
}

TEST_F(ShapeEmitterTest, GlyphsScaleFromTheirPenPosition)
{
    FRefT<FImage> page = makeSolidImage(32, 32, 0xFFFFFFFFu);
    std::vector<FGlyphRunRecord> records;
    FShapeEmitter::pushTextRun(m_context, {{page, {4, 4, 12, 12}, {100, 100}, 2.0f, 0xFFFFFFFFu}}, records);
    replay();
    ASSERT_EQ(m_device.draws.size(), 1u);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const FTexturedVertex& v : m_device.draws[0].textured) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    // Placed at pen - scale x rect corner = (92, 92), then the rect (4..12)
    // scaled by 2 from its corner: 96..112.
    EXPECT_EQ(minX, 96.0f);
    EXPECT_EQ(maxX, 112.0f);
    EXPECT_EQ(maxY, 600.0f - 96.0f);
    EXPECT_EQ(minY, 600.0f - 112.0f);
}

TEST(ShapeEmitterNearestInt, HalvesGoAwayFromZero)
{
    const std::pair<float, int32_t> cases[] = {{2.5f, 3},   {-2.5f, -3}, {2.4f, 2},
                                               {-2.4f, -2}, {0.0f, 0},   {7.0f, 7}};
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(FShapeEmitter::nearestInt(x), expected) << x;
}

} // namespace
