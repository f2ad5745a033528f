#include "core/FStderrErrorHandler.h"

#include "core/FString.h"

#include <cstdio>

bool FStderrErrorHandler::handleError(const FString& text)
{
    // Only the first failure of the run is reported; later ones are unwinding
    // consequences of it.
    if (m_handled.exchange(true, std::memory_order_acq_rel)) {
        return false;
    }
    std::string bytes = text.toUtf8();
    std::fprintf(stderr, "%s\n", bytes.c_str());
    std::fflush(stderr);
    return true;
}
