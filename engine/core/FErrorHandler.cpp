#include "core/FErrorHandler.h"

#include "core/FStderrErrorHandler.h"

#include <atomic>

namespace {

std::atomic<FErrorHandler*> s_handler{nullptr};

// Never destroyed: a failure raised while static objects are torn down still
// finds it.
FErrorHandler& stderrHandler()
{
    static FStderrErrorHandler* handler = new FStderrErrorHandler;
    return *handler;
}

} // namespace

FErrorHandler* FErrorHandler::install(FErrorHandler* handler) noexcept
{
    FErrorHandler* previous = s_handler.exchange(handler, std::memory_order_acq_rel);
    return previous != nullptr ? previous : &stderrHandler();
}

FErrorHandler& FErrorHandler::current() noexcept
{
    FErrorHandler* handler = s_handler.load(std::memory_order_acquire);
    return handler != nullptr ? *handler : stderrHandler();
}
