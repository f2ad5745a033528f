#pragma once

#include "core/FMutex.h"
#include "core/FSemaphore.h"

#include <cstddef>
#include <deque>

class FAction;

// The queue of a threaded module: a locked deque of entries and a semaphore
// released once for every entry pushed, so that its count is the number of
// entries not yet taken.
class FActionQueue
{
public:
    struct Entry
    {
        enum Kind {
            k_wake, // ends the current batch
            k_stop, // stops the module's loop
            k_action,
        };
        Kind kind = k_wake;
        FAction* action = nullptr;
    };

    FActionQueue() = default;
    // Entries still queued are dropped with the queue.
    ~FActionQueue();
    FActionQueue(const FActionQueue&) = delete;
    FActionQueue& operator=(const FActionQueue&) = delete;

    void push(const Entry& entry);

    // Replaces the first queued action that makes the same call with the same
    // tag, in place (the count stays), or appends it. The replaced action's
    // waiter is signalled when it has one, otherwise the action is deleted.
    void pushOrReplace(FAction* action);

    // Moves the actions to the front, the first of them first, counts each
    // of them and empties `actions`.
    void pushFront(std::deque<FAction*>& actions);

    // Removes the front entry; the caller has taken the semaphore for it.
    Entry popFront();

    std::size_t size();

    FSemaphore& semaphore() { return m_count; }

private:
    FMutex m_lock;
    std::deque<Entry> m_entries;
    FSemaphore m_count;
};
