#include "core/FSignal.h"

#include <atomic>
#include <chrono>

namespace {

std::atomic<FSignalWaiter*> s_waiter{nullptr};

} // namespace

FSignal::FSignal(bool signalled) : m_signalled(signalled) {}

FSignal::~FSignal() = default;

void FSignal::set()
{
    std::unique_lock<std::recursive_mutex> lock(m_mutex);
    m_signalled = true;
    m_condition.notify_one();
}

void FSignal::wait()
{
    if (FSignalWaiter* waiter = s_waiter.load(std::memory_order_acquire)) {
        waiter->waitSignal(*this);
        return;
    }
    waitPlain();
}

void FSignal::waitPlain()
{
    std::unique_lock<std::recursive_mutex> lock(m_mutex);
    m_condition.wait(lock, [this] { return m_signalled; });
    // Taking the signal clears it: one set lets exactly one wait through, so
    // nothing accumulates however often the signal is set and taken.
    m_signalled = false;
}

bool FSignal::waitFor(std::uint32_t milliseconds)
{
    std::unique_lock<std::recursive_mutex> lock(m_mutex);
    if (!m_condition.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return m_signalled; })) {
        return false;
    }
    m_signalled = false;
    return true;
}

bool FSignal::isSignalled()
{
    std::unique_lock<std::recursive_mutex> lock(m_mutex);
    return m_signalled;
}

FSignalWaiter* FSignal::installWaiter(FSignalWaiter* waiter)
{
    return s_waiter.exchange(waiter, std::memory_order_acq_rel);
}
