// The front-end backdrop at full load: every record of its two particle
// layers (512 on the screen, 256 on the panel) live, turned and drawn
// additively. One iteration is one UI frame: the backdrop's update (pools,
// groups, records applied to their widgets, tweens, emitters) and the
// recording of the screen into a command buffer. tick_share is the frame's
// part of the 20 ms UI tick.
#include "engine/graphics/RecordingDevice.h"
#include "engine/ui/UiTestSupport.h"

#include "core/FMemory.h"
#include "game/widgets/ParticleEmitterView.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/ParticleViewAssets.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int32_t k_frameMs = 20;

FRefT<FImage> solidImage(int32_t width, int32_t height)
{
    return makeSolidImage(width, height, 0xFFFFFFFFu);
}

// Fills every free record of the group with a long-lived, turning, additive
// sprite owned by the given particle.
void fillGroup(ParticleGroup& group, ParticleRecord& owner, const FRefT<FImage>& image, int32_t width)
{
    int32_t i = 0;
    while (ParticleSpriteRecord* record = group.takeRecord()) {
        record->owner = &owner;
        ++owner.liveRecords;
        record->live = true;
        record->age = 0;
        record->lifetime = 0x7FFFFFFFu;
        record->x = ((i * 37) % width) << 16;
        record->y = ((i * 53) % 600) << 16;
        record->vx = (i % 7 - 3) << 12;
        record->vy = (i % 5 - 2) << 12;
        record->blendMode = FImageWidget::k_blendAdditive;
        record->spinPhase = i * 131 % 32768;
        record->sprite->setImage(image, false);
        ++i;
    }
}

void BM_MenuBackdropFullLoad(benchmark::State& state)
{
    TestScreen screen;
    screen.setWidgetRect({0, 0, 1024, 768});
    ParticleViewAssets assets;
    for (auto& picture : assets.pictures)
        picture = solidImage(1024, 900);
    assets.backdrop = solidImage(64, 64);
    assets.waveSparkle = solidImage(16, 16);
    assets.burstSparkle = solidImage(16, 16);
    assets.sweepSparkle = solidImage(16, 16);

    FRefT<FWidget> panel = makeRef<FWidget>(engineNew<FContainer>(k_memObject, &screen, true));
    panel->setWidgetRect({112, 184, 912, 584});
    FRefT<FWidget> topCap = makeRef<FWidget>(engineNew<FImageWidget>(k_memObject, &screen, true));
    topCap->setWidgetRect({0, 0, 800, 40});
    FRefT<FWidget> bottomCap = makeRef<FWidget>(engineNew<FImageWidget>(k_memObject, &screen, true));
    bottomCap->setWidgetRect({0, 0, 800, 40});

    ParticleEmitterView* view = engineNew<ParticleEmitterView>(k_memObject, &screen, nullptr);
    view->setup(&screen, panel, topCap, bottomCap, &assets, nullptr);
    ParticlePool owners(3);
    ParticleRecord* owner = owners.take();
    owner->spin = 7.0f;
    owner->sizeBase = 1;
    owner->sizeGrowth = 20;
    fillGroup(*view->edgeGroup(), *owner, assets.burstSparkle, 1024);
    fillGroup(*view->waveGroup(), *owner, assets.waveSparkle, 800);
    for (int i = 0; i < 20; ++i)
        view->update(k_frameMs); // fully open; the emitters find no free record

    FDrawContext context{{1024, 768}};
    FDrawCommandBuffer buffer;
    for (auto _ : state) {
        view->update(k_frameMs);
        context.beginFrame(buffer);
        screen.draw(context);
        benchmark::DoNotOptimize(buffer);
    }
    const double live = view->edgeGroup()->liveCount() + view->waveGroup()->liveCount();
    state.counters["live_sprites"] = live;
    state.counters["draw_records"] = double(buffer.recordCount());
    // Seconds per frame over the tick's seconds: 0.05 is 5 % of the tick.
    state.counters["tick_share"] =
        benchmark::Counter(double(state.iterations()) * (k_frameMs / 1000.0),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    engineDelete(view);
}
BENCHMARK(BM_MenuBackdropFullLoad)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
