#include "RuntimeTestSupport.h"

#include "core/FApplication.h"
#include "core/FClockModule.h"

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

TEST(ClockModuleTest, StoppingAClockThatNeverRanReturnsAtOnce)
{
    FApplication application;
    FClockModule clock;
    clock.requestStop();
    EXPECT_EQ(clock.now(), 0u);
}

} // namespace
