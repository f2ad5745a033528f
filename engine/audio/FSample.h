#pragma once

#include "audio/FAudioBuffer.h"
#include "audio/FAudioNode.h"
#include "core/FMutex.h"
#include "core/FRef.h"
#include "io/FInStream.h"

#include <cstdint>
#include <functional>

class FAudioStreamTask;

// A sound effect, voice line or music track. Its loader either decodes the
// whole file into one 16-bit buffer or, for a streamed load, installs a
// decoder that each playing voice runs on a worker to produce chunks.
class FSample : public FAudioNode
{
public:
    using StreamDecoder = std::function<void(FAudioStreamTask& task)>;

    FSample();
    ~FSample() override;
    FSample(const FSample&) = delete;
    FSample& operator=(const FSample&) = delete;

    void readKindData(FInStream& reader) override;
    void releaseData(bool forced) override;
    void prepare(FAudioNodeData& context) override;
    void mix(FAudioNodeData& context) override;
    void attach() override { addUser(); }
    void detach() override { dropUser(); }

    // What the loaders fill.
    void setData(FRefT<FAudioBuffer> data) { m_data = static_cast<FRefT<FAudioBuffer>&&>(data); }
    void setLoop(bool loops, bool secondFlag, int loopStart, int loopLength);
    void setStreamDecoder(StreamDecoder decoder, FRefT<FInStream> source);

    FAudioBuffer* data() const { return m_data.get(); }
    bool loops() const { return m_loops; }
    bool secondFlag() const { return m_secondFlag; }
    int loopStart() const { return m_loopStart; }
    int loopLength() const { return m_loopLength; }
    bool isStreamed() const { return static_cast<bool>(m_streamDecoder); }
    // Runs the stream decoder for `task` (on the task's worker).
    void decodeStream(FAudioStreamTask& task);
    // Reads up to `size` bytes at `offset` of the kept source; the bytes read.
    // Every voice's decoder keeps its own position and reads under one lock,
    // so several voices can stream one sample at once.
    int64_t readStream(int64_t offset, void* buffer, int64_t size);

private:
    void mixStream(FAudioNodeData& context);

    FRefT<FAudioBuffer> m_data;
    bool m_loops = false;
    bool m_secondFlag = false;
    int m_loopStart = 0;
    int m_loopLength = 0;
    FRefT<FInStream> m_streamSource;
    StreamDecoder m_streamDecoder;
    FMutex m_streamLock;
};
