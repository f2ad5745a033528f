// The play field of a level at full load: 96 background tiles and 100 item
// layers (pictures of the whole scene that store only the item) on an
// 800 x 600 map view, at both zoom levels. One iteration of the frame
// benchmark is one UI frame: the map view's and every sprite's update and the
// recording of the screen into a command buffer. The pointer benchmark
// routes one pointer move over the scene to the topmost sprite under it (an
// alpha test per sprite it passes). tick_share is the part of the 20 ms UI
// tick that one frame (or one move) takes. Animations added to the bench's
// map view (MapView::addAnimation) join every frame's update.
#include "engine/graphics/RecordingDevice.h"
#include "game/widgets/PlayFieldLevel.h"
#include "game/widgets/PlayFieldTestSupport.h"

#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int32_t k_frameMs = 20;
constexpr int32_t k_tileSize = 200;
constexpr int32_t k_itemLayers = 100;

// A level built as the gameplay screen builds it, over pictures made in
// memory.
class PlayFieldBench
{
public:
    explicit PlayFieldBench(float zoom)
    {
        screen.setWidgetRect({0, 0, 800, 600});
        screen.map = makeRef(engineNew<MapView>(k_memObject, &screen, true));
        screen.map->setWidgetRect({0, 0, 800, 600});
        NamedAssetMap tiles;
        for (int32_t k = 1; k <= 96; ++k)
            tiles.findOrInsert(MapView::tileName(0, k)) = makeSolidImage(k_tileSize, k_tileSize, 0xFF406080u);
        std::vector<FRefT<FImage>> layers;
        for (int32_t i = 0; i < k_itemLayers; ++i)
            layers.push_back(
                itemPicture({MapView::k_sceneWidth, MapView::k_sceneHeight}, playFieldItemRect(i)));
        level.build(*screen.map, 0, tiles, layers);
        screen.map->setZoom(zoom);
        // Every sprite of the level hangs in the panel, as in play.
        screen.panels[0].entries.push_back(makeRef(engineNew<HudPanelEntry>(k_memObject)));
    }

    void update(int32_t elapsedMs)
    {
        screen.map->update(elapsedMs);
        for (const auto& sprite : level.sprites)
            sprite->update(elapsedMs);
    }

    RecordingPlayServices services;
    PlayScreen screen;
    PlayFieldLevel level;
};

void reportTickShare(benchmark::State& state)
{
    // Seconds per iteration over the tick's seconds: 0.05 is 5 % of the tick.
    state.counters["tick_share"] =
        benchmark::Counter(double(state.iterations()) * (k_frameMs / 1000.0),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_MapViewLevelFrame(benchmark::State& state)
{
    PlayFieldBench bench(static_cast<float>(state.range(0)) / 100.0f);
    FDrawContext context{{800, 600}};
    FDrawCommandBuffer buffer;
    for (auto _ : state) {
        bench.update(k_frameMs);
        context.beginFrame(buffer);
        bench.screen.draw(context);
        benchmark::DoNotOptimize(buffer);
    }
    state.counters["draw_records"] = double(buffer.recordCount());
    reportTickShare(state);
}
BENCHMARK(BM_MapViewLevelFrame)->Arg(75)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_MapViewPointerMove(benchmark::State& state)
{
    PlayFieldBench bench(static_cast<float>(state.range(0)) / 100.0f);
    int32_t step = 0;
    for (auto _ : state) {
        // A walk over the whole window, so moves land on sprites and between.
        const FPointI point{(step * 37) % 800, (step * 23) % 600};
        bench.screen.map->onPointerMove(0, point);
        ++step;
    }
    reportTickShare(state);
}
BENCHMARK(BM_MapViewPointerMove)->Arg(75)->Arg(100)->Unit(benchmark::kMicrosecond);

} // namespace
