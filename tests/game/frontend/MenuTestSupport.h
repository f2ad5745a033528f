#pragma once

// The menu screens over the game's own factory and the front-end folders,
// with a game module that notes sounds and screen requests.

#include "game/frontend/FrontEndTestSupport.h"
#include "game/gameplay/GameplayTestSupport.h"

#include "audio/FAudioModule.h"
#include "game/core/GameSession.h"
#include "game/core/SaveManager.h"
#include "game/widgets/ParticleEmitterView.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace frontendtest {

// The game's screens, with a plain prompt screen for the level and the
// world map, which the front end only asks for.
class MenuScreens : public GameScreenFactory
{
public:
    FRefT<FScreen> createScreen(int32_t kind) override
    {
        if (kind == k_storyModeScreen || kind == k_worldMapScreen) return stand.createScreen(kind);
        return GameScreenFactory::createScreen(kind);
    }
    prompttest::PromptFactory<SystemMessageScreen> stand;
};

struct MenuFixture : prompttest::PromptFolders
{
    static constexpr int32_t k_stepMs = 10;

    MenuFixture()
    {
        GameWidgetFactory::registerTypes();
        std::filesystem::copy(FrontEndScreenFiles::folder(), scratch.path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        // Menu button clips that play: a few frames each.
        for (int id = 2347; id <= 2364; ++id)
            writeVideo(scratch.path() / "001" / ("00" + std::to_string(id) + "_0.gwvideo"), 3, 20);
        // The prologue's clips and the loading pictures.
        for (const char* clip : {"006612_0.gwvideo", "006615_0.gwvideo", "006620_0.gwvideo"})
            writeVideo(scratch.path() / "013" / clip, 3, 20);
        for (int id = 1877; id <= 1901; ++id)
            writeVideo(scratch.path() / "016" / ("00" + std::to_string(id) + "_0.gwvideo"), 2, 12);
        std::filesystem::copy_file(std::string(ZIBBO_GAME_DATA_DIR) + "/gamedata.xml",
                                   scratch.path() / "012" / "006650_0.dat",
                                   std::filesystem::copy_options::overwrite_existing);
        module.run();
        module.getSaveManager()->attachDefaultFileSystem();
        module.initSaveData();
    }

    // The game structure from the game data our tools write, as the splash
    // screen loads it.
    void loadGameData()
    {
        std::ifstream in(std::string(ZIBBO_GAME_DATA_DIR) + "/gamedata.xml", std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        module.getGameSession()->loadGameStructure(FRefT<std::istream>(
            makeSignaledRef<std::istream>(engineNew<std::istringstream>(k_memObject, bytes.str()))));
    }
    // Runs the module's frames for `ms`, each drawn and shown.
    void advance(int32_t ms)
    {
        for (int32_t t = 0; t < ms; t += k_stepMs) {
            module.tick(k_stepMs);
            module.drain();
            module.frameConsumed();
            module.drain();
            module.framePresented();
            module.drain();
        }
    }
    // A screen asked for with a load builds on a worker in real time while
    // the simulated clock stands: waits (at most ten seconds) until its build
    // has come back to the queue.
    void awaitLoad()
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (module.hasPendingLoad() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            module.drain();
        }
    }
    // Runs frames until the current kind is `kind`, at most `limit` ms; false
    // when it never came.
    bool runUntil(int32_t kind, int32_t limit)
    {
        for (int32_t t = 0; t <= limit; t += k_stepMs) {
            if (module.currentKind() == kind) return true;
            advance(k_stepMs);
            awaitLoad();
        }
        return module.currentKind() == kind;
    }
    // Shows `kind` and returns it as `Screen`, held for the test.
    template <class Screen> Screen& show(int32_t kind)
    {
        module.showScreen(kind);
        held = module.currentScreen();
        return *dynamic_cast<Screen*>(held.get());
    }
    // The module's sound channels over an audio service without a device,
    // which the system pause acts on. The screen files' sounds are silent
    // stand-ins that no channel can play, so a test adds the channels only
    // after the screens it shows have started their music.
    void addSoundChannels()
    {
        audio = std::make_unique<FAudioModule>();
        module.makeSoundChannels();
    }
    // Runs the backdrop's entry animation to its end.
    void settle() { advance(3000); }
    ParticleEmitterView* backdrop() const { return module.particleView(); }

    FRawDataModule rawData;
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FVideoLoaderModule gwVideo{k_slotGwVideoLoader, ".gwvideo"};
    gameplaytest::ScratchUserData userData{scratch.path()};
    TitleGraph graph;
    // Made before the module's launch and given up after the module.
    std::unique_ptr<FAudioModule> audio;
    MenuScreens factory;
    FakeCursorDevice cursorDevice;
    gameplaytest::RecordingGameModule module{&factory, cursorDevice};
    FRefT<FScreen> held;
};

} // namespace frontendtest
