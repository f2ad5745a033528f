#pragma once

// The UI module's application-event interface (service slot 0). The window
// module calls it on the main thread; each call only queues the event for the
// UI thread and returns at once.

#include "core/FAppListener.h"
#include "core/FString.h"

class FAppEventListener : public FAppListener13
{
public:
    using FAppListener13::FAppListener13;

    virtual void appActivated() = 0;
    // The player asked to close the window; the UI module decides how the run ends.
    virtual void closeRequested() = 0;
    virtual void appDeactivated() = 0;
    // `reason` is logged by the UI module ("minimizeWindow: " + reason).
    virtual void minimizeWindow(const FString& reason) = 0;
    virtual void restoreWindow(const FString& reason) = 0;
    // The command line of a second copy of the game that was started meanwhile.
    virtual void commandLineReceived(const FRefT<FString>& commandLine) = 0;
    virtual void systemSuspending() = 0;
};
