#include "AudioTestSupport.h"

#include "audio/FAudioModule.h"
#include "audio/FAudioPlatform.h"
#include "audio/FSound.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

using namespace audiotest;

namespace {

// A UI-like thread drives sounds and buses while the mixer thread mixes; the
// audio lock is what keeps them apart (run under ThreadSanitizer with the
// threads label).
TEST(AudioLockThreadTest, SoundOperationsRaceTheMixerThreadSafely)
{
    FAudioModule module;
    FAudioService& service = module.service();
    std::atomic<std::uint32_t> clockCalls{0};
    // Every wake of the mixer finds one more period of simulated time.
    auto clock = [&clockCalls] { return clockCalls.fetch_add(1) * FAudioPlatform::k_periodMs; };
    auto platform =
        std::make_unique<FAudioPlatform>(module.lock(), nullptr, FAudioPlatform::Options{clock, true});

    FRefT<FAudioNode> shortSample = makeSource(makeBuffer(std::vector<std::int16_t>(2 * 300, 900), 2));
    FRefT<FAudioNode> longSample = makeSource(makeBuffer(std::vector<std::int16_t>(2 * 44100, -700), 2));
    FRefT<FAudioNode> bus;
    service.createBus(bus);
    FRefT<FSound> route;
    service.createSound(route);
    route->setSample(bus);

    std::atomic<int> endings{0};
    struct Counter
    {
        std::atomic<int>* count;
        void onEnd(std::intptr_t) { count->fetch_add(1); }
    } counter{&endings};
    auto* cell = engineNew<FAudioListener>(k_memObject);
    cell->onNotify = makeObjectDelegate(&counter, &Counter::onEnd);
    FRef listener = makeRef(cell);

    // A pool of live sounds; making a sound into a pool entry releases the
    // sound it held before.
    std::vector<FRefT<FSound>> pool(8);
    int iterations = 0;
    while (clockCalls.load() < 12 || iterations < 200) {
        FRefT<FSound>& sound = pool[iterations % pool.size()];
        if (iterations % 2 == 0)
            service.createSound(sound);
        else
            service.createSoundInBus(bus, sound);
        {
            FMutexLock guard(*service.getAudioLock());
            sound->setVolume(static_cast<std::uint8_t>(iterations % 100));
            sound->playSample(iterations % 3 == 0 ? longSample : shortSample);
            sound->addListener(listener);
        }
        sound->fadeOut();
        sound->pause();
        sound->resume();
        sound->setMuted(iterations % 2);
        route->setVolume(static_cast<std::uint8_t>(32 + iterations % 32));
        service.addCallback(iterations, listener);
        service.removeCallback(iterations - 1);
        if (iterations % 5 == 0) sound->clearSample();
        ++iterations;
    }
    // The last short samples of the pool play to their end.
    const std::uint32_t seen = clockCalls.load();
    while (clockCalls.load() < seen + 3) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    platform.reset(); // stops the mixer thread
    EXPECT_GT(endings.load(), 0);
    pool.clear();
    route.release();
    EXPECT_GE(clockCalls.load(), 12u);
    // Every sound was released: no channel is left in either bus but the route.
    FAudioBus& root = *module.lock().rootBus();
    int live = 0;
    for (int index = 0; index < root.slotCount(); ++index)
        live += root.getChild(index).get() != nullptr ? 1 : 0;
    EXPECT_EQ(live, 0);
    EXPECT_EQ(module.callbackCount(), 1u);
}

} // namespace
