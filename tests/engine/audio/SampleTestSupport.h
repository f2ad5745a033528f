#pragma once

// Shared by the sample tests: loading samples from bytes and playing them
// span by span.

#include "AudioTestSupport.h"

#include "asset/FAssetLoader.h"
#include "asset/FAssetStream.h"
#include "audio/FAudioStreamTask.h"
#include "audio/FSample.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Plays the sample span by span (both channels, interleaved); before each span
// waits until the decoder has the next chunk ready (or has finished), so no
// span meets an underrun.
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
        const std::vector<int> frames = rig.mixStereo(spanFrames);
        out.insert(out.end(), frames.begin(), frames.end());
    }
    return out;
}

// The index of the first output sample where the streamed play differs from
// the whole one, or -1: a loop that goes wrong is found without printing
// hundreds of thousands of samples.
inline long firstDifference(const std::vector<int>& streamed, const std::vector<int>& whole)
{
    if (streamed.size() != whole.size()) return static_cast<long>(std::min(streamed.size(), whole.size()));
    for (std::size_t k = 0; k < whole.size(); ++k)
        if (streamed[k] != whole[k]) return static_cast<long>(k);
    return -1;
}

// Plays a looping sample whole and streamed from `file` until the loop of
// `loopStart` .. `loopStart + loopLength - 1` (44.1 kHz) has been played
// twice, and expects the two to agree sample for sample.
inline void expectStreamedLoopEqualsWhole(FAssetLoader& loader, const std::vector<uint8_t>& file,
                                          int loopStart, int loopLength)
{
    FRefT<FSample> whole = loadSample(loader, file);
    FRefT<FSample> streamed = loadSample(loader, file, true);
    ASSERT_FALSE(whole->hasFailed());
    ASSERT_TRUE(streamed->isStreamed());
    ASSERT_TRUE(whole->loops());
    ASSERT_EQ(whole->loopStart(), loopStart);
    constexpr int k_span = 1000;
    const int spans = (loopStart + 2 * loopLength) / k_span + 20;
    Recorder endedWhole, endedStreamed;
    const std::vector<int> expected = playAll(whole, spans, k_span, endedWhole);
    const std::vector<int> got = playAll(streamed, spans, k_span, endedStreamed);
    // The second pass of the loop is sound in the whole play, so silence in
    // the streamed one shows.
    const auto secondPass = expected.begin() + 2 * (loopStart + loopLength + loopLength / 2);
    EXPECT_NE(*std::max_element(secondPass, secondPass + 2000), 0);
    EXPECT_EQ(firstDifference(got, expected), -1);
    EXPECT_TRUE(endedStreamed.notified.empty());
    EXPECT_TRUE(endedWhole.notified.empty());
}

} // namespace audiotest
