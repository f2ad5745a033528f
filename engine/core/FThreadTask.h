#pragma once

#include "core/FMutex.h"

#include <atomic>
#include <cstdint>

class FThread;

// A unit of work run once on a pooled worker thread (or, inline, on the
// thread that starts it). execute is where a failing thread is caught: the
// failure is shown once and the main thread is made to unwind.
class FThreadTask
{
public:
    enum State : int32_t {
        k_idle = 0,
        k_running = 1,
        k_done = 2,
    };

    // Where a task's worker comes from.
    enum WorkerSource : int32_t {
        k_pooledOrNew = 0, // an idle worker from the pool, or a new thread
        k_pooledOnly = 1,  // an idle worker from the pool or none (the task has another way)
    };

    // Takes a worker from the pool (or makes one).
    FThreadTask();
    // Takes a worker as `source` says; without one, start does nothing.
    explicit FThreadTask(WorkerSource source);
    // Gives the worker back to the pool when it is idle and alive.
    virtual ~FThreadTask();
    FThreadTask(const FThreadTask&) = delete;
    FThreadTask& operator=(const FThreadTask&) = delete;

    // The work; empty in the base.
    virtual void main();
    // Calls main.
    virtual void run();

    // Makes a done task idle again with a worker; a failure on a running task.
    void reset();
    // Runs the task once: on its worker, or at once when inline. Starting a
    // task that is not idle, or that has neither a worker nor runs inline,
    // does nothing.
    void start();
    // Runs the task on the calling thread; 0 when it ended normally, 1 when
    // it failed.
    int execute();

    State state() const { return static_cast<State>(m_state.load()); }
    bool isInline() const { return m_isInline; }
    void setInline(bool isInline) { m_isInline = isInline; }
    FThread* worker() const { return m_worker; }

protected:
    FMutex m_lock;

private:
    // Gives the worker back to the pool or deletes it.
    void releaseWorker();

    std::atomic<int32_t> m_state{k_idle};
    bool m_isInline = false;
    WorkerSource m_source = k_pooledOrNew;
    FThread* m_worker = nullptr;
};
