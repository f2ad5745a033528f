#include "AudioTestSupport.h"

#include "audio/FAudioClock.h"
#include "audio/FAudioLock.h"
#include "audio/FAudioOutput.h"
#include "audio/FAudioPlatform.h"
#include "audio/FAudioRing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

using namespace audiotest;

namespace {

// A device that opens (or not) and takes frames only when the test reads.
class FakeOutput : public FAudioOutput
{
public:
    explicit FakeOutput(bool opens, int* closes = nullptr) : m_opens(opens), m_closes(closes) {}
    bool open(FAudioRing&) override { return m_opens; }
    void close() override
    {
        if (m_closes != nullptr) ++*m_closes;
    }

private:
    bool m_opens;
    int* m_closes;
};

// Records, for each mix, the root span and the latency of its first frame.
class SpanRecorder : public FAudioNode
{
public:
    struct Pass
    {
        int start, count, latency;
    };
    void prepare(FAudioNodeData&) override {}
    void mix(FAudioNodeData& context) override
    {
        FAudioNodeData& root = context.root();
        const FAudioClock* clock = root.clock();
        passes.push_back({root.span()->start, root.span()->count, clock->latency(clock->frames)});
        context.output()->silenceSpan(context.span()->start, context.span()->count);
    }
    std::vector<Pass> passes;
};

struct Rig
{
    explicit Rig(
        bool device, FAudioPlatform::Clock clock = [] { return 0u; })
        : lock(makeRef<FAudioNode>(engineNew<FAudioBus>(k_memObject)))
    {
        recorderHandle = makeRef<FAudioNode>(engineNew<SpanRecorder>(k_memObject));
        recorder = static_cast<SpanRecorder*>(recorderHandle.get());
        lock.rootBus()->addChild(recorderHandle);
        platform = std::make_unique<FAudioPlatform>(lock, std::make_unique<FakeOutput>(device, &closes),
                                                    FAudioPlatform::Options{std::move(clock), false});
    }
    // The device takes `frames` frames.
    void play(int frames)
    {
        std::vector<std::uint8_t> sink(static_cast<std::size_t>(frames) * FAudioRing::k_bytesPerFrame);
        platform->ring().read(sink.data(), sink.size());
    }

    int closes = 0;
    FAudioLock lock;
    FRefT<FAudioNode> recorderHandle;
    SpanRecorder* recorder;
    std::unique_ptr<FAudioPlatform> platform;
};

TEST(FAudioPlatformTest, RefillsThePlayedFramesInOneSpanOrTwoAcrossTheWrap)
{
    Rig rig(true);
    ASSERT_TRUE(rig.platform->hasDevice());
    rig.platform->mixToCursor();
    EXPECT_TRUE(rig.recorder->passes.empty()); // nothing played yet

    rig.play(1000);
    rig.platform->mixToCursor();
    ASSERT_EQ(rig.recorder->passes.size(), 1u);
    EXPECT_EQ(rig.recorder->passes[0].start, 0);
    EXPECT_EQ(rig.recorder->passes[0].count, 1000);
    EXPECT_EQ(rig.platform->clockFrames(), 1000);

    rig.play(6000);
    rig.platform->mixToCursor();
    ASSERT_EQ(rig.recorder->passes.size(), 3u);
    EXPECT_EQ(rig.recorder->passes[1].start, 1000);
    EXPECT_EQ(rig.recorder->passes[1].count, 5615);
    EXPECT_EQ(rig.recorder->passes[2].start, 0);
    EXPECT_EQ(rig.recorder->passes[2].count, 385);
    EXPECT_EQ(rig.platform->clockFrames(), 7000);

    rig.platform->mixToCursor(); // the cursor has not moved
    EXPECT_EQ(rig.recorder->passes.size(), 3u);
    EXPECT_EQ(rig.platform->clockFrames(), 7000);
    rig.platform.reset();
    EXPECT_EQ(rig.closes, 1);
}

TEST(FAudioPlatformTest, LatencyCountsTheQueuedFramesAndTheDeviceDelay)
{
    Rig rig(true);
    rig.play(5615); // 1000 frames stay queued ahead of the play position
    rig.platform->mixToCursor();
    ASSERT_EQ(rig.recorder->passes.size(), 1u);
    EXPECT_EQ(rig.platform->ahead(), 1000);
    EXPECT_EQ(rig.recorder->passes[0].latency, 122); // (1000 + 4410) * 1000 / 44100
}

TEST(FAudioPlatformTest, TheDeviceTakesOnlyQueuedFramesAndSilenceBeyond)
{
    Rig rig(true);
    FAudioRing& ring = rig.platform->ring();
    for (std::size_t k = 0; k < FAudioRing::k_bytes; ++k)
        ring.bytes()[k] = 0x11;
    std::vector<std::uint8_t> out(8 * FAudioRing::k_frames, 0xEE);
    EXPECT_EQ(ring.read(out.data(), out.size()), FAudioRing::k_bytes);
    EXPECT_EQ(ring.consumed(), static_cast<std::uint64_t>(FAudioRing::k_frames));
    EXPECT_EQ(out[FAudioRing::k_bytes - 1], 0x11);
    EXPECT_EQ(out[FAudioRing::k_bytes], 0);
    EXPECT_EQ(out.back(), 0);
    EXPECT_EQ(ring.read(out.data(), 16), 0u); // drained until the mixer refills
    rig.platform->mixToCursor();
    EXPECT_EQ(ring.produced() - ring.consumed(), static_cast<std::uint64_t>(FAudioRing::k_frames));
}

TEST(FAudioPlatformTest, ASilentPassZeroesOnlyItsSpan)
{
    Rig rig(true);
    FAudioRing& ring = rig.platform->ring();
    for (std::size_t k = 0; k < FAudioRing::k_bytes; ++k)
        ring.bytes()[k] = 0x22; // queued sound
    rig.play(100);
    rig.platform->rootContext().output()->m_silent = true;
    rig.platform->mixToCursor();
    EXPECT_FALSE(rig.platform->rootContext().output()->m_silent);
    EXPECT_EQ(ring.bytes()[0], 0);
    EXPECT_EQ(ring.bytes()[100 * 4 - 1], 0);
    EXPECT_EQ(ring.bytes()[100 * 4], 0x22);
    EXPECT_EQ(ring.bytes()[FAudioRing::k_bytes - 1], 0x22);
}

TEST(FAudioPlatformTest, WithoutADeviceThePlayPositionFollowsTheClock)
{
    std::uint32_t now = 5000;
    Rig rig(false, [&now] { return now; });
    EXPECT_FALSE(rig.platform->hasDevice());
    now += 100;
    rig.platform->mixToCursor();
    ASSERT_EQ(rig.recorder->passes.size(), 1u);
    EXPECT_EQ(rig.recorder->passes[0].count, 4410);
    // A long stall is caught up in whole passes, up to the wrap each.
    now += 1000;
    rig.platform->mixToCursor();
    int frames = 0;
    for (const SpanRecorder::Pass& pass : rig.recorder->passes)
        frames += pass.count;
    EXPECT_EQ(frames, 4410 + 44100);
    EXPECT_EQ(rig.platform->clockFrames(), 4410 + 44100);
    rig.platform.reset();
    EXPECT_EQ(rig.closes, 0); // no device, nothing to close
}

} // namespace
