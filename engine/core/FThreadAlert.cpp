#include "core/FThreadAlert.h"

#include <algorithm>
#include <vector>

namespace {

// Every live record, so that a run-state change reaches all waiting threads
// at once. Taken before any record's own lock.
std::mutex& registryLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<FThreadAlert*>& registry()
{
    static std::vector<FThreadAlert*> records;
    return records;
}

} // namespace

FThreadAlert::FThreadAlert()
{
    std::lock_guard<std::mutex> lock(registryLock());
    registry().push_back(this);
}

FThreadAlert::~FThreadAlert()
{
    std::lock_guard<std::mutex> lock(registryLock());
    auto& records = registry();
    records.erase(std::remove(records.begin(), records.end(), this), records.end());
}

std::shared_ptr<FThreadAlert> FThreadAlert::current()
{
    thread_local std::shared_ptr<FThreadAlert> t_record = std::make_shared<FThreadAlert>();
    return t_record;
}

void FThreadAlert::queueCall(std::function<void()> call)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_calls.push_back(std::move(call));
    m_alerted = true;
    if (m_waitingOn) m_waitingOn->wakeWaiters();
}

void FThreadAlert::alert()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_alerted = true;
    if (m_waitingOn) m_waitingOn->wakeWaiters();
}

void FThreadAlert::alertAll()
{
    std::lock_guard<std::mutex> lock(registryLock());
    for (FThreadAlert* record : registry())
        record->alert();
}

bool FThreadAlert::runQueuedCalls()
{
    bool ran = false;
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_calls.empty()) return ran;
            call = std::move(m_calls.front());
            m_calls.pop_front();
        }
        ran = true;
        call();
    }
}

bool FThreadAlert::sleepUntil(const FWaitable::Clock::time_point* deadline)
{
    return m_sleeper.waitUntil(*this, deadline) == FWaitable::Result::alerted;
}

FThreadAlert::WaitScope::WaitScope(FThreadAlert& alert, FWaitable& object) : m_alert(alert)
{
    std::lock_guard<std::mutex> lock(m_alert.m_lock);
    m_alert.m_waitingOn = &object;
}

FThreadAlert::WaitScope::~WaitScope()
{
    std::lock_guard<std::mutex> lock(m_alert.m_lock);
    m_alert.m_waitingOn = nullptr;
}
