#pragma once

// A failure report under construction. The text is streamed in, as a rule the
// localized preamble, two line feeds and what failed (the tested quantities
// with their values, or the failed system call); raise() appends two line
// feeds and the source location, logs it on "Assert" when that channel is on,
// hands it to the error handler and throws.
//
//   ZIBBO_FAIL(msgSystemError, "CreateSemaphore (NULL)");
//   ZIBBO_FAIL(msgFileCorrupted, "gptr (" << gptr << ") <= egptr (" << egptr << ")");
//   ZIBBO_FAIL_TEXT("no preamble here (" << value << ")");

#include "core/FDebug.h"
#include "core/FLocalizedMessages.h"
#include "core/FSourceLocation.h"
#include "core/FStringStream.h"

class FErrorMessage
{
public:
    explicit FErrorMessage(FSourceLocation location) noexcept;
    // Starts with the localized text of `preamble` and two line feeds.
    FErrorMessage(FMessageKey preamble, FSourceLocation location);
    FErrorMessage(const FErrorMessage&) = delete;
    FErrorMessage& operator=(const FErrorMessage&) = delete;

    template <class T> FErrorMessage& operator<<(const T& value)
    {
        m_text << value;
        return *this;
    }

    // Throws FDebug::VellumcoreException when the error handler took this as the
    // first failure, FDebug::TreatedException otherwise.
    [[noreturn]] void raise();

    // The full text raise() hands to the error handler.
    FString finishedText();

private:
    FStringStream m_text;
    FSourceLocation m_location;
};

#define ZIBBO_FAIL(preamble, ...)                                                                            \
    do {                                                                                                     \
        FErrorMessage zibboFailure_((preamble), ZIBBO_HERE);                                                 \
        zibboFailure_ << __VA_ARGS__;                                                                        \
        zibboFailure_.raise();                                                                               \
    } while (0)

#define ZIBBO_FAIL_TEXT(...)                                                                                 \
    do {                                                                                                     \
        FErrorMessage zibboFailure_(ZIBBO_HERE);                                                             \
        zibboFailure_ << __VA_ARGS__;                                                                        \
        zibboFailure_.raise();                                                                               \
    } while (0)
