#pragma once

#include "core/FAppListener.h"
#include "core/FString.h"

#include <map>

class FAction;

// The process module's interface in service slot 23: the main thread's queue
// and the main loop.
class FProcessService : public FAppListener6
{
public:
    using Arguments = std::map<FString, FString>;

    using FAppListener6::FAppListener6;

    // Queues an action that runs on the main thread.
    virtual void post(FAction* action) = 0;
    // Requests the quit and closes the game window.
    virtual void requestQuitAndCloseWindow() = 0;
    virtual void requestQuit() = 0;
    // One step of the main loop; false once a quit was requested.
    virtual bool runOnce(int flag) = 0;
    // Runs queued actions when one is pending, without waiting.
    virtual void processActionsNow() = 0;
    // The parsed command line.
    virtual const Arguments& arguments() = 0;
};
