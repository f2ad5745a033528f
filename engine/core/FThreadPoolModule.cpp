#include "core/FThreadPoolModule.h"

#include "core/FApplication.h"
#include "core/FClockService.h"
#include "core/FLogStream.h"
#include "core/FThread.h"

FThreadPoolModule::Service::Service(FThreadPoolModule& owner)
    : FThreadPoolService(findServiceSlot(k_slotThreadPool)), m_owner(owner)
{
}

FThreadPoolModule::FThreadPoolModule() : m_service(*this) {}

FThreadPoolModule::~FThreadPoolModule()
{
    FMutexLock lock(m_lock);
    for (Entry& entry : m_pool)
        engineDelete(entry.worker);
    m_pool.clear();
}

void FThreadPoolModule::addThread(FThread* worker)
{
    FMutexLock lock(m_lock);
    m_pool.push_back(Entry{worker, FClockService::nowOrZero()});
    ZIBBO_LOG(k_logThreads, false) << "Added thread to pool: " << m_pool.size() << " in deque.";
}

FThread* FThreadPoolModule::takeThread()
{
    FMutexLock lock(m_lock);
    if (m_pool.empty()) {
        ZIBBO_LOG(k_logThreads, false) << "No thread in thread pool.";
        return nullptr;
    }
    FThread* worker = m_pool.back().worker;
    m_pool.pop_back();
    ZIBBO_LOG(k_logThreads, false) << "Removed thread from pool: " << m_pool.size() << " now in deque.";
    return worker;
}

void FThreadPoolModule::cleanup()
{
    FMutexLock lock(m_lock);
    const uint32_t now = FClockService::nowOrZero();
    if (now < k_cleanupGraceMs || m_pool.empty()) return;
    const uint32_t limit = now - k_idleLimitMs;
    while (!m_pool.empty() && m_pool.front().addedMs <= limit) {
        engineDelete(m_pool.front().worker);
        m_pool.pop_front();
        ZIBBO_LOG(k_logThreads, false) << "Cleanup removed a thread: " << m_pool.size() << " now in deque.";
    }
}

std::size_t FThreadPoolModule::size()
{
    FMutexLock lock(m_lock);
    return m_pool.size();
}
