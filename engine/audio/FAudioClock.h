#pragma once

#include "core/FDelegate.h"

#include <cstdint>

// The root's clock: frames mixed so far, and the output's estimate of how many
// milliseconds until a frame written at a given frame time is heard.
class FAudioClock
{
public:
    using Latency = FDelegate<int(std::int64_t)>;

    FAudioClock() = default;
    ~FAudioClock() { freeAndNull(m_latency); }
    FAudioClock(const FAudioClock&) = delete;
    FAudioClock& operator=(const FAudioClock&) = delete;

    std::int64_t frames = 0;

    void setLatency(const Latency* latency) { Latency::assign(m_latency, latency); }
    int latency(std::int64_t frameTime) const
    {
        return m_latency != nullptr ? m_latency->invoke(frameTime) : 0;
    }

private:
    Latency* m_latency = nullptr;
};
