#include "core/FWaitable.h"

#include "core/FThreadAlert.h"

FWaitable::Result FWaitable::waitUntil(FThreadAlert& self, const Clock::time_point* deadline)
{
    FThreadAlert::WaitScope scope(self, *this);
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        if (takeLocked()) return Result::signalled;
        // The alert flag is set before the alerting thread takes m_lock to
        // notify, so a flag set after this test still ends the wait below.
        if (self.consumeAlert()) return Result::alerted;
        if (!deadline) {
            m_changed.wait(lock);
        } else if (m_changed.wait_until(lock, *deadline) == std::cv_status::timeout) {
            if (takeLocked()) return Result::signalled;
            return self.consumeAlert() ? Result::alerted : Result::timedOut;
        }
    }
}

bool FWaitable::tryTake()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return takeLocked();
}

void FWaitable::wakeWaiters()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_changed.notify_all();
}
