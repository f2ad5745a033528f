#pragma once

#include "audio/FAudioBuffer.h"
#include "core/FRef.h"
#include "core/FSemaphore.h"
#include "core/FThreadTask.h"

#include <atomic>

class FSample;
struct FVoiceState;

// The decoder of one playing streamed sample, on a pooled worker. It fills a
// ring of five chunks that the mixer consumes without ever waiting: the chunk
// being played and four ahead. An entry is written only after `free` was
// taken and read only after `filled` was taken.
class FAudioStreamTask : public FThreadTask
{
public:
    static constexpr int k_ringSize = 5;

    FAudioStreamTask(FVoiceState* voice, FSample* sample);
    // Stops the decoder, wakes it and waits until it has finished.
    ~FAudioStreamTask() override;

    void main() override;

    // Consumer (mixer thread): the chunk to play; moves to the next chunk when
    // one was asked for and is ready. Empty when nothing has arrived yet.
    FAudioBuffer* current();
    void requestNext() { m_needNext.store(true); }

    // Producer: waits for a free entry and answers it, or null when stopped.
    FRefT<FAudioBuffer>* nextEntry();
    // Publishes the entry taken last.
    void deliver() { m_filled.release(); }

    void stop() { m_stop.store(true); }
    bool stopped() const { return m_stop.load(); }
    FSample& sample() const { return *m_sample; }
    // Chunks delivered and not yet taken (tests wait for the decoder).
    uint32_t ready() { return m_filled.count(); }

private:
    FVoiceState* m_voice;
    FSample* m_sample;
    FRefT<FAudioBuffer> m_ring[k_ringSize];
    int m_readIndex = -1;
    int m_writeCount = 0;
    FSemaphore m_free{k_ringSize - 1};
    FSemaphore m_filled;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_needNext{true};
};
