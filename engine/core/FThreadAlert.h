#pragma once

#include "core/FWaitable.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// One per engine thread: lets other threads interrupt the thread's current
// wait, either to make it look at the run state again or to run a queued call
// on it (the way a failing worker makes the main thread unwind).
class FThreadAlert
{
public:
    FThreadAlert();
    ~FThreadAlert();
    FThreadAlert(const FThreadAlert&) = delete;
    FThreadAlert& operator=(const FThreadAlert&) = delete;

    // The calling thread's record, made on first use. A copy of the handle
    // keeps the record valid after the thread has ended.
    static std::shared_ptr<FThreadAlert> current();

    // Queues a call that the owning thread runs at its next wait (or at once
    // when it is waiting now).
    void queueCall(std::function<void()> call);

    // Interrupts the owning thread's current (or next) wait.
    void alert();

    // Interrupts the waits of every thread that has a record.
    static void alertAll();

    // Owner only: true when the thread was alerted since the last call.
    bool consumeAlert() { return m_alerted.exchange(false); }

    // Owner only: runs the queued calls in order; true when one ran. A call
    // that throws leaves its exception to the caller; later calls stay queued.
    bool runQueuedCalls();

    // Owner only: sleeps until the deadline (none: until alerted) or until
    // the thread is alerted; true when alerted.
    bool sleepUntil(const FWaitable::Clock::time_point* deadline);

    // Marks the object the owner is about to wait on, so that an alert can
    // wake it.
    class WaitScope
    {
    public:
        WaitScope(FThreadAlert& alert, FWaitable& object);
        ~WaitScope();
        WaitScope(const WaitScope&) = delete;
        WaitScope& operator=(const WaitScope&) = delete;

    private:
        FThreadAlert& m_alert;
    };

private:
    class Sleeper : public FWaitable
    {
    protected:
        bool takeLocked() override { return false; }
    };

    std::mutex m_lock; // taken before the lock of the object waited on
    std::deque<std::function<void()>> m_calls;
    std::atomic<bool> m_alerted{false};
    FWaitable* m_waitingOn = nullptr;
    Sleeper m_sleeper;
};
