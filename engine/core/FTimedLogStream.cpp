#include "core/FTimedLogStream.h"

FTimedLogStream::FTimedLogStream(FSourceLocation location)
    : FLogStream(location, "Timer", k_logDiskLoad.enabled == 1), m_start(clockNow()),
      m_threshold(static_cast<std::uint32_t>(k_logDiskLoad.parameter))
{
}

FTimedLogStream::~FTimedLogStream()
{
    std::uint32_t elapsed = clockNow() - m_start;
    if (elapsed < m_threshold) {
        suppress();
        return;
    }
    try {
        m_text << " - Operation time: " << elapsed << "ms";
    } catch (...) {
        // The line goes out without its duration.
    }
}
