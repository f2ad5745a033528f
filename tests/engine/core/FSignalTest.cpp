#include "core/FSignal.h"
#include "core/FMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(FSignalTest, InitialStateAndAutoReset)
{
    FSignal clear;
    EXPECT_FALSE(clear.waitFor(0));
    FSignal set(true);
    EXPECT_TRUE(set.waitFor(0));
    EXPECT_FALSE(set.waitFor(0)); // taking it cleared it
}

TEST(FSignalTest, SettingTwiceLetsOneWaitThrough)
{
    FSignal signal;
    signal.set();
    signal.set();
    EXPECT_TRUE(signal.waitFor(0));
    EXPECT_FALSE(signal.waitFor(0));
}

TEST(FSignalTest, ManyCyclesLeaveNothingBehind)
{
    FSignal signal(true);
    for (int i = 0; i < 10000; ++i) {
        signal.wait();
        signal.set();
    }
    EXPECT_TRUE(signal.waitFor(0));
    EXPECT_FALSE(signal.waitFor(0));
}

TEST(FSignalTest, SetWakesABlockedWaiter)
{
    FSignal signal;
    std::atomic<bool> woke{false};
    std::thread waiter([&] {
        signal.wait();
        woke = true;
    });
    signal.set();
    waiter.join();
    EXPECT_TRUE(woke);
    EXPECT_FALSE(signal.isSignalled());
}

TEST(FSignalTest, OneSetWakesOneOfTwoWaiters)
{
    FSignal signal;
    std::atomic<int> woke{0};
    auto wait = [&] {
        signal.wait();
        ++woke;
    };
    std::thread first(wait);
    std::thread second(wait);
    signal.set();
    while (woke.load() == 0) {
        std::this_thread::yield();
    }
    // The other waiter stays blocked until the next set.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(woke.load(), 1);
    signal.set();
    first.join();
    second.join();
    EXPECT_EQ(woke.load(), 2);
}

TEST(FSignalTest, TimedWaitRunsOut)
{
    FSignal signal;
    EXPECT_FALSE(signal.waitFor(5));
}

// Stands in for the platform's interruptible wait.
class CountingWaiter : public FSignalWaiter
{
public:
    void waitSignal(FSignal& signal) override
    {
        ++calls;
        while (!signal.waitFor(1)) {
        }
    }
    int calls = 0;
};

TEST(FSignalTest, InstalledWaiterTakesTheUnboundedWaits)
{
    CountingWaiter waiter;
    FSignalWaiter* previous = FSignal::installWaiter(&waiter);
    FSignal signal(true);
    signal.wait();
    EXPECT_EQ(waiter.calls, 1);
    EXPECT_FALSE(signal.isSignalled());
    EXPECT_EQ(FSignal::installWaiter(previous), &waiter);
}

TEST(FMutexTest, OwnerMayLockAgainOthersMayNot)
{
    FMutex mutex;
    FMutexLock outer(mutex);
    {
        FMutexLock inner(mutex);
        std::atomic<bool> taken{true};
        std::thread other([&] {
            taken = mutex.tryLock();
            if (taken) {
                mutex.unlock();
            }
        });
        other.join();
        EXPECT_FALSE(taken);
    }
    EXPECT_TRUE(mutex.tryLock());
    mutex.unlock();
}

} // namespace
