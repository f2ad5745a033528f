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

    // The decoders play the sample's loop as the voice does: the first pass
    // runs from frame 0 to the loop end, every later pass from the loop start
    // to the loop end, so the chunk after the loop end holds the loop start.
    // The frame (exclusive) where a pass ends: the end of the loop, or the
    // largest int when the sample plays to the end of its stream.
    int passEnd() const;
    // After a pass that reached frame `reached` (exclusive): the frame where
    // the next pass starts, or -1 with the task stopped when there is none:
    // the sample does not loop, the task was stopped, or the loop does not lie
    // inside the stream (the voice then ends at the stream's end, as it does
    // over a whole decode).
    int nextPass(int reached);

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
