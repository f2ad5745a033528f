#pragma once

// The error handler in place until the platform installs its own: prints the
// failure text to standard error; true for the first failure, false after.

#include "core/FErrorHandler.h"

#include <atomic>

class FStderrErrorHandler : public FErrorHandler
{
public:
    bool handleError(const FString& text) override;

private:
    std::atomic<bool> m_handled{false};
};
