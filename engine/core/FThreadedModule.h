#pragma once

#include "core/FActionQueue.h"
#include "core/FModule.h"
#include "core/FSemaphore.h"
#include "core/FThreadTask.h"

#include <cstdint>
#include <deque>

class FAction;

// A module with a loop of its own: a periodic tick and a queue of actions
// that other threads post to it. The loop runs on a pooled worker thread, or
// inline when the owner drives runOnce itself (the main loop).
class FThreadedModule : public FModule
{
public:
    static constexpr int32_t k_untimed = -1;
    // Entries run per batch: the smaller of this and the queue length, tested
    // after each action, so a batch runs at most one more than this.
    static constexpr std::size_t k_batchBudget = 5;

    explicit FThreadedModule(int32_t periodMs);
    // A loop still running on its worker is stopped and waited for first: it
    // uses the queue, the semaphores and the deferred list. (A derived module
    // whose loop uses its own members stops it in its own destructor.)
    ~FThreadedModule() override;

    // Starts the module's thread and returns once onLaunch has run there.
    void launch() override;
    // Lets the thread enter its loop (inline: runs start at once).
    void run() override;
    // Asks the loop to stop once it reaches the stop marker.
    void requestStop() override;
    bool waitStopped(int milliseconds) override;
    void main() override { threadMain(); }

    // Called once per period (untimed: once per wake-up) with the whole
    // periods elapsed.
    virtual void tick(uint32_t elapsedMs);

    // Any thread: queue an action (null: a wake marker).
    void postAction(FAction* action);
    // Any thread: replaces a queued action with the same call and tag.
    void postOrReplaceAction(FAction* action, int32_t tag);
    // Any thread: queue an action and wait until it has run; the action is
    // deleted afterwards.
    void postActionAndWait(FAction* action);
    // Arms the next tick and makes the loop run soon.
    void wakeUp();

    // One step of the loop; true when an entry was taken.
    bool runOnce();
    // Runs a batch of queued actions.
    void processActions(bool alreadyTaken);

    int32_t periodMs() const { return m_periodMs; }
    bool isInline() const { return m_task.isInline(); }
    FActionQueue& queue() { return m_queue; }

protected:
    // The loop: start, then steps until the stop marker.
    int threadMain();
    void setInline(bool isInline) { m_task.setInline(isInline); }
    FThreadTask& task() { return m_task; }

private:
    class Task final : public FThreadTask
    {
    public:
        explicit Task(FThreadedModule& owner) : m_owner(owner) {}
        void main() override { m_owner.taskRun(); }

    private:
        FThreadedModule& m_owner;
    };

    int taskRun();
    void startTask();
    void endWorker();

    FActionQueue m_queue;
    int32_t m_periodMs;
    uint32_t m_tickOrigin = 0;
    uint32_t m_ticksDone = 0;
    std::deque<FAction*> m_deferred;
    bool m_stopFlag = false;
    FSemaphore m_started;
    FSemaphore m_go;
    // Last, so that it is destroyed first, while everything its loop uses is
    // still there.
    Task m_task;
};
