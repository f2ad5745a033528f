#include "core/FRef.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

// An object that counts how many of its kind are alive.
struct Tracked
{
    explicit Tracked(int v) : value(v) { ++alive; }
    ~Tracked() { --alive; }
    int value;
    static inline int alive = 0;
};

class FRefTest : public testing::Test
{
protected:
    void SetUp() override { Tracked::alive = 0; }
    void TearDown() override { EXPECT_EQ(Tracked::alive, 0) << "an object outlived its handles"; }
};

TEST_F(FRefTest, EmptyHandleReadsNullAndReleasesItsHolder)
{
    FRef empty = makeNullRef();
    ASSERT_FALSE(empty.isNull());
    EXPECT_EQ(empty.get(), nullptr);
    EXPECT_EQ(empty.holder()->count(), 1);
    empty.release();
    EXPECT_TRUE(empty.isNull());
    FRef never;
    EXPECT_EQ(never.get(), nullptr);
    never.release(); // a null handle does nothing
}

TEST_F(FRefTest, CopiesCountAndTheLastReleaseDeletesTheObject)
{
    FRefT<Tracked> first = makeRef(new Tracked(1));
    {
        FRefT<Tracked> second = first;
        FRefT<Tracked> third;
        third = second;
        EXPECT_EQ(first.holder()->count(), 3);
        EXPECT_EQ(third->value, 1);
        third = third; // self-assignment keeps the count
        EXPECT_EQ(first.holder()->count(), 3);
    }
    EXPECT_EQ(first.holder()->count(), 1);
    EXPECT_EQ(Tracked::alive, 1);
    first.release();
    EXPECT_EQ(Tracked::alive, 0);
}

TEST_F(FRefTest, EngineObjectsAndRangesRelease)
{
    FRef handles[3] = {makeRef(engineNew<Tracked>(k_memObject, 1)),
                       makeRef(engineNew<Tracked>(k_memObject, 2)),
                       makeRefHolder(engineAlloc(k_memGeneral, 64))};
    EXPECT_EQ(Tracked::alive, 2);
    releaseRefRange(handles, handles + 3);
    EXPECT_EQ(Tracked::alive, 0);
    for (const FRef& handle : handles) {
        EXPECT_TRUE(handle.isNull());
    }
}

TEST_F(FRefTest, DestroyTargetLeavesEveryHandleValidAndNull)
{
    FRefT<Tracked> a = makeRef(new Tracked(1));
    FRefT<Tracked> b = a;
    FRef::destroyTarget(a);
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_EQ(a.get(), nullptr);
    EXPECT_EQ(b.get(), nullptr);
    EXPECT_EQ(a.holder()->count(), 2); // the by-value handle was released again
}

TEST_F(FRefTest, SwapTargetsAffectsEveryHandleOfBothFamilies)
{
    FRefT<Tracked> a = makeRef(new Tracked(1));
    FRefT<Tracked> b = makeRef(new Tracked(2));
    FRefT<Tracked> copyOfA = a;
    FRefT<Tracked> copyOfB = b;
    swapRefTargets(a, b);
    EXPECT_EQ(copyOfA->value, 2);
    EXPECT_EQ(copyOfB->value, 1);
    EXPECT_EQ(a.holder()->count(), 2);
}

TEST_F(FRefTest, SwapRefsExchangesHoldersOnly)
{
    FRefT<Tracked> a = makeRef(new Tracked(1));
    FRefT<Tracked> b = makeRef(new Tracked(2));
    FRefT<Tracked> copyOfA = a;
    FRefHolder* holderA = a.holder();
    swapRefs(a, b);
    EXPECT_EQ(a->value, 2);
    EXPECT_EQ(b->value, 1);
    EXPECT_EQ(copyOfA->value, 1);
    EXPECT_EQ(b.holder(), holderA);
    EXPECT_EQ(holderA->count(), 2);
    EXPECT_EQ(a.holder()->count(), 1);
}

TEST_F(FRefTest, SetTargetReplacesTheObjectForTheWholeFamily)
{
    FRefT<Tracked> a = makeRef(new Tracked(1));
    FRefT<Tracked> copy = a;
    a.setTarget(new Tracked(2));
    EXPECT_EQ(Tracked::alive, 1);
    EXPECT_EQ(copy->value, 2);
}

TEST_F(FRefTest, DependentReadsTheParentsObjectAndKeepsTheParentAlive)
{
    FRefT<Tracked> parent = makeSignaledRef(new Tracked(5));
    FRefHolder* parentHolder = parent.holder();
    FRefT<Tracked> job(FRef::makeDependent(parent));
    ASSERT_FALSE(job.isNull());
    EXPECT_EQ(job->value, 5);
    EXPECT_EQ(job.holder()->owner(), parentHolder);
    EXPECT_EQ(job.holder()->ownTarget(), nullptr);
    ASSERT_EQ(parentHolder->dependents().size(), 1u);
    EXPECT_EQ(parentHolder->dependents()[0], job.holder());
    EXPECT_EQ(parentHolder->count(), 2);

    parent.release(); // the last external handle: the dependent still holds it
    EXPECT_EQ(Tracked::alive, 1);
    EXPECT_EQ(job->value, 5);
    job.release();
    EXPECT_EQ(Tracked::alive, 0);
}

