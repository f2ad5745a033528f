#include "KernelTestSupport.h"
#include "RuntimeTestSupport.h"

#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FSemaphore.h"
#include "core/FThread.h"
#include "core/FThreadPoolModule.h"
#include "core/FThreadTask.h"
#include "core/FUtilPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class CountingTask : public FThreadTask
{
public:
    void main() override
    {
        ++runs;
        done.release();
    }
    std::atomic<int> runs{0};
    FSemaphore done;
};

template <class Failure> class ThrowingTask : public FThreadTask
{
public:
    void main() override { throw Failure(); }
};

struct RuntimeFailure : std::runtime_error
{
    RuntimeFailure() : std::runtime_error("worker failed") {}
};

class ThreadPoolTest : public ::testing::Test
{
protected:
    FApplication m_application;
    FakeClock m_clock{m_application};
    RecordingMessageBox m_box;
    FThreadPoolModule* m_pool = engineNew<FThreadPoolModule>(k_memObject);

    ~ThreadPoolTest() override
    {
        engineDelete(m_pool);
        drainQueuedCalls();
    }

    // Ends the test's unwinding call on the main thread, if one was queued.
    static bool mainThreadUnwinds()
    {
        try {
            FUtilPlatform::wait(nullptr, 0);
        } catch (const FDebug::TreatedException&) {
            return true;
        }
        return false;
    }
};

TEST_F(ThreadPoolTest, ATaskTakesAWorkerRunsOnceAndGivesItBack)
{
    auto* task = engineNew<CountingTask>(k_memObject);
    ASSERT_NE(task->worker(), nullptr); // the empty pool made one
    FThread* worker = task->worker();
    task->start();
    ASSERT_TRUE(FUtilPlatform::wait(&task->done, 5000));
    EXPECT_TRUE(eventually([&] { return task->state() == FThreadTask::k_done; }));
    task->start(); // not idle: nothing happens
    EXPECT_EQ(task->runs, 1);

    // Reset returns the worker and takes the latest pooled one back.
    task->reset();
    EXPECT_EQ(task->state(), FThreadTask::k_idle);
    EXPECT_EQ(task->worker(), worker);
    EXPECT_EQ(m_pool->size(), 0u);
    task->start();
    ASSERT_TRUE(FUtilPlatform::wait(&task->done, 5000));
    EXPECT_EQ(task->runs, 2);

    EXPECT_TRUE(eventually([&] { return task->state() == FThreadTask::k_done; }));
    engineDelete(task);
    EXPECT_EQ(m_pool->size(), 1u);
    EXPECT_EQ(m_pool->takeThread(), worker);
    EXPECT_EQ(m_pool->takeThread(), nullptr);
    engineDelete(worker);
}

// A task that takes only pooled workers makes none: without an idle one it
// has no worker and starting it does nothing; with one it runs on it.
TEST_F(ThreadPoolTest, APooledOnlyTaskRunsOnlyOnAnIdlePooledWorker)
{
    class PooledOnlyTask : public FThreadTask
    {
    public:
        PooledOnlyTask() : FThreadTask(k_pooledOnly) {}
        void main() override
        {
            ++runs;
            done.release();
        }
        std::atomic<int> runs{0};
        FSemaphore done;
    };

    auto* alone = engineNew<PooledOnlyTask>(k_memObject);
    EXPECT_EQ(alone->worker(), nullptr);
    alone->start();
    EXPECT_EQ(alone->state(), FThreadTask::k_idle);
    EXPECT_FALSE(FUtilPlatform::wait(&alone->done, 0));
    engineDelete(alone);
    EXPECT_EQ(m_pool->size(), 0u);

    FThread* worker = engineNew<FThread>(k_memObject);
    m_pool->addThread(worker);
    auto* task = engineNew<PooledOnlyTask>(k_memObject);
    EXPECT_EQ(task->worker(), worker);
    task->start();
    ASSERT_TRUE(FUtilPlatform::wait(&task->done, 5000));
    EXPECT_TRUE(eventually([&] { return task->state() == FThreadTask::k_done; }));
    EXPECT_EQ(task->runs, 1);
    engineDelete(task);
    EXPECT_EQ(m_pool->takeThread(), worker);
    engineDelete(worker);
}

TEST_F(ThreadPoolTest, ThePoolHandsOutTheLastAddedWorkerFirst)
{
    FThread* a = engineNew<FThread>(k_memObject);
    FThread* b = engineNew<FThread>(k_memObject);
    m_pool->addThread(a);
    m_pool->addThread(b);
    EXPECT_EQ(m_pool->takeThread(), b);
    EXPECT_EQ(m_pool->takeThread(), a);
    EXPECT_EQ(m_pool->takeThread(), nullptr);
    engineDelete(a);
    engineDelete(b);
}

TEST_F(ThreadPoolTest, CleanupRemovesOnlyWorkersIdleForFiveSecondsAndNotEarlyInTheRun)
{
    m_clock.set(1000);
    m_pool->addThread(engineNew<FThread>(k_memObject));
    m_clock.set(29999);
    m_pool->cleanup(); // the first 30 s of the run
    EXPECT_EQ(m_pool->size(), 1u);

    m_clock.set(31000);
    m_pool->addThread(engineNew<FThread>(k_memObject));
    m_clock.set(34000);
    m_pool->addThread(engineNew<FThread>(k_memObject));
    m_clock.set(38999);
    m_pool->cleanup(); // added at 1000 and at 31000 are old enough; 34000 is not
    EXPECT_EQ(m_pool->size(), 1u);
    m_clock.set(39000);
    m_pool->cleanup();
    EXPECT_EQ(m_pool->size(), 0u);
}

