#pragma once

#include "core/FErrorMessage.h"

#include <exception>
#include <memory>

// A failure found on one thread and raised on another: the inflate worker
// finds a broken member, the reader raises the failure report when it asks
// for data, so the error handler and the exception meet the reader. Copies
// share one state; raising it again rethrows the same exception without
// reporting it twice.
class FDeferredFailure
{
public:
    FDeferredFailure() = default;

    // A report composed now and raised later; `compose` streams its text.
    template <class Compose>
    static FDeferredFailure compose(FMessageKey preamble, FSourceLocation location, Compose compose)
    {
        FDeferredFailure failure;
        failure.m_state = std::make_shared<State>();
        failure.m_state->report = std::make_unique<FErrorMessage>(preamble, location);
        compose(*failure.m_state->report);
        return failure;
    }

    // A failure that was raised already (its exception is passed on as it is).
    static FDeferredFailure caught(std::exception_ptr raised);

    explicit operator bool() const { return m_state != nullptr; }

    // Raises the report the first time, rethrows its exception after that.
    [[noreturn]] void raise() const;

private:
    struct State
    {
        std::unique_ptr<FErrorMessage> report;
        std::exception_ptr raised;
    };

    std::shared_ptr<State> m_state;
};