TEST_F(FRefTest, ReleasedDependentsEntryIsReused)
{
    FRefT<Tracked> parent = makeSignaledRef(new Tracked(1));
    const auto& dependents = parent.holder()->dependents();
    FRef first = FRef::makeDependent(parent);
    first.release();
    ASSERT_EQ(dependents.size(), 1u);
    EXPECT_EQ(dependents[0], nullptr);
    EXPECT_EQ(parent.holder()->count(), 1);
    FRef second = FRef::makeDependent(parent);
    ASSERT_EQ(dependents.size(), 1u);
    EXPECT_EQ(dependents[0], second.holder());
}

TEST_F(FRefTest, WaitWithoutDependentReturnsAtOnceAndStaysSet)
{
    FRefT<Tracked> parent = makeSignaledRef(new Tracked(3));
    EXPECT_EQ(waitForRefTarget(parent)->value, 3);
    EXPECT_EQ(waitForRefTarget(parent)->value, 3);
    auto* holder = static_cast<FSignaledRefHolder*>(parent.holder());
    EXPECT_TRUE(holder->signal().isSignalled());
}

TEST_F(FRefTest, DependentNeedsASignalledParent)
{
    FRefT<Tracked> plain = makeRef(new Tracked(1));
    EXPECT_TRUE(FRef::makeDependent(plain).isNull());
    EXPECT_EQ(waitForRefTarget(plain)->value, 1);
}

TEST_F(FRefTest, DependentWithItsOwnTargetLeavesItsOwner)
{
    FRefT<Tracked> parent = makeSignaledRef(new Tracked(1));
    FRefT<Tracked> job(FRef::makeDependent(parent));
    FRefT<Tracked> jobCopy = job;
    job.setTarget(new Tracked(2));
    EXPECT_EQ(job.holder()->owner(), nullptr);
    EXPECT_EQ(job.holder()->canonical(), job.holder());
    EXPECT_EQ(parent.holder()->dependents()[0], nullptr);
    EXPECT_EQ(parent.holder()->count(), 1);
    EXPECT_EQ(jobCopy->value, 2);
    EXPECT_EQ(parent->value, 1);
    // Leaving set the parent's signal: a new dependent is registered at once.
    FRef next = FRef::makeDependent(parent);
    EXPECT_FALSE(next.isNull());
}

TEST_F(FRefTest, RedirectedDependentsFollowANewCanonicalHolder)
{
    FRefT<Tracked> root = makeSignaledRef(new Tracked(1));
    FRefT<Tracked> middle(FRef::makeDependent(root));
    FRefT<Tracked> leaf(FRef::makeDependent(middle));
    EXPECT_EQ(leaf->value, 1);
    EXPECT_EQ(leaf.holder()->canonical(), root.holder());
    middle.setTarget(new Tracked(2)); // middle becomes the canonical holder of its own family
    EXPECT_EQ(leaf.holder()->canonical(), middle.holder());
    EXPECT_EQ(leaf->value, 2);
    EXPECT_EQ(root->value, 1);
    leaf.release();
    middle.release();
}

// A job on a worker thread works on the object through a dependent handle;
// the consumer waits for it. Repeated many times, the signal must neither
// lose a wake-up nor pile up: afterwards it lets exactly one wait through.
TEST_F(FRefTest, ConsumerWaitsForEachJobOnAnotherThread)
{
    FRefT<Tracked> parent = makeSignaledRef(new Tracked(0));
    constexpr int k_cycles = 200;
    for (int cycle = 0; cycle < k_cycles; ++cycle) {
        FRefT<Tracked> job(FRef::makeDependent(parent));
        ASSERT_FALSE(job.isNull());
        std::thread worker([handle = std::move(job)]() mutable {
            std::this_thread::yield();
            handle->value += 1;
            handle.release();
        });
        Tracked* object = waitForRefTarget(parent);
        EXPECT_EQ(object->value, cycle + 1);
        worker.join();
    }
    auto& signal = static_cast<FSignaledRefHolder*>(parent.holder())->signal();
    EXPECT_TRUE(signal.waitFor(0));
    EXPECT_FALSE(signal.waitFor(0));
    signal.set();
}

TEST_F(FRefTest, AtMostOneDependentIsOutstanding)
{
    FRefT<Tracked> parent = makeSignaledRef(new Tracked(0));
    std::atomic<int> outstanding{0};
    std::atomic<int> worst{0};
    std::vector<std::thread> jobs;
    for (int j = 0; j < 4; ++j) {
        jobs.emplace_back([&] {
            for (int i = 0; i < 25; ++i) {
                FRefT<Tracked> job(FRef::makeDependent(parent));
                int now = ++outstanding;
                int seen = worst.load();
                while (now > seen && !worst.compare_exchange_weak(seen, now)) {
                }
                job->value += 1;
                --outstanding;
                job.release();
            }
        });
    }
    for (auto& job : jobs) {
        job.join();
    }
    EXPECT_EQ(worst.load(), 1);
    EXPECT_EQ(waitForRefTarget(parent)->value, 100);
}

} // namespace
