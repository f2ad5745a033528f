#include "RuntimeTestSupport.h"

#include "core/FApplication.h"
#include "core/FClockModule.h"
#include "core/FSemaphore.h"
#include "core/FUtilPlatform.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

TEST(ClockModuleTest, CountsUnsignedMillisecondsSinceItsCreation)
{
    FApplication application;
    std::atomic<uint64_t> source{0xFFFFFFFFull - 5}; // the count wraps past 0 soon
    FClockModule clock([&] { return source.load(); }, [] { return int64_t{1700000000}; });
    auto* service = findService<FClockService>(k_slotClock);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->now(), 0u); // before the clock runs
    EXPECT_EQ(service->wallTime(), 1700000000);

    source += 3;
    EXPECT_EQ(service->now(), 0u); // only the clock's refresh moves it
    clock.refresh();
    const uint32_t before = service->now();
    EXPECT_EQ(before, 3u);
    source += 0x100000000ull + 10; // more than the counter holds
    clock.refresh();
    EXPECT_EQ(service->now() - before, 10u);
}

TEST(ClockModuleTest, RunsOnItsOwnThreadUntilStopped)
{
    FApplication application;
    std::atomic<uint64_t> source{500};
    {
        FClockModule clock([&] { return source.load(); }, [] { return int64_t{0}; });
        EXPECT_EQ(clock.priority(), 1);
        clock.launch();
        clock.run();
        source += 25;
        EXPECT_TRUE(eventually([&] { return clock.now() == 25u; }));
        clock.requestStop(); // returns once the clock thread has answered
        EXPECT_TRUE(clock.hasState(FModule::k_stopped));
        source += 25;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(clock.now(), 25u);
        EXPECT_TRUE(clock.waitStopped(0));
    }
    EXPECT_EQ(findService<FClockService>(k_slotClock), nullptr);
}

// A time source the test can hold: the clock thread blocks inside it.
struct HeldSource
{
    uint64_t read()
    {
        ++reads;
        if (hold) {
            held.release();
            FUtilPlatform::waitPlain(release, FUtilPlatform::k_infinite);
        }
        return 0;
    }
    std::atomic<bool> hold{false};
    std::atomic<int> reads{0};
    FSemaphore held;
    FSemaphore release;
};

// Stopping returns only once the clock thread has ended: the thread is held
// inside the time source, and the stop must still be waiting when it is let go.
TEST(ClockModuleTest, StopWaitsForTheClockThread)
{
    FApplication application;
    HeldSource source;
    FClockModule clock([&] { return source.read(); }, [] { return int64_t{0}; });
    clock.launch();
    clock.run();
    source.hold = true;
    ASSERT_TRUE(FUtilPlatform::waitPlain(source.held, 5000));
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        clock.requestStop();
        stopped = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(stopped) << "the stop returned while the clock thread was still running";
    source.hold = false;
    source.release.release();
    stopper.join();
    EXPECT_TRUE(clock.waitStopped(0));
    const int reads = source.reads;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(source.reads, reads);
}

// A clock destroyed without a stop ends its thread first; the thread reads
// the time source no more.
TEST(ClockModuleTest, DestroyingARunningClockEndsItsThread)
{
    FApplication application;
    HeldSource source;
    {
        FClockModule clock([&] { return source.read(); }, [] { return int64_t{0}; });
        clock.launch();
        clock.run();
        EXPECT_TRUE(eventually([&] { return source.reads > 2; }));
    }
    const int reads = source.reads;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(source.reads, reads);
}

TEST(ClockModuleTest, StoppingAClockThatNeverRanReturnsAtOnce)
{
    FApplication application;
    FClockModule clock;
    clock.requestStop();
    EXPECT_EQ(clock.now(), 0u);
}

} // namespace
