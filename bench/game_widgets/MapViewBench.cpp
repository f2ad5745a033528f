// The play field of a level at full load: 96 background tiles and 100 item
// layers (pictures of the whole scene that store only the item) on an
// 800 x 600 map view, at both zoom levels. One iteration of the frame
// benchmark is one UI frame: the map view's and every sprite's update and the
// recording of the screen into a command buffer. The pointer benchmark
// routes one pointer move over the scene to the topmost sprite under it (an
// alpha test per sprite it passes). tick_share is the part of the 20 ms UI
// tick that one frame (or one move) takes. The level's 30 ambient
// animations (every third one occasional) join every frame's update; their
// player decodes nothing, so the figures hold the sprites' own work and not
// the decoding of their frames.
#include "engine/graphics/RecordingDevice.h"
#include "game/widgets/PlayFieldLevel.h"
#include "game/widgets/PlayFieldTestSupport.h"

#include "game/widgets/MapAnimationSprite.h"
#include "video/FVideo.h"
#include "video/FVideoPlayer.h"

#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int32_t k_frameMs = 20;
constexpr int32_t k_tileSize = 200;
constexpr int32_t k_itemLayers = 100;
constexpr int32_t k_animations = 30;
constexpr int32_t k_animationFrames = 24;

// A player of a clip of known length that decodes nothing.
class SilentVideoPlayer : public FVideoPlayer
{
public:
    void unload() override {}
    int32_t showKeyFrame(FVideoTarget&, int32_t) override { return 0; }
    int32_t seekFrame(FVideoTarget&, int32_t frame, bool) override
    {
        return frame >= k_animationFrames ? k_endOfVideo : frame;
    }
    int32_t keyFrameFrame(int32_t) override { return 0; }
    int32_t frameCount() override { return k_animationFrames; }
    int32_t keyFrameCount() override { return 1; }
    int32_t keyFrameLength(int32_t) override { return k_animationFrames; }
    void releaseTarget(FVideoTarget&) override {}
    void storeFrame(FVideoTarget&, int32_t) override {}
    void dropFrames(int32_t, int32_t) override {}
    void dropAllFrames() override {}
    void readHeader() override {}
};

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
        for (int32_t i = 0; i < k_animations; ++i) {
            FRefT<FVideo> clip = makeRef(engineNew<FVideo>(k_memObject));
            clip->adoptPlayer(engineNew<SilentVideoPlayer>(k_memObject));
            auto animation = makeRef(engineNew<MapAnimationSprite>(k_memObject, screen.map->content()));
            animation->setOccasional(i % 3 == 0);
            animation->setClips(clip, FRefT<FAudioNode>());
            const int32_t left = 60 + (i * 577) % 2200;
            const int32_t top = 50 + (i * 331) % 1450;
            animation->setWidgetRect({left, top, left + 120, top + 90});
            screen.map->addAnimation(animation);
        }
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
