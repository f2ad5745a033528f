#pragma once

#include "core/FAppListener.h"

#include <cstdint>

// The random module's interface in service slot 24.
class FRandomService : public FAppListener3
{
public:
    using FAppListener3::FAppListener3;

    // Restarts the sequence as if the module had been made at wall time `t`.
    virtual void seed(uint32_t t) = 0;
    // A value in [lo, hi], both ends included.
    virtual uint32_t range(uint32_t lo, uint32_t hi) = 0;
    virtual uint32_t next() = 0;
};
