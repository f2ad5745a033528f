#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class FThreadAlert;

// Something a thread can wait on: a lock, a condition variable and a test
// that consumes the object's signalled state. Every engine wait goes through
// waitFor, so that another thread can interrupt it (FThreadAlert).
class FWaitable
{
public:
    enum class Result {
        signalled, // the object was taken
        timedOut,  // the time ran out first
        alerted,   // the waiting thread was alerted (a queued call, a run-state change)
    };

    using Clock = std::chrono::steady_clock;

    FWaitable() = default;
    FWaitable(const FWaitable&) = delete;
    FWaitable& operator=(const FWaitable&) = delete;
    virtual ~FWaitable() = default;

    // Waits until the object is signalled, the deadline passes or `self` (the
    // calling thread's alert record) is alerted. Without a deadline the wait
    // has no time-out.
    Result waitUntil(FThreadAlert& self, const Clock::time_point* deadline);

    // Takes the object without waiting; true when it was signalled.
    bool tryTake();

    // Wakes every thread waiting on the object so that it looks again.
    void wakeWaiters();

protected:
    // Called under m_lock: consume the signalled state when there is one.
    virtual bool takeLocked() = 0;

    // Called by a subclass after it changed its state under m_lock.
    void notifyLocked() { m_changed.notify_all(); }

    std::mutex m_lock;

private:
    std::condition_variable m_changed;
};
