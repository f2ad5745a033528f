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

private:
    bool m_answer;
};
