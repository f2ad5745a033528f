#pragma once

// A log line that measures a disk-loading operation: opened on channel "Timer"
// with a location, it reads the clock when opened; when destroyed it is
// dropped if fewer milliseconds than the "DiskLoad" channel's parameter have
// passed, else it ends in " - Operation time: <ms>ms". It is written to the
// channel file when "DiskLoad" is enabled. Open it only while "DiskLoad" is on.

#include "core/FLogStream.h"

#include <cstdint>

class FTimedLogStream : public FLogStream
{
public:
    explicit FTimedLogStream(FSourceLocation location);
    ~FTimedLogStream();

private:
    std::uint32_t m_start;
    std::uint32_t m_threshold;
};
