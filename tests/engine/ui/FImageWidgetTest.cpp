#include "UiTestSupport.h"
#include "engine/graphics/RecordingDevice.h"

#include "asset/FScreenRegistry.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "graphics/FTextureRegistry.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "ui/FImageWidget.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

// A width x height image, fully transparent but for the alpha values given
// at top-down positions; the image asks for per-pixel hit tests.
FRefT<FImage> alphaImage(int32_t width, int32_t height, std::vector<std::pair<FPointI, uint8_t>> alphas)
{
    FImage* image = engineNew<FImage>(k_memObject);
    auto* pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, size_t(width) * height * 4 + 1));
    std::memset(pixels, 0, size_t(width) * height * 4);
    for (const auto& [p, alpha] : alphas)
        pixels[(size_t(height - p.y - 1) * width + p.x) * 4 + 3] = alpha;
    image->setPixels({width, height}, k_pixelBgra8, pixels, width * 4, 1.0f);
    image->setAlphaHitTest(true);
    return makeRef(image);
}

// The smallest and largest x and y of the recorded vertices.
template <class Vertices> std::array<float, 4> texturedBounds(const Vertices& vertices)
{
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const FTexturedVertex& v : vertices) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    return {minX, maxX, minY, maxY};
}

TEST(ImageWidgetTest, AlphaHitTestTable)
{
    FContainer parent;
    FImageWidget widget(&parent);
    widget.setImage(alphaImage(4, 4, {{{1, 1}, 31}, {{2, 1}, 32}, {{0, 3}, 255}}), false);
    struct Case
    {
        const char* name;
        FRectI rect;
        int32_t mirror;
        uint8_t threshold;
        FPointI point;
        bool hit;
    };
    const Case cases[] = {
        {"below threshold", {10, 10, 14, 14}, 0, 32, {11, 11}, false},
        {"at threshold", {10, 10, 14, 14}, 0, 32, {12, 11}, true},
        {"lower threshold", {10, 10, 14, 14}, 0, 31, {11, 11}, true},
        {"transparent", {10, 10, 14, 14}, 0, 32, {13, 13}, false},
        {"threshold 0 hits all", {10, 10, 14, 14}, 0, 0, {13, 13}, true},
        {"outside", {10, 10, 14, 14}, 0, 0, {14, 13}, false},
        {"bottom row", {10, 10, 14, 14}, 0, 32, {10, 13}, true},
        {"mirror horizontal", {10, 10, 14, 14}, 1, 32, {13, 13}, true},
        {"mirror vertical", {10, 10, 14, 14}, 2, 32, {10, 10}, true},
        {"mirror both", {10, 10, 14, 14}, 3, 32, {13, 10}, true},
        {"double size", {0, 0, 8, 8}, 0, 32, {4, 2}, true},
        {"double size odd", {0, 0, 8, 8}, 0, 32, {5, 3}, true},
        {"double size miss", {0, 0, 8, 8}, 0, 32, {2, 2}, false},
    };
    for (const Case& c : cases) {
        widget.setWidgetRect(c.rect);
        widget.setMirror(c.mirror);
        widget.setAlphaThreshold(c.threshold);
        EXPECT_EQ(widget.containsPoint(c.point), c.hit) << c.name;
    }
}

TEST(ImageWidgetTest, HitTestWithoutUsablePixels)
{
    FContainer parent;
    FImageWidget widget(&parent);
    widget.setWidgetRect({0, 0, 4, 4});
    EXPECT_FALSE(widget.containsPoint({1, 1})); // no image
    widget.setAlphaThreshold(0);
    EXPECT_TRUE(widget.containsPoint({1, 1}));
    widget.setAlphaThreshold(32);

    FRefT<FImage> image = alphaImage(4, 4, {});
    widget.setImage(image, false);
    image->setAlphaHitTest(false); // not kept readable: the rectangle decides
    EXPECT_TRUE(widget.containsPoint({1, 1}));
    image->releasePixels(); // released pixels fail rather than pass
    EXPECT_FALSE(widget.containsPoint({1, 1}));
}

TEST(ImageWidgetTest, RotatedHitTestTurnsAboutTheCentre)
{
    FContainer parent;
    FImageWidget widget(&parent);
    widget.setAlphaThreshold(0);
    widget.setWidgetRect({0, 0, 100, 10}); // a flat bar, centre (50, 5)
    EXPECT_TRUE(widget.containsPoint({90, 5}));
    widget.setAngle(90.0f);
    EXPECT_FALSE(widget.containsPoint({90, 5}));
    EXPECT_TRUE(widget.containsPoint({50, 40})); // turned onto the bar's end
}

