#pragma once

#include "core/FModule.h"
#include "core/FMutex.h"
#include "core/FThreadPoolService.h"

#include <cstdint>
#include <deque>

// Keeps idle worker threads for the next tasks (last in, first out) and
// deletes those that stay unused.
class FThreadPoolModule : public FModule
{
public:
    static constexpr int k_priority = 2;
    // No clean-up during the first seconds of the run, and only of workers
    // idle for a while.
    static constexpr uint32_t k_cleanupGraceMs = 30000;
    static constexpr uint32_t k_idleLimitMs = 5000;

    FThreadPoolModule();
    // Deletes every pooled worker.
    ~FThreadPoolModule() override;

    int priority() const override { return k_priority; }

    void addThread(FThread* worker);
    FThread* takeThread();
    void cleanup();

    std::size_t size();

private:
    class Service final : public FThreadPoolService
    {
    public:
        explicit Service(FThreadPoolModule& owner);
        void addThread(FThread* worker) override { m_owner.addThread(worker); }
        FThread* takeThread() override { return m_owner.takeThread(); }
        void cleanup() override { m_owner.cleanup(); }

    private:
        FThreadPoolModule& m_owner;
    };

    struct Entry
    {
        FThread* worker;
        uint32_t addedMs;
    };

    Service m_service;
    std::deque<Entry> m_pool;
    FMutex m_lock;
};
