#include "core/FClockModule.h"

#include "core/FApplication.h"
#include "core/FThread.h"
#include "core/FUtilPlatform.h"

#include <chrono>

namespace {

uint64_t steadyMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int64_t systemSeconds()
{
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace

FClockModule::Service::Service(FClockModule& owner)
    : FClockService(findServiceSlot(k_slotClock)), m_owner(owner)
{
}

int FClockModule::Service::adjust(int delta)
{
    m_owner.m_adjustB -= delta;
    return delta;
}

FClockModule::FClockModule() : FClockModule(&steadyMs, &systemSeconds) {}

FClockModule::FClockModule(TimeSource monotonicMs, WallSource wallSeconds)
    : m_service(*this), m_monotonicMs(std::move(monotonicMs)), m_wallSeconds(std::move(wallSeconds)),
      m_startMs(m_monotonicMs()), m_task(*this)
{
}

FClockModule::~FClockModule()
{
    // The thread reads the time sources and the semaphores until it ends.
    FThread* worker = m_task.worker();
    if (m_task.state() == FThreadTask::k_running && worker != nullptr) {
        m_stopRequest.release();
        worker->waitIdle(FUtilPlatform::k_infinite, false);
    }
}

void FClockModule::refresh()
{
    m_nowMs.store(static_cast<uint32_t>(m_monotonicMs() - m_startMs), std::memory_order_relaxed);
}

void FClockModule::run()
{
    m_task.start();
}

void FClockModule::main()
{
    start();
    while (!FUtilPlatform::wait(&m_stopRequest, k_refreshMs))
        refresh();
    m_stopped.release();
}

void FClockModule::stop()
{
    FModule::stop();
    m_stopRequest.release();
    // Only a clock thread that was started answers.
    if (m_task.state() == FThreadTask::k_running) FUtilPlatform::wait(&m_stopped, FUtilPlatform::k_infinite);
}
