#include "core/FThread.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FThreadTask.h"
#include "core/FUtilPlatform.h"

#include <chrono>
#include <cstdio>
#include <system_error>

namespace {

std::atomic<uint32_t> s_nextThreadId{1};

std::string hexText(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%X", value);
    return text;
}

} // namespace

FThread::FThread() : m_shared(std::make_shared<Shared>())
{
    m_shared->id = s_nextThreadId++;
    try {
        m_thread = std::thread(&FThread::threadProc, m_shared);
    } catch (const std::system_error& error) {
        // Out of threads or memory: a failure like any other, not an exception
        // that passes the failure reports by.
        ZIBBO_FAIL(msgSystemError, "Could not start a thread (" << error.what() << ")");
    }
    ZIBBO_LOG(k_logThreads, false) << "Created thread ID " << hexText(m_shared->id);
}

FThread::~FThread()
{
    ZIBBO_LOG(k_logThreads, false) << "Destroying thread ID " << hexText(m_shared->id);
    if (m_shared->alive.load()) m_shared->wake.release();
    // A destructor must not unwind, so this wait lets neither the run state
    // nor queued calls interrupt it.
    if (FUtilPlatform::waitPlain(m_shared->ended, k_endPatienceMs)) {
        m_thread.join();
        return;
    }
    ZIBBO_LOG(k_logDev, false) << "Lost patience on thread " << hexText(m_shared->id) << ": left running";
    m_thread.detach();
}

void FThread::give(FThreadTask* task)
{
    m_shared->task = task;
    m_shared->wake.release();
}

void FThread::threadProc(std::shared_ptr<Shared> shared)
{
    try {
        threadBody(*shared);
    } catch (...) {
        // The thread ends; its result does not travel further.
    }
    shared->alive = false;
    shared->available.release();
    shared->ended.release();
}

int FThread::threadBody(Shared& shared)
{
    int result = 0;
    do {
        ZIBBO_LOG(k_logThreads, false) << "Thread ID " << hexText(shared.id) << " is available";
        shared.available.release();
        FUtilPlatform::wait(&shared.wake, FUtilPlatform::k_infinite);
        shared.available.release();
        FThreadTask* task = shared.task.load();
        if (!task) break;
        ZIBBO_LOG(k_logThreads, false) << "Thread ID " << hexText(shared.id) << " is executing";
        result = task->execute();
        shared.task = nullptr;
    } while (result == 0);
    return result;
}

bool FThread::waitIdle(uint32_t milliseconds, bool alertable)
{
    while (m_shared->available.tryTake()) {
    }
    // The worker also signals "available" when it wakes up to run a task, so
    // one signal does not mean it is idle: keep waiting until the task is done
    // or the time is up.
    const auto start = std::chrono::steady_clock::now();
    // A thread that has ended runs nothing more, even with a task handed to
    // it: waiting for it would never end (a shutdown waited so for ever).
    while (m_shared->task.load() && m_shared->alive.load()) {
        uint32_t remaining = milliseconds;
        if (milliseconds != FUtilPlatform::k_infinite) {
            const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count();
            if (spent >= milliseconds) return false;
            remaining = milliseconds - static_cast<uint32_t>(spent);
        }
        const bool woke = alertable ? FUtilPlatform::wait(&m_shared->available, remaining)
                                    : FUtilPlatform::waitPlain(m_shared->available, remaining);
        if (!woke) return !m_shared->task.load() || !m_shared->alive.load();
    }
    return true;
}

bool FThread::isIdleAndAlive()
{
    return m_shared->alive.load() && waitIdle(10, false);
}
