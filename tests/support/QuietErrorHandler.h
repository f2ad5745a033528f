#pragma once

// An error handler for fuzz harnesses and benchmarks, where failures are the
// expected outcome of most inputs: it shows nothing and answers as told
// (true: the failure counts as the first one; false: already being handled).
#include "core/FErrorHandler.h"
#include "core/FString.h"

class QuietErrorHandler : public FErrorHandler
{
public:
    explicit QuietErrorHandler(bool answer = true) : m_answer(answer) {}
    bool handleError(const FString&) override { return m_answer; }

    // Quietens the rest of the process: the first call installs one handler
    // with its answer, later calls do nothing. For harnesses that run many
    // inputs through one process.
    static void installForProcess(bool answer = true)
    {
        static QuietErrorHandler handler(answer);
        static FErrorHandler* const previous = FErrorHandler::install(&handler);
        (void)previous;
    }

private:
    bool m_answer;
};
