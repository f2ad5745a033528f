#pragma once

#include "asset/FAssetReleaseService.h"
#include "core/FMutex.h"
#include "core/FThreadedModule.h"

#include <map>

// Background housekeeping every 100 ms: lets the thread pool delete its idle
// workers and calls the idle listeners. Assets do not pass through it; they
// unload through their own user and pin counts.
//
// Listeners may be added and removed from any thread: the set has a lock,
// and listeners are called outside it, so a listener may change the set.
class FAssetReleaseModule : public FThreadedModule, public FAssetReleaseService
{
public:
    static constexpr int32_t k_periodMs = 100;
    static constexpr int k_priority = 3;

    FAssetReleaseModule();
    ~FAssetReleaseModule() override;

    int priority() const override { return k_priority; }
    void tick(uint32_t elapsedMs) override;

    void addListener(const Listener& listener) override;
    void removeListener(const Listener& listener) override;

    // Drops removed and dead listeners and calls the others.
    void sweepListeners();
    std::size_t listenerCount() const;

private:
    struct Entry
    {
        Listener handle;
        bool removed = false;
    };

    mutable FMutex m_lock;
    std::map<const FRefHolder*, Entry> m_idleListeners;
};
