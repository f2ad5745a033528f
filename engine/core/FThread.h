#pragma once

#include "core/FSemaphore.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

class FThreadTask;

// A pooled worker thread: it waits for a task, runs it, and waits again,
// until it is woken without a task or its task fails.
class FThread
{
public:
    // How long the destructor waits for the thread to end before it gives up
    // on it and leaves it running on its own.
    static constexpr uint32_t k_endPatienceMs = 5000;

    FThread();
    // Ends the thread cooperatively (wakes it without a task). A thread that
    // does not end in time is logged and left detached.
    virtual ~FThread();
    FThread(const FThread&) = delete;
    FThread& operator=(const FThread&) = delete;

    // Hands a task to the waiting thread.
    void give(FThreadTask* task);

    // True when the thread has no task (now, or within `milliseconds`). An
    // alertable wait may unwind when the application stops; a plain one
    // (for destructors) does not.
    bool waitIdle(uint32_t milliseconds, bool alertable = true);
    // True when the thread still runs and is idle within 10 ms (plain wait).
    bool isIdleAndAlive();
    bool isAlive() const { return m_shared->alive.load(); }
    // True when called on this worker thread.
    bool isCurrent() const { return std::this_thread::get_id() == m_thread.get_id(); }

    uint32_t id() const { return m_shared->id; }

private:
    // What the thread itself uses; it outlives this object when the thread
    // is left running.
    struct Shared
    {
        uint32_t id = 0;
        FSemaphore wake;
        FSemaphore available;
        std::atomic<FThreadTask*> task{nullptr};
        std::atomic<bool> alive{true};
        FSemaphore ended;
    };

    static void threadProc(std::shared_ptr<Shared> shared);
    static int threadBody(Shared& shared);

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};
