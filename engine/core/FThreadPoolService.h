#pragma once

#include "core/FAppListener.h"

class FThread;

// The thread pool's interface in service slot 41.
class FThreadPoolService : public FAppListener3
{
public:
    using FAppListener3::FAppListener3;

    // Keeps an idle worker for the next task that needs one.
    virtual void addThread(FThread* worker) = 0;
    // The most recently added worker, or null when the pool is empty.
    virtual FThread* takeThread() = 0;
    // Deletes workers that have been idle in the pool for a while.
    virtual void cleanup() = 0;
};
