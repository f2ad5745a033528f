#include "io/FDeferredFailure.h"

FDeferredFailure FDeferredFailure::caught(std::exception_ptr raised)
{
    FDeferredFailure failure;
    failure.m_state = std::make_shared<State>();
    failure.m_state->raised = std::move(raised);
    return failure;
}

void FDeferredFailure::raise() const
{
    if (m_state->report) {
        const std::unique_ptr<FErrorMessage> report = std::move(m_state->report);
        try {
            report->raise();
        } catch (...) {
            m_state->raised = std::current_exception();
        }
    }
    std::rethrow_exception(m_state->raised);
}
