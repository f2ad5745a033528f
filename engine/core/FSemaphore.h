#pragma once

#include "core/FWaitable.h"

#include <cstdint>

// A counting semaphore that engine threads wait on alertably: each release
// lets one wait (or tryTake) through.
class FSemaphore : public FWaitable
{
public:
    explicit FSemaphore(uint32_t initialCount = 0) : m_count(initialCount) {}

    void release(uint32_t count = 1);

    // The count not yet taken (for tests and diagnostics).
    uint32_t count();

protected:
    bool takeLocked() override;

private:
    uint32_t m_count;
};
