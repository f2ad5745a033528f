#pragma once

// Shared by the audio tests and benchmarks: in-memory sources, a root context
// over an output buffer, and listeners that count what they are told.

#include "audio/FAudioBuffer.h"
#include "audio/FAudioBus.h"
#include "audio/FAudioListener.h"
#include "audio/FAudioNode.h"
#include "audio/FAudioNodeData.h"
#include "audio/FAudioSpan.h"
#include "audio/FVoiceRenderer.h"
#include "audio/FVoiceState.h"
#include "core/FDelegate.h"
#include "core/FMemory.h"
#include "core/FRef.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

namespace audiotest {

// Reads `bytes` from `base` on, at the offsets a decoder asks for.
inline auto bytesReader(const std::vector<uint8_t>& bytes, int64_t base = 0)
{
    return [&bytes, base](int64_t offset, void* buffer, int64_t size) -> int64_t {
        const int64_t at = base + offset;
        const int64_t count =
            std::max<int64_t>(0, std::min<int64_t>(size, static_cast<int64_t>(bytes.size()) - at));
        if (count > 0) std::memcpy(buffer, bytes.data() + at, static_cast<size_t>(count));
        return count;
    };
}

// A buffer of its own memory holding `samples` (interleaved when stereo).
template <class T>
inline FRefT<FAudioBuffer> makeBuffer(const std::vector<T>& samples, int channels, float rate = 44100.0f)
{
    constexpr auto kind = sizeof(T) == 1   ? FAudioBuffer::k_int8
                          : sizeof(T) == 2 ? FAudioBuffer::k_int16
                                           : FAudioBuffer::k_int32;
    const int frames = static_cast<int>(samples.size()) / channels;
    FRefT<FAudioBuffer> buffer = FAudioBuffer::make(kind, channels, rate, frames);
    if (!samples.empty()) std::memcpy(buffer->frameAddress(0), samples.data(), samples.size() * sizeof(T));
    return buffer;
}

template <class T> inline std::vector<T> contents(const FAudioBuffer& buffer)
{
    std::vector<T> out(static_cast<std::size_t>(buffer.frames()) * buffer.channels());
    std::memcpy(out.data(), buffer.frameAddress(0), out.size() * sizeof(T));
    return out;
}

// Plays one in-memory buffer, as a decoded sample does.
class BufferSource : public FAudioNode
{
public:
    explicit BufferSource(FRefT<FAudioBuffer> data, bool loops = false, int loopStart = 0, int loopLength = 0)
        : m_data(static_cast<FRefT<FAudioBuffer>&&>(data)), m_loops(loops), m_loopStart(loopStart),
          m_loopLength(loopLength)
    {
    }

    void prepare(FAudioNodeData& context) override
    {
        context.component(FAudioNodeData::k_voice) = makeRef(engineNew<FVoiceState>(k_memObject));
    }
    void mix(FAudioNodeData& context) override
    {
        FVoiceRenderer::mixBuffer(context, *this, m_data.get(), m_loops, m_loopStart, m_loopLength);
    }
    void complete() override { ++completed; }
    void attach() override { ++users; }
    void detach() override { --users; }

    // A source may be detached on the mixer thread or on the thread that drops
    // the last handle of its channel.
    std::atomic<int> completed{0};
    std::atomic<int> users{0};

private:
    FRefT<FAudioBuffer> m_data;
    bool m_loops;
    int m_loopStart;
    int m_loopLength;
};

inline FRefT<FAudioNode> makeSource(FRefT<FAudioBuffer> data, bool loops = false, int loopStart = 0,
                                    int loopLength = 0)
{
    return makeRef<FAudioNode>(engineNew<BufferSource>(k_memObject, data, loops, loopStart, loopLength));
}

// A listener cell that records every argument it is notified with.
class Recorder
{
public:
    Recorder()
    {
        auto* cell = engineNew<FAudioListener>(k_memObject);
        cell->onNotify = makeObjectDelegate(this, &Recorder::onNotify);
        cell->onProgress = makeObjectDelegate(this, &Recorder::onProgress);
        handle = makeRef(cell);
    }
    void onNotify(std::intptr_t argument) { notified.push_back(argument); }
    void onProgress(FAudioNode*, int before, int after, int milliseconds)
    {
        progress.push_back({before, after, milliseconds});
    }

    struct Progress
    {
        int before, after, milliseconds;
    };
    FRef handle;
    std::vector<std::intptr_t> notified;
    std::vector<Progress> progress;
};

// A root context over a 16-bit stereo output buffer, mixing one bus span by
// span as the output does.
class Root
{
public:
    explicit Root(int frames, FAudioBus& bus) : m_bus(bus)
    {
        output = FAudioBuffer::make(FAudioBuffer::k_int16, 2, 44100.0f, frames);
        context.component(FAudioNodeData::k_output) = output;
        context.component(FAudioNodeData::k_span) = makeRef(engineNew<FAudioSpan>(k_memObject));
        bus.prepare(context);
    }
    void mix(int start, int count)
    {
        context.span()->reset(start, count);
        m_bus.mix(context);
    }
    std::vector<std::int16_t> samples() const { return contents<std::int16_t>(*output); }

    FAudioNodeData context;
    FRefT<FAudioBuffer> output;

private:
    FAudioBus& m_bus;
};

// A voice context over a 32-bit stereo output of `frames` frames.
struct VoiceRig
{
    VoiceRig(FRefT<FAudioNode> node, int frames) : source(node)
    {
        output = FAudioBuffer::make(FAudioBuffer::k_int32, 2, 44100.0f, frames);
        context.component(FAudioNodeData::k_output) = output;
        context.component(FAudioNodeData::k_span) = makeRef(engineNew<FAudioSpan>(k_memObject));
        source->prepare(context);
    }
    // Both channels, interleaved.
    std::vector<int> mixStereo(int count)
    {
        context.span()->reset(0, count);
        source->mix(context);
        const std::vector<std::int32_t> all = contents<std::int32_t>(*output);
        return std::vector<int>(all.begin(), all.begin() + 2 * count);
    }
    std::vector<int> mixLeft(int count)
    {
        context.span()->reset(0, count);
        source->mix(context);
        std::vector<int> left;
        const std::vector<std::int32_t> all = contents<std::int32_t>(*output);
        for (int k = 0; k < count; ++k)
            left.push_back(all[2 * k]);
        return left;
    }

    FRefT<FAudioNode> source;
    FAudioNodeData context;
    FRefT<FAudioBuffer> output;
};

} // namespace audiotest
