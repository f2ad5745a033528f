#pragma once

#include "core/FRef.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// The output ring: 150 ms of 16-bit stereo frames at 44100 Hz. The mixer
// thread fills the frames the device has taken; the device side copies out
// what is queued. Both sides count frames since the start, so a drained ring
// and a full one are told apart.
class FAudioRing
{
public:
    static constexpr int k_frames = 6615;
    static constexpr int k_bytesPerFrame = 4;
    static constexpr std::size_t k_bytes = static_cast<std::size_t>(k_frames) * k_bytesPerFrame;

    FAudioRing();

    const FRef& data() const { return m_data; }
    std::uint8_t* bytes() const { return static_cast<std::uint8_t*>(m_data.get()); }

    // Device side: copies up to `size` bytes of queued frames to `out` and
    // fills what is missing with silence; the bytes taken.
    std::size_t read(std::uint8_t* out, std::size_t size);

    // Frames the device has taken (the play position) and frames the mixer has
    // written, both since the start. The zeroed ring counts as written.
    std::uint64_t consumed() const { return m_consumed.load(std::memory_order_acquire); }
    std::uint64_t produced() const { return m_produced.load(std::memory_order_acquire); }
    // Without a device the mixer moves the play position by the clock.
    void setConsumed(std::uint64_t frames) { m_consumed.store(frames, std::memory_order_release); }
    void commit(int frames)
    {
        m_produced.fetch_add(static_cast<std::uint64_t>(frames), std::memory_order_release);
    }
    // Drops everything up to the play position (after a long stall).
    void resync() { m_produced.store(consumed() + k_frames, std::memory_order_release); }

    // The next span to refill, from frame `produced` up to `target`: its first
    // ring frame in `start`, its length returned (0 when nothing is due). It
    // stops at the end of the ring; the rest follows from frame 0.
    static int nextSpan(std::uint64_t produced, std::uint64_t target, int& start);

private:
    FRef m_data;
    std::atomic<std::uint64_t> m_consumed{0};
    std::atomic<std::uint64_t> m_produced{k_frames};
};
