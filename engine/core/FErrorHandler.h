#pragma once

// Receives the text of every raised failure before it travels up the stack as
// an exception. The handler tells the user about the first failure of the run
// and returns true; for every later one it returns false (that failure then
// unwinds as FDebug::TreatedException). Installed process-wide; until the
// platform installs its own, a handler that prints to standard error serves.

class FString;

class FErrorHandler
{
public:
    virtual ~FErrorHandler() = default;
    virtual bool handleError(const FString& text) = 0;

    // Installs `handler` (null: the standard-error handler); returns the previous
    // one. The handler must outlive its installation.
    static FErrorHandler* install(FErrorHandler* handler) noexcept;
    static FErrorHandler& current() noexcept;
};
