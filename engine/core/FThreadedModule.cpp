#include "core/FThreadedModule.h"

#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FClockService.h"
#include "core/FLogStream.h"
#include "core/FThread.h"
#include "core/FUtilPlatform.h"

#include <algorithm>

FThreadedModule::FThreadedModule(int32_t periodMs) : m_periodMs(periodMs), m_task(*this)
{
    clearState(k_taskStartedBefore | k_tickArmed);
}

FThreadedModule::~FThreadedModule()
{
    endWorker();
    for (FAction* action : m_deferred)
        engineDelete(action);
}

void FThreadedModule::endWorker()
{
    if (isInline() || m_task.state() != FThreadTask::k_running) return;
    FThread* worker = m_task.worker();
    if (worker == nullptr || !worker->isAlive()) return;
    // A launched loop that was never let run waits for the go first.
    m_go.release();
    requestStop();
    // Freeing what the loop uses under it would corrupt memory; a stuck loop
    // keeps the shutdown waiting instead, and says so.
    while (!worker->waitIdle(FThread::k_endPatienceMs, false)) {
        ZIBBO_LOG(k_logDev, false) << "Threaded module " << static_cast<const void*>(this)
                                   << " still runs; waiting for it to stop";
    }
}

void FThreadedModule::startTask()
{
    if (hasState(k_taskStartedBefore))
        m_task.reset();
    else
        setState(k_taskStartedBefore);
    m_task.start();
}

void FThreadedModule::launch()
{
    if (isInline()) {
        onLaunch();
        return;
    }
    startTask();
    FUtilPlatform::wait(&m_started, FUtilPlatform::k_infinite);
}

int FThreadedModule::taskRun()
{
    if (!isInline()) {
        onLaunch();
        m_started.release();
        FUtilPlatform::wait(&m_go, FUtilPlatform::k_infinite);
    }
    return threadMain();
}

void FThreadedModule::run()
{
    if (!isInline()) {
        m_go.release();
        return;
    }
    startTask();
}

void FThreadedModule::requestStop()
{
    setState(k_stopRequested);
    m_queue.push(FActionQueue::Entry{FActionQueue::Entry::k_stop, nullptr});
}

bool FThreadedModule::waitStopped(int milliseconds)
{
    if (m_task.state() != FThreadTask::k_running) return true;
    if (isInline()) return false;
    FThread* worker = m_task.worker();
    return worker ? worker->waitIdle(static_cast<uint32_t>(milliseconds)) : false;
}

void FThreadedModule::tick(uint32_t) {}

int FThreadedModule::threadMain()
{
    ZIBBO_LOG(k_logModule, false) << "Running Threaded Module, FThreadedModule="
                                  << static_cast<const void*>(this);
    m_stopFlag = false;
    start();
    if (!isInline()) {
        while (!m_stopFlag)
            runOnce();
    }
    return 0;
}

void FThreadedModule::postAction(FAction* action)
{
    if (action)
        m_queue.push(FActionQueue::Entry{FActionQueue::Entry::k_action, action});
    else
        m_queue.push(FActionQueue::Entry{FActionQueue::Entry::k_wake, nullptr});
}

void FThreadedModule::postOrReplaceAction(FAction* action, int32_t tag)
{
    action->setTag(tag);
    m_queue.pushOrReplace(action);
}

void FThreadedModule::postActionAndWait(FAction* action)
{
    auto* waiter = engineNew<FSemaphore>(k_memObject);
    action->setWaiter(waiter);
    postAction(action);
    try {
        FUtilPlatform::wait(waiter, FUtilPlatform::k_infinite);
    } catch (...) {
        FAction::abandonWaited(action);
        throw;
    }
    engineDelete(action);
}

void FThreadedModule::wakeUp()
{
    setState(k_tickArmed);
    m_queue.push(FActionQueue::Entry{FActionQueue::Entry::k_wake, nullptr});
}

bool FThreadedModule::runOnce()
{
    const bool armed = hasState(k_tickArmed);
    uint32_t timeout = FUtilPlatform::k_infinite;
    if (armed && m_periodMs != k_untimed) {
        const uint32_t now = FClockService::nowOrZero();
        const uint32_t period = static_cast<uint32_t>(m_periodMs);
        if (m_tickOrigin == 0) {
            m_tickOrigin = now;
            timeout = period;
        } else {
            const uint32_t x = now - m_tickOrigin - m_ticksDone * period;
            timeout = x < period ? period - x + 1 : 0;
        }
    }

    const bool signalled = FUtilPlatform::wait(&m_queue.semaphore(), timeout);

    if (armed) {
        const uint32_t d = FClockService::nowOrZero() - m_tickOrigin;
        uint32_t elapsed;
        if (m_periodMs != k_untimed) {
            const uint32_t period = static_cast<uint32_t>(m_periodMs);
            const uint32_t n = d / period;
            elapsed = (n - m_ticksDone) * period;
            m_ticksDone = n;
        } else {
            elapsed = d - m_ticksDone;
            m_ticksDone = d;
        }
        if (static_cast<int32_t>(elapsed) > 0) {
            clearState(k_tickArmed);
            tick(elapsed);
        }
    }

    if (signalled) processActions(true);
    return signalled;
}

void FThreadedModule::processActions(bool alreadyTaken)
{
    if (!alreadyTaken && !m_queue.semaphore().tryTake()) return;
    std::size_t budget = std::min(k_batchBudget, m_queue.size());
    for (;;) {
        const FActionQueue::Entry entry = m_queue.popFront();
        if (entry.kind == FActionQueue::Entry::k_wake) return;
        if (entry.kind == FActionQueue::Entry::k_stop) {
            ZIBBO_LOG(k_logModule, false)
                << "Processing Stop action,FThreadedModule=" << static_cast<const void*>(this);
            m_stopFlag = true;
            stop();
            return;
        }
        FAction* action = entry.action;
        action->execute();
        if (action->takeRequeue()) {
            m_deferred.push_back(action);
        } else {
            if (action->waiter())
                FAction::finishWaited(action);
            else
                engineDelete(action);
            if (!m_deferred.empty()) m_queue.pushFront(m_deferred);
        }
        if (budget == 0) return;
        --budget;
        if (!m_queue.semaphore().tryTake()) return;
    }
}