TEST(ImageWidgetTest, APivotTurnsDrawingAndHitTestAboutItself)
{
    RecordingDevice device;
    auto textures = std::make_shared<FTextureRegistry>(&device);
    FDrawCommandBuffer buffer;
    FDrawContext context({400, 400});
    FContainer parent;
    FImageWidget widget(&parent);
    widget.setImage(alphaImage(10, 100, {}), false);
    widget.setAlphaThreshold(0);
    // An upright hand whose foot, (105, 200), is its pivot.
    widget.setWidgetRect({100, 100, 110, 200});
    widget.setPivot({5, 100});
    widget.setAngle(90.0f);
    EXPECT_TRUE(widget.containsPoint({55, 200}));
    EXPECT_FALSE(widget.containsPoint({105, 150}));
    EXPECT_FALSE(widget.containsPoint({155, 200}));

    context.beginFrame(buffer);
    widget.draw(context);
    buffer.replay(device, *textures);
    ASSERT_EQ(device.draws.size(), 1u);
    const auto [minX, maxX, minY, maxY] = texturedBounds(device.draws[0].textured);
    // Lying flat to the left of the foot; y up in the recorded vertices.
    EXPECT_NEAR(minX, 5.0f, 0.01f);
    EXPECT_NEAR(maxX, 105.0f, 0.01f);
    EXPECT_NEAR(minY, 195.0f, 0.01f);
    EXPECT_NEAR(maxY, 205.0f, 0.01f);

    // Without the pivot it turns about its centre again.
    widget.clearPivot();
    EXPECT_TRUE(widget.containsPoint({105, 150}));
    EXPECT_FALSE(widget.containsPoint({55, 200}));
}

TEST(ImageWidgetTest, UserCountsFollowVisibility)
{
    FScreenRegistry registry;
    std::vector<int32_t> ids;
    FRefT<FImage> image = alphaImage(2, 2, {});
    registry.insertAsset(9, image);
    FContainer parent;
    {
        FImageWidget widget(&parent);
        FRefT<FInStream> stream = streamOver(writeImageRecord({{1, 2, 3, 4, 0, 0}, 9}));
        widget.load(*stream.get(), registry, ids);
        EXPECT_EQ(widget.getImage().get(), image.get());
        EXPECT_EQ(widget.rect(), (FRectI{1, 2, 4, 6}));
        EXPECT_EQ(image->references(), 1);
        EXPECT_EQ(image->users(), 0); // hidden at load: not loaded for it
        widget.setVisible(true);
        EXPECT_EQ(image->users(), 1);
        widget.setImage(image, false); // the same again never drops to zero
        EXPECT_EQ(image->users(), 1);
        EXPECT_EQ(image->references(), 1);
    }
    EXPECT_EQ(image->users(), 0);
    EXPECT_EQ(image->references(), 0);
}

TEST(ImageWidgetTest, FactoryBuildsImagesAndResizeTakesTheImageSize)
{
    FWidgetFactory::registerEngineTypes();
    FContainer parent;
    FRefT<FWidget> built = FWidgetFactory::createWidget(parent, FWidgetTypes::k_image);
    auto* widget = dynamic_cast<FImageWidget*>(built.get());
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(parent.children().back(), widget);
    widget->setImage(alphaImage(7, 5, {}), true);
    EXPECT_EQ(widget->getWidgetSize(), (FPointI{7, 5}));
}

TEST(ImageWidgetTest, DrawRecordsBlendAndStretchedQuad)
{
    RecordingDevice device;
    auto textures = std::make_shared<FTextureRegistry>(&device);
    FDrawCommandBuffer buffer;
    FDrawContext context({200, 100});
    FContainer parent;
    FImageWidget widget(&parent);
    widget.setImage(alphaImage(4, 2, {}), false);
    widget.setWidgetRect({10, 20, 18, 24});
    widget.setBlendMode(FImageWidget::k_blendAdditive);

    context.beginFrame(buffer);
    widget.draw(context);
    widget.setWidgetAlpha(0); // nothing drawn, hit testing unchanged
    widget.draw(context);
    buffer.replay(device, *textures);
    ASSERT_EQ(device.calls, (std::vector<std::string>{"clear", "additive", "texture", "draw"}));
    ASSERT_EQ(device.draws.size(), 1u);
    const auto [minX, maxX, minY, maxY] = texturedBounds(device.draws[0].textured);
    // y up in the recorded vertices: top 20 and bottom 24 of a 100-high picture.
    EXPECT_FLOAT_EQ(minX, 10.0f);
    EXPECT_FLOAT_EQ(maxX, 18.0f);
    EXPECT_FLOAT_EQ(minY, 76.0f);
    EXPECT_FLOAT_EQ(maxY, 80.0f);
}

} // namespace
