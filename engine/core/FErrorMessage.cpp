#include "core/FErrorMessage.h"

#include "core/FErrorHandler.h"
#include "core/FLogStream.h"

FErrorMessage::FErrorMessage(FSourceLocation location) noexcept : m_location(location) {}

FErrorMessage::FErrorMessage(FMessageKey preamble, FSourceLocation location) : m_location(location)
{
    m_text << FLocalizedMessages::text(preamble) << "\n\n";
}

FString FErrorMessage::finishedText()
{
    m_text << "\n\n" << m_location;
    return m_text.take();
}

void FErrorMessage::raise()
{
    FString text = finishedText();
    ZIBBO_LOG_PLAIN(k_logAssert, true) << "ASSERTION: " << text;
    if (FErrorHandler::current().handleError(text)) {
        throw FDebug::VellumcoreException(text.toLowBytes());
    }
    throw FDebug::TreatedException();
}
