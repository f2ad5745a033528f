#pragma once

// Shared by the sample tests: loading samples from bytes and playing them
// span by span.

#include "AudioTestSupport.h"

#include "asset/FAssetLoader.h"
#include "asset/FAssetStream.h"
#include "audio/FAudioStreamTask.h"
#include "audio/FSample.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace audiotest {

inline FRefT<FInStream> bytesStream(const std::vector<uint8_t>& bytes)
{
    void* block = engineAlloc(k_memData, bytes.size() + 1);
    if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
    return FAssetStream::makeOver(makeRefHolder(block), block, static_cast<int64_t>(bytes.size()));
}

// A sample loaded by `loader` from `bytes`; streamed when `streamed`.
inline FRefT<FSample> loadSample(FAssetLoader& loader, const std::vector<uint8_t>& bytes,
                                 bool streamed = false)
{
    auto* sample = engineNew<FSample>(k_memObject);
    FRefT<FSample> handle(FAsset::handleFor(sample));
    sample->setEntryFlags(FAsset::k_flagLoadOnUse | (streamed ? FAsset::k_flagKeepSource : 0));
    sample->setLoader(&loader);
    sample->setSource(bytesStream(bytes));
    sample->complete();
    return handle;
}

inline FRefT<FAudioNode> asNode(const FRefT<FSample>& sample)
{
    return FRefT<FAudioNode>(static_cast<const FRef&>(sample));
}

inline std::vector<int16_t> decoded(const FSample& sample)
{
    return contents<int16_t>(*sample.data());
}

inline std::vector<int16_t> sine(int frames, int channels, int amplitude)
{
    std::vector<int16_t> out;
    for (int k = 0; k < frames; ++k)
        for (int c = 0; c < channels; ++c)
            out.push_back(static_cast<int16_t>(amplitude * std::sin(0.01 * k * (c + 1))));
    return out;
}

// Waits (bounded) until the condition holds.
template <class Condition> bool eventually(Condition condition)
{
    for (int k = 0; k < 2000; ++k) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// Plays the sample span by span; before each span waits until the decoder has
// the next chunk ready (or has finished), so no span meets an underrun.
inline std::vector<int> playAll(const FRefT<FSample>& sample, int spans, int spanFrames, Recorder& ended)
{
    VoiceRig rig(asNode(sample), spanFrames);
    rig.context.voice()->m_ended.insert(ended.handle);
    FAudioStreamTask* task = rig.context.voice()->streamTask.get();
    std::vector<int> out;
    for (int s = 0; s < spans; ++s) {
        if (task != nullptr) {
            EXPECT_TRUE(
                eventually([&] { return task->ready() > 0 || task->state() == FThreadTask::k_done; }));
        }
        const std::vector<int> left = rig.mixLeft(spanFrames);
        out.insert(out.end(), left.begin(), left.end());
    }
    return out;
}

} // namespace audiotest
