#pragma once

#include "core/FClockService.h"
#include "core/FModule.h"
#include "core/FSemaphore.h"
#include "core/FThreadTask.h"

#include <atomic>
#include <cstdint>
#include <functional>

// The engine's millisecond clock: one unsigned 32-bit counter of the
// milliseconds since the module was created, refreshed every millisecond by a
// thread of its own and read without a lock.
class FClockModule : public FModule
{
public:
    static constexpr int k_priority = 1;
    static constexpr uint32_t k_refreshMs = 1;

    // Milliseconds of a monotonic time source; the default is the steady
    // clock. Tests give their own.
    using TimeSource = std::function<uint64_t()>;
    using WallSource = std::function<int64_t()>;

    FClockModule();
    FClockModule(TimeSource monotonicMs, WallSource wallSeconds);
    // Stops the clock thread first when it still runs.
    ~FClockModule() override;

    // Starts the clock thread.
    void run() override;
    // The clock loop.
    void main() override;
    // Stops the clock thread and returns once it has ended.
    void stop() override;
    int priority() const override { return k_priority; }

    uint32_t now() const { return m_nowMs.load(std::memory_order_relaxed); }
    int64_t wallTime() const { return m_wallSeconds(); }
    // Reads the time source once more (what the clock thread does each
    // millisecond).
    void refresh();

private:
    class Service final : public FClockService
    {
    public:
        explicit Service(FClockModule& owner);
        uint32_t now() override { return m_owner.now(); }
        int64_t wallTime() override { return m_owner.wallTime(); }
        int adjust(int delta) override;

    private:
        FClockModule& m_owner;
    };

    class Task final : public FThreadTask
    {
    public:
        explicit Task(FClockModule& owner) : m_owner(owner) {}
        void main() override { m_owner.main(); }

    private:
        FClockModule& m_owner;
    };

    Service m_service;
    TimeSource m_monotonicMs;
    WallSource m_wallSeconds;
    uint64_t m_startMs;
    std::atomic<uint32_t> m_nowMs{0};
    int32_t m_adjustA = 0;
    int32_t m_adjustB = 0;
    FSemaphore m_stopRequest;
    FSemaphore m_stopped;
    // Last, so that it is destroyed first.
    Task m_task;
};
