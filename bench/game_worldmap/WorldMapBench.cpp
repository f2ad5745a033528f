// The world map with the demo kit (folder 14: 615 entries): its construction
// on a loader thread, as the UI module builds screens, its first activation,
// and one browse-mode frame with every world open (39 ambient clips). The
// loading screen gives a build 750 ms; a frame has one 20 ms UI tick.
// Needs the kit (make kit) and unzip.
#include "game/GameDataTestSupport.h"
#include "game/worldmap/WorldMapKitSupport.h"
#include "support/ScratchFileModules.h"

#include "asset/FAsset.h"
#include "asset/FScreenModule.h"
#include "core/FLocalizedMessages.h"
#include "game/core/GameParams.h"
#include "game/core/GameSession.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/factories/ScreenFactory.h"
#include "game/worldmap/WorldMapScreen.h"
#include "game/worldmap/WorldMapServices.h"
#include "image/FImageLoaderModule.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "ui/FAssetKinds.h"
#include "ui/FFontModule.h"
#include "video/FVideoLoaderModule.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace GameDataText;

// The demo kit unpacked into a scratch folder with the modules that read it,
// and a profile with all twelve worlds open.
struct KitWorld
{
    KitWorld()
    {
        FLocalizedMessages::setLanguage(0);
        const std::string unzip =
            "unzip -q -o '" + std::string(DEMO_KIT) + "' -d '" + modules.scratch.path().string() + "'";
        if (std::system(unzip.c_str()) != 0) return;
        GameWidgetFactory::registerTypes();
        params = std::make_unique<GameParams>(modules.application);
        params->onLoaded();
        saves.attachDefaultFileSystem();
        profiles.saveProfile(0);
        PlayerProfile& profile = *profiles.getCurrentProfile();
        profile.setName(FString("Bench"));
        for (int w = 0; w < 12; ++w) {
            profile.unlockWorld(w);
            for (int q = 0; q < 3; ++q)
                profile.unlockQuest(3 * w + q, w);
        }
        profile.newQuests().clear();
        profile.newWorlds().clear();
        session = std::make_unique<GameSession>(&profiles, GameSession::Tuning{});
        session->loadGameStructure(xmlStream(WorldMapKit::gameData()));
        services.session = session.get();
        services.tuning = params.get();
        WorldMapServices::setInstance(&services);
        ready = true;
    }
    ~KitWorld() { WorldMapServices::setInstance(nullptr); }

    // Built on a thread of its own, as the loader worker builds screens.
    FRefT<FScreen> buildOnWorker(double* seconds = nullptr)
    {
        FRefT<FScreen> screen;
        std::thread worker([&] {
            const auto start = std::chrono::steady_clock::now();
            screen = createScreen(k_worldMapScreen);
            if (seconds != nullptr)
                *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        });
        worker.join();
        return screen;
    }

    ScratchFileModules modules;
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FImageLoaderModule jpeg{k_slotJpegLoader, &FJpegLoader::load};
    FVideoLoaderModule gw{k_slotGwVideoLoader, ".gwvideo"};
    FFontModule fonts;
    FScreenModule screens{&demokit::makeSilentSoundObject};
    std::unique_ptr<GameParams> params;
    SaveManager saves;
    ProfileManager profiles{saves};
    std::unique_ptr<GameSession> session;
    WorldMapKit::QuietServices services;
    bool ready = false;
};

KitWorld* kitWorld(benchmark::State& state)
{
    static std::unique_ptr<KitWorld> world = [] {
        if (!fs::exists(DEMO_KIT) || std::system("command -v unzip > /dev/null 2>&1") != 0)
            return std::unique_ptr<KitWorld>();
        return std::make_unique<KitWorld>();
    }();
    if (world == nullptr || !world->ready) {
        state.SkipWithError("needs the demo kit (make kit) and unzip");
        return nullptr;
    }
    return world.get();
}

// Binding folder 14 and building its 175 widgets, the twelve worlds' clips and
// the screen's own widgets; the goal is well inside the loading screen's 750 ms.
void worldMapConstruction(benchmark::State& state)
{
    KitWorld* world = kitWorld(state);
    if (world == nullptr) return;
    for (auto _ : state) {
        double seconds = 0;
        FRefT<FScreen> screen = world->buildOnWorker(&seconds);
        state.SetIterationTime(seconds);
        if (screen.get() == nullptr) state.SkipWithError("no world map was built");
    }
}
BENCHMARK(worldMapConstruction)->UseManualTime()->Unit(benchmark::kMillisecond);

// The first activation: the map picture placed, the twelve nodes built from the
// tuning tables, the worlds, pieces and tags restored from the profile.
void worldMapFirstActivation(benchmark::State& state)
{
    KitWorld* world = kitWorld(state);
    if (world == nullptr) return;
    for (auto _ : state) {
        state.PauseTiming();
        FRefT<FScreen> screen = world->buildOnWorker();
        state.ResumeTiming();
        screen->onActivate();
        state.PauseTiming();
        screen.release();
        state.ResumeTiming();
    }
}
BENCHMARK(worldMapFirstActivation)->Unit(benchmark::kMillisecond);

// One 20 ms frame in browse mode with all twelve worlds open: 39 ambient clips,
// the sparkles around the selected world; the goal is one UI tick (20 ms).
void worldMapBrowseFrame(benchmark::State& state)
{
    KitWorld* world = kitWorld(state);
    if (world == nullptr) return;
    FRefT<FScreen> screen = world->buildOnWorker();
    screen->onActivate();
    auto& map = dynamic_cast<WorldMapScreen&>(*screen);
    // Nothing new to present: the phases hand the map over within frames.
    for (int frame = 0; frame < 1000 && map.mode() == WorldMapScreen::k_modePhases; ++frame)
        screen->update(20);
    if (map.mode() != WorldMapScreen::k_modeBrowse) state.SkipWithError("the map was not handed over");
    int32_t clips = 0;
    for (int32_t w = 0; w < WorldMapScreen::k_worldCount; ++w)
        clips += static_cast<int32_t>(map.ambientSpritesOf(w).size());
    for (auto _ : state)
        screen->update(20);
    state.counters["ambient clips"] = clips;
}
BENCHMARK(worldMapBrowseFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
