// Recording a level-sized screen (a 2400 x 1600 map of 96 tiles, 200 image
// widgets and 30 labels) through the widget tree into a command buffer,
// against emitting the same sprites and glyph runs straight through the
// shape emitter. The ratio of the two is the cost of the widget layer.
#include "asset/FAssetStream.h"
#include "core/FApplication.h"
#include "core/FMemory.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "graphics/FShapeEmitter.h"
#include "image/FImage.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "tools/contentwriters/FontFileWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FContainer.h"
#include "ui/FFont.h"
#include "ui/FFontModule.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

FRefT<FImage> solidImage(int32_t width, int32_t height)
{
    FImage* image = engineNew<FImage>(k_memObject);
    auto* pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, size_t(width) * height * 4 + 1));
    std::memset(pixels, 255, size_t(width) * height * 4);
    image->setPixels({width, height}, k_pixelBgra8, pixels, width * 4, 1.0f);
    return makeRef(image);
}

// Every printable ASCII glyph 8 units wide on one 64 x 64 page.
FontFileData benchFont()
{
    FontFileData font;
    font.sheetWidth = 64;
    font.sheetHeight = 64;
    font.sheetPng = writePng(PngPicture::rgba(64, 64, std::vector<uint8_t>(64 * 64 * 4, 255)));
    font.valueA = 1;
    font.firstBox[1] = -15;
    font.firstBox[3] = 4;
    font.secondBox[1] = -12;
    font.secondBox[3] = -1;
    for (char16_t c = u' '; c < u'\x7F'; ++c) {
        if (c == u'\\') continue;
        font.glyphs.push_back({static_cast<uint16_t>(c), 0, 0, 6, 10, 8, 0, -10});
    }
    return font;
}

struct Level
{
    FApplication application;
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FFontModule fonts;
    FRef fontHandle = FAsset::emptyHandle();
    FRefT<FFont> font;
    FRefT<FImage> tile = solidImage(300, 200);
    FRefT<FImage> sprite = solidImage(48, 48);

    FContainer root;
    std::unique_ptr<FContainer> map;
    std::vector<std::unique_ptr<FWidget>> widgets;
    std::vector<FLabel*> labels;

    Level()
    {
        const std::vector<uint8_t> bytes = writeFontFile(benchFont());
        fonts.createFromStream(fontHandle,
                               FAssetStream::makeCopy(bytes.data(), static_cast<int64_t>(bytes.size())));
        font = FRefT<FFont>(fontHandle);

        root.setWidgetRect({0, 0, 1024, 768});
        map = std::make_unique<FContainer>(&root, true);
        map->setWidgetRect({0, 0, 2400, 1600});
        for (int i = 0; i < 96; ++i) {
            auto* widget = new FImageWidget(map.get());
            widget->setImage(tile, false);
            const int32_t x = (i % 12) * 200, y = (i / 12) * 200;
            widget->setWidgetRect({x, y, x + 200, y + 200});
            widget->setVisible(true);
            widgets.emplace_back(widget);
        }
        for (int i = 0; i < 200; ++i) {
            auto* widget = new FImageWidget(map.get());
            widget->setImage(sprite, false);
            const int32_t x = (i * 37) % 2300, y = (i * 53) % 1500;
            widget->setWidgetRect({x, y, x + 48 + i % 17, y + 48 + i % 13});
            widget->setAngle(float(i % 7) * 11.0f);
            widget->setVisible(true);
            widgets.emplace_back(widget);
        }
        for (int i = 0; i < 30; ++i) {
            auto* label = new FLabel(&root);
            label->setWidgetRect(
                {20 + (i % 3) * 330, 20 + (i / 3) * 70, 340 + (i % 3) * 330, 80 + (i / 3) * 70});
            label->setFont(font);
            label->setShadowDelta(2, 2);
            label->setText(FString("Find the hidden objects: 12 of 30 left"));
            label->setVisible(true);
            labels.push_back(label);
            widgets.emplace_back(label);
        }
        map->setScrollOffset({300, 200});
    }
    ~Level()
    {
        widgets.clear();
        map.reset();
    }
};

void BM_ScreenThroughWidgets(benchmark::State& state)
{
    Level level;
    FDrawContext context{{1024, 768}};
    FDrawCommandBuffer buffer;
    for (auto _ : state) {
        context.beginFrame(buffer);
        level.root.draw(context);
        benchmark::DoNotOptimize(buffer);
    }
    // Both sides should record about the same bytes: the same shapes.
    state.counters["recorded_bytes"] = double(buffer.usedBytes());
}
BENCHMARK(BM_ScreenThroughWidgets);

// The same sprites and the same glyph runs, placed by hand.
void BM_ScreenStraightThroughEmitter(benchmark::State& state)
{
    Level level;
    FDrawContext context{{1024, 768}};
    FDrawCommandBuffer buffer;
    context.beginFrame(buffer);
    level.root.draw(context); // lays the labels out
    struct Sprite
    {
        FRefT<FImage> image;
        FPointI position;
        float scaleX, scaleY, angle;
    };
    std::vector<Sprite> sprites;
    for (const auto& widget : level.widgets) {
        auto* image = dynamic_cast<FImageWidget*>(widget.get());
        if (image == nullptr) continue;
        const FRectI r = image->rect();
        const FImagePoint size = image->getImage()->getRootImageSize();
        sprites.push_back({image->getImage(),
                           {r.left - 300, r.top - 200},
                           float(r.right - r.left) / size.x,
                           float(r.bottom - r.top) / size.y,
                           image->angle()});
    }
    std::vector<std::pair<FLaidOutString, FPointI>> runs;
    for (FLabel* label : level.labels) {
        for (const FLabel::GlyphRun& run : label->runs())
            runs.emplace_back(
                run.line, FPointI{label->rect().left + run.position.x, label->rect().top + run.position.y});
    }
    for (auto _ : state) {
        context.beginFrame(buffer);
        for (const Sprite& sprite : sprites) {
            const FImagePoint size = sprite.image->getRootImageSize();
            FShapeEmitter::pushTexturedPolygon({0, 0, size.x, size.y}, context, sprite.image, sprite.position,
                                               sprite.scaleX, sprite.scaleY, 0xFFFFFFFFu, sprite.angle, 0);
        }
        for (auto& [line, position] : runs)
            level.font->drawString(context, line, position, 0x7FFFFFFF);
        benchmark::DoNotOptimize(buffer);
    }
    state.counters["recorded_bytes"] = double(buffer.usedBytes());
    state.counters["sprites"] = double(sprites.size());
    state.counters["glyph_runs"] = double(runs.size());
}
BENCHMARK(BM_ScreenStraightThroughEmitter);

} // namespace
