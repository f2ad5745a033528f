#include "core/FTimedLogStream.h"

#include "core/FClockService.h"

FTimedLogStream::FTimedLogStream(FSourceLocation location)
    : FLogStream(location, "Timer", k_logDiskLoad.enabled == 1), m_start(FClockService::nowOrZero()),
      m_threshold(static_cast<std::uint32_t>(k_logDiskLoad.parameter))
{
}

FTimedLogStream::~FTimedLogStream()
{
    std::uint32_t elapsed = FClockService::nowOrZero() - m_start;
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
