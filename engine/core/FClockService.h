#pragma once

// The clock module's interface in service slot 6.

#include "core/FAppListener.h"

#include <cstdint>

class FClockService : public FAppListener3
{
public:
    using FAppListener3::FAppListener3;

    // Milliseconds since the clock module was created (unsigned, wraps).
    virtual std::uint32_t now() = 0;
    // Seconds since 1 January 1970 UTC.
    virtual std::int64_t wallTime() = 0;
    virtual int adjust(int delta) = 0;

    // now() of the running application's clock, or 0 without one.
    static std::uint32_t nowOrZero() noexcept;
};
