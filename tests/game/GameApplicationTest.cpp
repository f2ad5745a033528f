#include "game/core/GameApplication.h"
#include "app/PlatformBackends.h"
#include "audio/FAudioService.h"
#include "core/FApplication.h"
#include "core/FMemory.h"
#include "core/FModule.h"
#include "core/FProcessService.h"
#include "engine/core/KernelTestSupport.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

TEST(GameApplicationTest, TheModuleListCreatesEveryEngineModuleInOrder)
{
    // Priorities in creation order: network, zip, clock, graphics, keyed map,
    // GW video, raw data, JPEG, font, screen, zlib, debug channel, PNG,
    // Theora, logging, GW sample, JPEG32, audio, Vorbis, asset release, PVR,
    // platform window, process, random, thread pool, file systems, game
    // pads, application service.
    const std::vector<int> expected = {7, 11, 1, 14, 0, 10, 9, 9, 9,  15, 9, 2,  9, 10,
                                       2, 9,  9, 11, 9, 3,  9, 3, 13, 2,  2, 13, 4, 3};
    FApplication application;
    buildApplicationModules(application.modules(), makeSharedStringCopy(FString("/a:b")), platformBackends());
    std::vector<int> priorities;
    for (const FModule* module : application.modules())
        priorities.push_back(module->priority());
    EXPECT_EQ(priorities, expected);
    for (int slot : {k_slotClock, k_slotKeyedMap, k_slotAppService, k_slotProcess, k_slotRandom,
                     k_slotThreadPool, k_slotAudio, k_slotGraphics})
        EXPECT_NE(application.service(slot), nullptr) << slot;
    application.stopModules();
    for (int slot = 0; slot < k_serviceSlotCount; ++slot)
        EXPECT_EQ(application.service(slot), nullptr) << slot;
}

TEST(GameApplicationTest, ModulesWhoseBackendIsNotChosenAreLeftOut)
{
    // As above without network, graphics, debug channel, platform window and
    // game pads; the audio module runs without an output.
    const std::vector<int> expected = {11, 1, 0,  10, 9, 9, 9,  15, 9, 9,  10, 2,
                                       9,  9, 11, 9,  3, 9, 13, 2,  2, 13, 3};
    FApplication application;
    buildApplicationModules(application.modules(), makeSharedStringCopy(FString("")), ApplicationBackends{});
    std::vector<int> priorities;
    for (const FModule* module : application.modules())
        priorities.push_back(module->priority());
    EXPECT_EQ(priorities, expected);
    EXPECT_EQ(application.service(k_slotGraphics), nullptr);
    application.stopModules();
}

TEST(GameApplicationTest, RunsTheLoopUntilAQuitIsRequestedThenStopsEverything)
{
    // The smallest main kit: the screen module mounts it at start and names
    // the application after its target file.
    ScratchFolder scratch;
    ZipWriter kit;
    kit.add("GWTarget", writeTarget("Kit Name"));
    kit.writeTo("Zibbo.zip");
    std::string name;
    std::thread quitter([&name] {
        // Wait until the modules have started, then ask the main loop to end.
        for (;;) {
            FApplication* application = FApplication::instance();
            if (application != nullptr && application->startState() == FApplication::k_started) {
                name = application->name().toUtf8();
                findService<FProcessService>(k_slotProcess)->requestQuit();
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    EXPECT_EQ(runGameApplication(platformBackends(), makeSharedStringCopy(FString(""))), 0);
    quitter.join();
    EXPECT_EQ(FApplication::instance(), nullptr);
    EXPECT_EQ(name, "Kit Name");
}

// What the game module sees of the application when it is launched and when
// it is asked to stop.
struct GameModuleWitness
{
    bool launchedLast = false;
    bool launchedAfterTheEngine = false;
    bool stoppedBeforeTheEngine = false;
};
GameModuleWitness* g_witness = nullptr;

class WitnessModule : public FModule
{
public:
    // The game module's priority: after every engine module.
    int priority() const override { return 22; }
    void onLaunch() override
    {
        FApplication* application = FApplication::instance();
        g_witness->launchedLast = application->modules().back() == this;
        // The audio module makes its output when it is launched.
        auto* audio = findService<FAudioService>(k_slotAudio);
        g_witness->launchedAfterTheEngine =
            audio != nullptr && audio->getPlatform() != nullptr && !audio->getPlatform()->isNull();
    }
    void requestStop() override
    {
        const std::vector<FModule*>& modules = FApplication::instance()->modules();
        g_witness->stoppedBeforeTheEngine =
            modules.size() > 1 && std::none_of(modules.begin(), modules.end(), [this](const FModule* module) {
                return module != this && module->hasState(k_stopRequested);
            });
        FModule::requestStop();
    }
};

TEST(GameApplicationTest, TheGameModuleIsAppendedAfterTheEngineModulesStartsLastAndStopsFirst)
{
    ScratchFolder scratch;
    ZipWriter kit;
    kit.add("GWTarget", writeTarget("Kit Name"));
    kit.writeTo("Zibbo.zip");
    GameModuleWitness witness;
    g_witness = &witness;
    std::thread quitter([] {
        for (;;) {
            FApplication* application = FApplication::instance();
            if (application != nullptr && application->startState() == FApplication::k_started) {
                findService<FProcessService>(k_slotProcess)->requestQuit();
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    EXPECT_EQ(runGameApplication(platformBackends(), makeSharedStringCopy(FString("")),
                                 [] { return static_cast<FModule*>(engineNew<WitnessModule>(k_memObject)); }),
              0);
    quitter.join();
    g_witness = nullptr;
    EXPECT_TRUE(witness.launchedLast);
    EXPECT_TRUE(witness.launchedAfterTheEngine);
    EXPECT_TRUE(witness.stoppedBeforeTheEngine);
}

TEST(GameApplicationTest, AMalformedCommandLineFailsAfterRemovingTheModulesMadeSoFar)
{
    EXPECT_ANY_THROW(runGameApplication(platformBackends(), makeSharedStringCopy(FString("/bad-switch"))));
    EXPECT_EQ(FApplication::instance(), nullptr);
}

} // namespace
