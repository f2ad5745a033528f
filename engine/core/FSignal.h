#pragma once

// An auto-reset signal: set() lets exactly one wait() through (the one already
// waiting, or the next to come) and then the signal is clear again. Setting a
// signal that is already set changes nothing.

#include "core/FMutex.h"

#include <condition_variable>
#include <cstdint>

class FSignal;

// Routes unbounded signal waits through the platform's interruptible wait,
// which unwinds the waiting thread when the application stops. Installed
// process-wide; without one a wait simply blocks until the signal is set.
class FSignalWaiter
{
public:
    virtual ~FSignalWaiter() = default;
    // Must return only once `signal` was taken (signal.waitFor returned true),
    // or leave by an exception.
    virtual void waitSignal(FSignal& signal) = 0;
};

class FSignal : public FMutex
{
public:
    explicit FSignal(bool signalled = false);
    ~FSignal() override;

    // Sets the signal and wakes one waiter.
    void set();
    // Waits until the signal is set, then clears it (through the installed
    // FSignalWaiter when there is one).
    void wait();
    // Waits at most `milliseconds` (0: just looks); true when the signal was
    // taken (and is now clear again), false on time-out.
    bool waitFor(std::uint32_t milliseconds);
    // Waits without the installed waiter.
    void waitPlain();

    bool isSignalled();

    // Installs the process-wide waiter (null: none); returns the previous one.
    static FSignalWaiter* installWaiter(FSignalWaiter* waiter);

private:
    bool m_signalled;
    std::condition_variable_any m_condition;
};
