#include "asset/FAssetReleaseModule.h"

#include "core/FApplication.h"
#include "core/FThreadPoolService.h"

#include <vector>

namespace {

FAppListener** releaseSlot()
{
    FApplication* application = FApplication::instance();
    return application != nullptr ? application->serviceSlot(k_slotAssetRelease) : nullptr;
}

} // namespace

FAssetReleaseModule::FAssetReleaseModule() : FThreadedModule(k_periodMs), FAssetReleaseService(releaseSlot())
{
}

FAssetReleaseModule::~FAssetReleaseModule()
{
    std::map<const FRefHolder*, Entry> listeners;
    FMutexLock lock(m_lock);
    listeners.swap(m_idleListeners);
}

void FAssetReleaseModule::tick(uint32_t)
{
    // The engine's threads have no idle priority of their own on this
    // platform; the long period keeps the sweep out of the way instead.
    if (auto* pool = findService<FThreadPoolService>(k_slotThreadPool)) pool->cleanup();
    sweepListeners();
}

void FAssetReleaseModule::addListener(const Listener& listener)
{
    if (listener.isNull()) return;
    FMutexLock lock(m_lock);
    Entry& entry = m_idleListeners[listener.holder()];
    entry.handle = listener;
    entry.removed = false;
}

void FAssetReleaseModule::removeListener(const Listener& listener)
{
    FMutexLock lock(m_lock);
    auto it = m_idleListeners.find(listener.holder());
    if (it != m_idleListeners.end()) it->second.removed = true;
}

void FAssetReleaseModule::sweepListeners()
{
    std::vector<Listener> live;
    std::vector<Listener> dropped; // released after the lock
    {
        FMutexLock lock(m_lock);
        for (auto it = m_idleListeners.begin(); it != m_idleListeners.end();) {
            if (it->second.removed || it->second.handle.get() == nullptr) {
                dropped.push_back(std::move(it->second.handle));
                it = m_idleListeners.erase(it);
                continue;
            }
            live.push_back(it->second.handle);
            ++it;
        }
    }
    for (const Listener& listener : live) {
        {
            // Removed meanwhile by another listener: not called.
            FMutexLock lock(m_lock);
            auto it = m_idleListeners.find(listener.holder());
            if (it == m_idleListeners.end() || it->second.removed) continue;
        }
        if (FCallbackCell<void()>* cell = listener.get(); cell != nullptr && cell->delegate != nullptr)
            cell->delegate->invoke();
    }
}

std::size_t FAssetReleaseModule::listenerCount() const
{
    FMutexLock lock(m_lock);
    return m_idleListeners.size();
}
