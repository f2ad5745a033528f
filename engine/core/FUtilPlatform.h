#pragma once

#include "core/FErrorHandler.h"
#include "core/FMutex.h"
#include "core/FRef.h"
#include "core/FSignal.h"

#include <atomic>
#include <cstdint>
#include <string>

class FString;
class FWaitable;

// The engine's waits, its fatal message and its registry read. The run state
// is the engine's shutdown switch: every wait of every thread goes through
// waitAlertable, which pauses while the fatal message is shown and then
// unwinds the waiting thread with FDebug::TreatedException.
class FUtilPlatform : public FMutex, public FErrorHandler, public FSignalWaiter
{
public:
    enum RunState : int32_t {
        k_running = 0,
        k_paused = 1,   // the fatal message is being shown
        k_stopping = 2, // the fatal message was closed
    };

    static constexpr uint32_t k_infinite = 0xFFFFFFFFu;
    static constexpr uint32_t k_sliceMs = 4096;
    static constexpr uint32_t k_pauseStepMs = 1000;
    // A registry value is read into a buffer of this many units, its end
    // marker included.
    static constexpr std::size_t k_registryBufferUnits = 264;
    static constexpr std::size_t k_registryPartUnits = 256;

    FUtilPlatform();
    ~FUtilPlatform() override;

    // Waits until `object` is signalled (true) or the time-out runs out
    // (false); a null object sleeps for the time-out. k_infinite: no time-out.
    // Calls queued for this thread run during the wait.
    bool waitAlertable(FWaitable* object, uint32_t timeoutMs);

    // The same through the live application's utilities; without an
    // application the wait only ends by its object or its time-out.
    static bool wait(FWaitable* object, uint32_t timeoutMs);

    // Waits for `object` at most `timeoutMs` without looking at the run state
    // or running queued calls (for destructors); an alert that arrives
    // meanwhile stays pending for the thread's next wait.
    static bool waitPlain(FWaitable& object, uint32_t timeoutMs);

    // Shows the first fatal failure of the run; true when this call handled
    // it, false when one had already been handled (nothing is shown then).
    bool showFatalMessage(const char* utf8Text);
    bool showFatalMessage(const FString& text);

    // The string value stored under `path` ("KEY\PATH\VALUE") in the
    // system's registry file, or a handle reading null when it is absent.
    FRefT<FString> readRegistryString(const FString& path);

    // Where the registry file is looked for (in the system's shared
    // configuration folder); empty when the system names none.
    static std::string registryFilePath();

    // Stores the process's resident and peak memory (KB) in the application.
    void memoryUse();

    RunState runState() const { return static_cast<RunState>(m_runState.load()); }
    uint32_t lastWakeMs() const { return m_lastWakeMs.load(); }

    // Error handler of every raised failure: the fatal message.
    bool handleError(const FString& text) override;
    // Signal waits go through the alertable wait as well.
    void waitSignal(FSignal& signal) override;

    // How a time-out is cut into wait slices (for the record and tests):
    // the number of full 4096 ms slices and the final slice (k_infinite
    // meaning an endless run of full slices).
    struct Slices
    {
        uint32_t fullSlices;
        uint32_t lastSliceMs;
    };
    static Slices slicesFor(uint32_t timeoutMs);

private:
    void setRunState(RunState state);
    // Looks at the run state before a slice: throws when stopping, sleeps while
    // paused; true when a queued call ran during the pause.
    bool honourRunState();

    std::atomic<int32_t> m_runState{k_running};
    std::atomic<uint32_t> m_lastWakeMs{0};
    FRef m_memoryUseCallback;
    FErrorHandler* m_previousHandler;
    FSignalWaiter* m_previousWaiter;
    bool m_ownsHandler = false;
    bool m_ownsWaiter = false;
};
