#include "core/FThreadTask.h"

#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FThread.h"
#include "core/FThreadAlert.h"
#include "core/FThreadPoolService.h"
#include "core/FUtilPlatform.h"

#include <exception>

namespace {

void throwTreatedException()
{
    throw FDebug::TreatedException();
}

void showFatal(const char* text)
{
    FApplication* application = FApplication::instance();
    if (application && application->platformUtilities())
        application->platformUtilities()->showFatalMessage(text);
}

} // namespace

FThreadTask::FThreadTask()
{
    reset();
}

FThreadTask::FThreadTask(WorkerSource source) : m_source(source)
{
    reset();
}

FThreadTask::~FThreadTask()
{
    if (state() == k_running && !m_isInline && m_worker && m_worker->isAlive() &&
        !m_worker->waitIdle(FThread::k_endPatienceMs, false)) {
        // The worker cannot be stopped from outside: it is left to end on its own.
        ZIBBO_LOG(k_logDev, false) << "Lost patience on thread " << m_worker->id() << ": left running";
        FMutexLock lock(m_lock);
        m_worker = nullptr;
        return;
    }
    FMutexLock lock(m_lock);
    releaseWorker();
}

void FThreadTask::main() {}

void FThreadTask::run()
{
    main();
}

void FThreadTask::releaseWorker()
{
    if (!m_worker) return;
    auto* pool = findService<FThreadPoolService>(k_slotThreadPool);
    if (pool && m_worker->isIdleAndAlive())
        pool->addThread(m_worker);
    else
        engineDelete(m_worker);
    m_worker = nullptr;
}

void FThreadTask::reset()
{
    {
        FMutexLock lock(m_lock);
        if (state() == k_running) ZIBBO_FAIL(msgIllegalOperation, "reset(k_stateRunning)");
        if (state() == k_done) {
            releaseWorker();
            m_state = k_idle;
        }
    }
    // A task that still holds its worker keeps it.
    if (m_isInline || m_worker) return;
    FThread* worker = nullptr;
    if (auto* pool = findService<FThreadPoolService>(k_slotThreadPool)) worker = pool->takeThread();
    if (!worker && m_source == k_pooledOrNew) worker = engineNew<FThread>(k_memObject);
    FMutexLock lock(m_lock);
    m_worker = worker;
}

void FThreadTask::start()
{
    {
        FMutexLock lock(m_lock);
        // A task without a worker would stay running with nothing to run it.
        if (state() != k_idle || (!m_isInline && !m_worker)) return;
        m_state = k_running;
    }
    if (m_isInline)
        execute();
    else if (m_worker)
        m_worker->give(this);
}

int FThreadTask::execute()
{
    int result = 0;
    try {
        run();
    } catch (const FDebug::TreatedException&) {
        result = 1;
    } catch (const FDebug::VellumcoreException&) {
        result = 1;
    } catch (const std::exception& failure) {
        showFatal(failure.what());
        result = 1;
    } catch (...) {
        showFatal("Unknown exception");
        result = 1;
    }
    if (result != 0) {
        // The main thread unwinds at its next wait, so that the program shuts
        // down in order rather than going on without this thread.
        if (FApplication* application = FApplication::instance()) {
            if (auto mainThread = application->mainThread()) mainThread->queueCall(&throwTreatedException);
        }
    }
    FMutexLock lock(m_lock);
    m_state = k_done;
    return result;
}
