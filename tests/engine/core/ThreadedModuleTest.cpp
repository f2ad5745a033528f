#include "RuntimeTestSupport.h"

#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FSemaphore.h"
#include "core/FThread.h"
#include "core/FThreadedModule.h"
#include "core/FUtilPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// A module whose actions write their argument into a log; the test drives
// its loop step by step (inline) unless it starts it on a worker.
class LogModule : public FThreadedModule
{
public:
    explicit LogModule(int32_t periodMs, bool runInline = true) : FThreadedModule(periodMs)
    {
        setInline(runInline);
    }

    void tick(uint32_t elapsedMs) override { ticks.push_back(elapsedMs); }
    void onLaunch() override { launchThread = std::this_thread::get_id(); }
    void stop() override
    {
        FThreadedModule::stop();
        stopThread = std::this_thread::get_id();
    }

    void record(FAction&, int* value)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_log.push_back(*value);
    }
    void recordOther(FAction& action, int* value)
    {
        int shifted = *value + 1000;
        record(action, &shifted);
    }
    void requeueOnce(FAction& action, int* value)
    {
        record(action, value);
        if (!m_requeued) {
            m_requeued = true;
            action.setRequeue(true);
        }
    }

    void post(int value)
    {
        postAction(makeAction<FAction1<LogModule, int>>(this, &LogModule::record, value));
    }
    std::vector<int> takeLog()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<int> out;
        out.swap(m_log);
        return out;
    }

    std::vector<uint32_t> ticks;
    std::thread::id launchThread;
    std::thread::id stopThread;

private:
    std::mutex m_lock;
    std::vector<int> m_log;
    bool m_requeued = false;
};

using Log = std::vector<int>;

class ThreadedModuleTest : public ::testing::Test
{
protected:
    FApplication m_application;
    FakeClock m_clock{m_application};
};

TEST_F(ThreadedModuleTest, ABatchRunsAtMostSixActions)
{
    struct Case
    {
        int posted;
        std::size_t firstBatch;
    };
    // Budget: the smaller of 5 and the queue length, tested after each action.
    const Case cases[] = {{1, 1}, {3, 3}, {5, 5}, {6, 6}, {10, 6}};
    for (const Case& c : cases) {
        LogModule module(FThreadedModule::k_untimed);
        for (int i = 0; i < c.posted; ++i)
            module.post(i);
        EXPECT_TRUE(module.runOnce());
        EXPECT_EQ(module.takeLog().size(), c.firstBatch) << c.posted << " posted";
        EXPECT_EQ(module.queue().size(), static_cast<std::size_t>(c.posted) - c.firstBatch);
        EXPECT_EQ(module.queue().semaphore().count(), module.queue().size());
    }
}

TEST_F(ThreadedModuleTest, AWakeMarkerEndsTheBatch)
{
    LogModule module(FThreadedModule::k_untimed);
    module.post(1);
    module.postAction(nullptr);
    module.post(2);
    EXPECT_TRUE(module.runOnce());
    EXPECT_EQ(module.takeLog(), Log{1});
    EXPECT_TRUE(module.runOnce());
    EXPECT_EQ(module.takeLog(), Log{2});
}

TEST_F(ThreadedModuleTest, PostOrReplaceReplacesTheSameCallWithTheSameTagInPlace)
{
    LogModule module(FThreadedModule::k_untimed);
    module.postOrReplaceAction(makeAction<FAction1<LogModule, int>>(&module, &LogModule::record, 1), 7);
    module.postAction(makeAction<FAction1<LogModule, int>>(&module, &LogModule::recordOther, 2));
    module.postOrReplaceAction(makeAction<FAction1<LogModule, int>>(&module, &LogModule::record, 3), 7);
    EXPECT_EQ(module.queue().size(), 2u);
    EXPECT_EQ(module.queue().semaphore().count(), 2u);

    // Another tag, another handler or another target: appended.
    LogModule second(FThreadedModule::k_untimed);
    module.postOrReplaceAction(makeAction<FAction1<LogModule, int>>(&module, &LogModule::record, 4), 8);
    module.postOrReplaceAction(makeAction<FAction1<LogModule, int>>(&module, &LogModule::recordOther, 5), 7);
    module.postOrReplaceAction(makeAction<FAction1<LogModule, int>>(&second, &LogModule::record, 6), 7);
    EXPECT_EQ(module.queue().size(), 5u);
    EXPECT_EQ(module.queue().semaphore().count(), 5u);

    module.runOnce();
    EXPECT_EQ(module.takeLog(), (Log{3, 1002, 4, 1005}));
    EXPECT_EQ(second.takeLog(), Log{6});
}

TEST_F(ThreadedModuleTest, AReplacedActionWithAWaiterIsSignalledNotDeleted)
{
    LogModule module(FThreadedModule::k_untimed);
    auto* first = makeAction<FAction1<LogModule, int>>(&module, &LogModule::record, 1);
    auto* waiter = engineNew<FSemaphore>(k_memObject);
    first->setWaiter(waiter);
    module.postOrReplaceAction(first, 0);
    module.postOrReplaceAction(makeAction<FAction1<LogModule, int>>(&module, &LogModule::record, 2), 0);
    EXPECT_EQ(waiter->count(), 1u);
    engineDelete(first);
    module.runOnce();
    EXPECT_EQ(module.takeLog(), Log{2});
}

