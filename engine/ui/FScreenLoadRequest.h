#pragma once

#include "core/FThreadTask.h"

#include <atomic>
#include <cstdint>

class FAppUserInterfaceModule;

// One screen built in the background: the task builds the screen of its kind
// on a pooled worker and posts it to the UI module. The module owns the
// request until the screen has arrived (or the request is given up).
class FScreenLoadRequest : public FThreadTask
{
public:
    // Starts the build at once unless the module is quitting.
    FScreenLoadRequest(FAppUserInterfaceModule& module, int32_t kind);
    // Cancels a build still running and waits until the worker has left it.
    ~FScreenLoadRequest() override;

    void main() override;

    int32_t kind() const { return m_kind; }
    // Asks the build to stop at its next record or child and waits until the
    // worker has left it; nothing is posted afterwards. The readers of the
    // screen may hold the heap, the registry and asset locks, so the worker is
    // never ended from outside.
    void cancelAndWait();

private:
    FAppUserInterfaceModule& m_module;
    int32_t m_kind;
    std::atomic<bool> m_cancelled{false};
};
