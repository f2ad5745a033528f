#include "audio/FAudioRing.h"

#include "core/FMemory.h"

#include <algorithm>
#include <cstring>

FAudioRing::FAudioRing()
{
    void* block = engineAlloc(k_memWaveOut, k_bytes);
    if (block != nullptr) std::memset(block, 0, k_bytes);
    m_data = makeRefHolder(block);
}

std::size_t FAudioRing::read(std::uint8_t* out, std::size_t size)
{
    const std::uint64_t position = m_consumed.load(std::memory_order_relaxed);
    const std::uint64_t queued = produced() - position;
    std::size_t frames = std::min<std::uint64_t>(queued, size / k_bytesPerFrame);
    if (bytes() == nullptr) frames = 0;
    std::size_t done = 0;
    for (std::size_t left = frames; left > 0;) {
        const std::size_t first = (position + done) % k_frames;
        const std::size_t run = std::min<std::size_t>(left, k_frames - first);
        std::memcpy(out + done * k_bytesPerFrame, bytes() + first * k_bytesPerFrame, run * k_bytesPerFrame);
        done += run;
        left -= run;
    }
    std::memset(out + frames * k_bytesPerFrame, 0, size - frames * k_bytesPerFrame);
    m_consumed.store(position + frames, std::memory_order_release);
    return frames * k_bytesPerFrame;
}

int FAudioRing::nextSpan(std::uint64_t produced, std::uint64_t target, int& start)
{
    start = static_cast<int>(produced % k_frames);
    if (target <= produced) return 0;
    return static_cast<int>(std::min<std::uint64_t>(target - produced, k_frames - start));
}
