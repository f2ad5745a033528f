#include "game/core/GameApplication.h"
#include "core/FApplication.h"
#include "core/FMemory.h"
#include "core/FModule.h"
#include "core/FProcessService.h"
#include "engine/core/KernelTestSupport.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

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
    buildApplicationModules(application.modules(), makeSharedStringCopy(FString("/a:b")));
    std::vector<int> priorities;
    for (const FModule* module : application.modules())
        priorities.push_back(module->priority());
    EXPECT_EQ(priorities, expected);
    for (int slot : {k_slotClock, k_slotKeyedMap, k_slotAppService, k_slotProcess, k_slotRandom,
                     k_slotThreadPool, k_slotAudio})
        EXPECT_NE(application.service(slot), nullptr) << slot;
    application.stopModules();
    for (int slot = 0; slot < k_serviceSlotCount; ++slot)
        EXPECT_EQ(application.service(slot), nullptr) << slot;
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
    EXPECT_EQ(runGameApplication(makeSharedStringCopy(FString(""))), 0);
    quitter.join();
    EXPECT_EQ(FApplication::instance(), nullptr);
    EXPECT_EQ(name, "Kit Name");
}

TEST(GameApplicationTest, AMalformedCommandLineFailsAfterRemovingTheModulesMadeSoFar)
{
    EXPECT_ANY_THROW(runGameApplication(makeSharedStringCopy(FString("/bad-switch"))));
    EXPECT_EQ(FApplication::instance(), nullptr);
}

} // namespace