TEST_F(ThreadedModuleTest, ARequeuedActionRunsAgainAfterTheNextCompletedActionAndBeforeTheRest)
{
    LogModule module(FThreadedModule::k_untimed);
    module.postAction(makeAction<FAction1<LogModule, int>>(&module, &LogModule::requeueOnce, 9));
    module.post(1);
    module.post(2);
    while (module.queue().size() > 0)
        module.runOnce();
    EXPECT_EQ(module.takeLog(), (Log{9, 1, 9, 2}));
    EXPECT_EQ(module.queue().semaphore().count(), 0u);
}

TEST_F(ThreadedModuleTest, TicksReportWholePeriods)
{
    LogModule module(20);
    m_clock.set(1000);
    module.wakeUp();
    module.runOnce(); // sets the tick origin
    EXPECT_TRUE(module.ticks.empty());

    struct Step
    {
        uint32_t advanceMs;
        std::vector<uint32_t> ticks;
    };
    // A late step reports every whole period at once, never the raw delay.
    const Step steps[] = {{65, {60}}, {10, {}}, {5, {20}}, {19, {}}, {1, {20}}, {100, {100}}};
    for (const Step& step : steps) {
        m_clock.advance(step.advanceMs);
        module.ticks.clear();
        module.wakeUp();
        EXPECT_TRUE(module.runOnce());
        EXPECT_EQ(module.ticks, step.ticks) << "after +" << step.advanceMs;
    }
}

TEST_F(ThreadedModuleTest, AnUntimedModuleTicksWithTheTimeSinceItsLastTick)
{
    LogModule module(FThreadedModule::k_untimed);
    m_clock.set(0);
    module.wakeUp();
    m_clock.set(35);
    module.runOnce();
    module.wakeUp();
    m_clock.set(50);
    module.runOnce();
    EXPECT_EQ(module.ticks, (std::vector<uint32_t>{35, 15}));
    // Without a new wake-up the tick stays disarmed.
    module.post(1);
    m_clock.set(80);
    module.runOnce();
    EXPECT_EQ(module.ticks.size(), 2u);
}

TEST_F(ThreadedModuleTest, TheTickWaitEndsAtThePeriodBoundary)
{
    LogModule module(20);
    m_clock.set(1000);
    module.wakeUp();
    module.runOnce();
    m_clock.advance(25);
    // Nothing queued and the boundary already passed: the wait polls and the
    // tick runs.
    EXPECT_FALSE(module.runOnce());
    EXPECT_EQ(module.ticks, (std::vector<uint32_t>{20}));
}

TEST_F(ThreadedModuleTest, AModuleOnAWorkerLaunchesRunsAndStopsOnItsOwnThread)
{
    LogModule module(FThreadedModule::k_untimed, false);
    module.launch();
    EXPECT_NE(module.launchThread, std::thread::id());
    EXPECT_NE(module.launchThread, std::this_thread::get_id());
    module.run();

    // A poster that waits finds its action done when it returns.
    auto* action = makeAction<FAction1<LogModule, int>>(&module, &LogModule::record, 5);
    module.postActionAndWait(action);
    EXPECT_EQ(module.takeLog(), Log{5});

    EXPECT_FALSE(module.waitStopped(0));
    module.requestStop();
    EXPECT_TRUE(eventually([&] { return module.waitStopped(50); }));
    EXPECT_TRUE(module.hasState(FModule::k_stopped));
    EXPECT_EQ(module.stopThread, module.launchThread);
}

TEST_F(ThreadedModuleTest, StopOnATimedModuleEndsTheLoopAfterThatBatch)
{
    LogModule module(20, false);
    module.launch();
    module.run();
    module.post(1);
    module.requestStop();
    module.post(2);
    EXPECT_TRUE(eventually([&] { return module.waitStopped(50); }));
    EXPECT_EQ(module.takeLog(), Log{1});
    // The action behind the stop marker stays queued.
    EXPECT_EQ(module.queue().size(), 1u);
}

TEST_F(ThreadedModuleTest, AnInlineModuleIsNeverReportedStoppedWhileItsTaskRuns)
{
    LogModule module(FThreadedModule::k_untimed);
    EXPECT_TRUE(module.waitStopped(0));
    module.launch();
    EXPECT_EQ(module.launchThread, std::this_thread::get_id());
}

// Holds the worker in an action until the test opens it.
struct Gate
{
    void pass(FAction&, int*)
    {
        entered.release();
        FUtilPlatform::waitPlain(open, FUtilPlatform::k_infinite);
        passed = true;
    }
    FSemaphore entered;
    FSemaphore open;
    std::atomic<bool> passed{false};
};

// A module destroyed while its loop still runs (a stop that unwound, or none
// at all) stops the loop and waits for it before the queue, the semaphores
// and the deferred list go; the worker is then free well before the patience
// a stuck worker would be given.
TEST_F(ThreadedModuleTest, DestroyingARunningModuleStopsItsLoopFirst)
{
    for (const bool letRun : {true, false}) {
        SCOPED_TRACE(letRun ? "running" : "launched only");
        Gate gate;
        auto module = std::make_unique<FThreadedModule>(FThreadedModule::k_untimed);
        module->launch();
        if (letRun) {
            module->run();
            module->postAction(makeAction<FAction1<Gate, int>>(&gate, &Gate::pass, 0));
            ASSERT_TRUE(FUtilPlatform::waitPlain(gate.entered, 5000));
        }
        std::atomic<bool> destroyed{false};
        std::thread destroyer([&] {
            module.reset();
            destroyed = true;
        });
        if (letRun) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            EXPECT_FALSE(destroyed) << "destroyed under a running action";
            gate.open.release();
        }
        EXPECT_TRUE(eventually([&] { return destroyed.load(); }, FThread::k_endPatienceMs / 2));
        destroyer.join();
        EXPECT_EQ(gate.passed.load(), letRun);
    }
}

} // namespace