TEST_F(ThreadPoolTest, AFailingTaskIsShownOnceAndUnwindsTheMainThread)
{
    auto* task = engineNew<ThrowingTask<RuntimeFailure>>(k_memObject);
    FThread* worker = task->worker();
    task->start();
    EXPECT_TRUE(eventually([&] { return task->state() == FThreadTask::k_done; }));

    EXPECT_EQ(m_box.texts(), std::vector<std::string>{"worker failed"});
    // Any later failure is not shown again.
    EXPECT_FALSE(m_application.platformUtilities()->showFatalMessage("later"));
    EXPECT_EQ(m_box.texts().size(), 1u);
    // The worker ends with its task, and a dead worker is deleted, not pooled.
    EXPECT_TRUE(eventually([&] { return !worker->isAlive(); }));
    EXPECT_TRUE(mainThreadUnwinds());
    engineDelete(task);
    EXPECT_EQ(m_pool->size(), 0u);
}

TEST_F(ThreadPoolTest, AnAlreadyTreatedFailureShowsNothingButStillUnwindsTheMainThread)
{
    auto* task = engineNew<ThrowingTask<FDebug::TreatedException>>(k_memObject);
    task->start();
    EXPECT_TRUE(eventually([&] { return task->state() == FThreadTask::k_done; }));
    EXPECT_TRUE(m_box.texts().empty());
    EXPECT_EQ(m_application.platformUtilities()->runState(), FUtilPlatform::k_running);
    EXPECT_TRUE(mainThreadUnwinds());
    EXPECT_FALSE(mainThreadUnwinds()); // the call ran once
    engineDelete(task);
}

// A worker ends after a failed task; a task handed to it afterwards never
// runs, and waiting for the worker to be idle must not wait for ever.
TEST_F(ThreadPoolTest, WaitingForAnEndedWorkerReturnsAtOnceEvenWithATaskHandedToIt)
{
    FThread worker;
    ThrowingTask<FDebug::TreatedException> failing;
    worker.give(&failing);
    ASSERT_TRUE(eventually([&] { return !worker.isAlive(); }));
    EXPECT_TRUE(mainThreadUnwinds());
    CountingTask late;
    worker.give(&late);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_TRUE(worker.waitIdle(FUtilPlatform::k_infinite, false));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
    EXPECT_EQ(late.runs.load(), 0);
}

TEST_F(ThreadPoolTest, ResettingARunningTaskIsAFailure)
{
    class BlockedTask : public FThreadTask
    {
    public:
        void main() override
        {
            started.release();
            FUtilPlatform::wait(&release, FUtilPlatform::k_infinite);
        }
        FSemaphore started;
        FSemaphore release;
    };
    auto* task = engineNew<BlockedTask>(k_memObject);
    task->start();
    ASSERT_TRUE(FUtilPlatform::wait(&task->started, 5000));
    EXPECT_THROW(task->reset(), FDebug::VellumcoreException);
    ASSERT_EQ(m_box.texts().size(), 1u);
    EXPECT_NE(m_box.texts()[0].find("reset(k_stateRunning)"), std::string::npos);
    task->release.release();
    // The failure put the run into its stopping state: the task's wait may
    // unwind instead; either way it ends.
    EXPECT_TRUE(eventually([&] { return task->state() == FThreadTask::k_done; }));
    engineDelete(task);
}

// A thread that cannot be started (out of threads here: a user with none
// left) is a failure report like any other, not a raw system error. Run in a
// child process, which gives up its threads for good.
TEST(ThreadStartTest, AThreadThatCannotStartIsAFailure)
{
    enum : int { k_reported = 10, k_rawError = 11, k_started = 12, k_noLimit = 13 };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A privileged user is not held to the limit: become an ordinary one.
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(k_noLimit);
        const rlimit none{0, 0};
        if (setrlimit(RLIMIT_NPROC, &none) != 0) _exit(k_noLimit);
        FApplication application;
        RecordingErrorHandler handler;
        try {
            FThread thread;
            _exit(k_started);
        } catch (const FDebug::VellumcoreException&) {
            const bool named =
                handler.texts.size() == 1 &&
                handler.texts[0].toUtf8().find("Could not start a thread (") != std::string::npos;
            _exit(named ? k_reported : k_rawError);
        } catch (...) {
            _exit(k_rawError);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), k_reported);
}

} // namespace

// The worker signals "available" when it wakes up for a task as well as when
// it is done; an idle wait started right after the hand-over must not take
// the first signal for the end of the task.
TEST_F(ThreadPoolTest, AnIdleWaitLastsUntilTheTaskIsDoneNotUntilTheWorkerWakes)
{
    class SlowTask : public FThreadTask
    {
    public:
        void main() override { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }
    };
    auto* task = engineNew<SlowTask>(k_memObject);
    FThread* worker = task->worker();
    ASSERT_NE(worker, nullptr);
    for (int round = 0; round < 50; ++round) {
        task->start();
        ASSERT_TRUE(worker->waitIdle(5000, false)) << "round " << round;
        EXPECT_TRUE(eventually([&] { return task->state() == FThreadTask::k_done; }));
        task->reset();
    }
    engineDelete(task);
    engineDelete(m_pool->takeThread());
}
