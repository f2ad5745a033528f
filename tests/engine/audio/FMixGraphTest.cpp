#include "AudioTestSupport.h"

#include "audio/FBusMixState.h"
#include "audio/FSoundChannel.h"
#include "audio/FVolumeFader.h"
#include "core/FMutex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace audiotest;

namespace {

constexpr int k_pass = 1632; // 37 ms at 44100 Hz

FRefT<FAudioBuffer> constantBuffer(std::int16_t left, std::int16_t right, int frames)
{
    std::vector<std::int16_t> samples;
    for (int k = 0; k < frames; ++k) {
        samples.push_back(left);
        samples.push_back(right);
    }
    return makeBuffer(samples, 2);
}

// A root bus over a 16-bit output with one channel playing a source.
struct OneChannel
{
    explicit OneChannel(FRefT<FAudioNode> source, int outputFrames = 64) : root(outputFrames, bus)
    {
        index = bus.addChannels(1);
        bus.setChannelSource(index, source, lock);
    }
    FAudioBusSlot& slot() const { return *bus.getChild(index); }
    FSoundChannel& channel() const { return static_cast<FSoundChannel&>(*slot().node); }
    FVolumeFader& fader() const { return *slot().context.fader(); }
    FVoiceState& voice() const { return *channel().context().voice(); }

    FMutex lock;
    FAudioBus bus;
    Root root;
    int index;
};

TEST(FMixGraphTest, BusGainAndChannelVolumeScaleTheOutput)
{
    struct Case
    {
        int level;  // the bus level
        int volume; // the channel's volume (64 = unity)
        std::int16_t in;
        std::int16_t out;
    } cases[] = {
        // Interpolation weighs 65535/65536, then 60/64 at level 64.
        {64, 64, 1000, 936},     // 999 * 3840 >> 12
        {64, 64, -1000, -938},   // -1000 * 3840 >> 12, rounded down
        {64, 64, 32767, 30718},  // 32766 * 3840 >> 12
        {100, 64, 1000, 936},    // above 64 the gain stays 60
        {32, 64, 1000, 468},     // 30/64
        {-1, 64, 1000, 0},       // a negative level is silence
        {64, 32, 1000, 467},     // half volume: 499 * 3840 >> 12
        {64, 255, 20000, 32767}, // almost four times unity, saturated
        {64, 0, 1000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " volume " << c.volume << " in " << c.in);
        OneChannel graph(makeSource(constantBuffer(c.in, c.in, 100)));
        graph.root.context.busState()->level = c.level;
        graph.fader().current = c.volume * 256;
        graph.root.mix(0, 16);
        const std::vector<std::int16_t> out = graph.root.samples();
        for (int k = 0; k < 32; ++k)
            ASSERT_EQ(out[k], c.out) << k;
    }
}

TEST(FMixGraphTest, SilentChannelsSilenceTheSpanButKeepTime)
{
    enum What { k_noChannels, k_noSource, k_paused, k_muted, k_volumeZero };
    for (What what : {k_noChannels, k_noSource, k_paused, k_muted, k_volumeZero}) {
        SCOPED_TRACE(what);
        FMutex lock;
        FAudioBus bus;
        Root root(64, bus);
        std::vector<std::int16_t> noise(128, 77);
        std::memcpy(root.output->frameAddress(0), noise.data(), noise.size() * 2);
        FRefT<FAudioNode> source = makeSource(constantBuffer(1000, 1000, 1000));
        if (what != k_noChannels) {
            const int index = bus.addChannels(1);
            if (what != k_noSource) bus.setChannelSource(index, source, lock);
            auto& channel = static_cast<FSoundChannel&>(*bus.getChannelNode(index));
            FVolumeFader& fader = *bus.getChild(index)->context.fader();
            channel.m_paused = what == k_paused;
            fader.muted = what == k_muted;
            if (what == k_volumeZero) fader.current = 0;
        }
        root.mix(8, 16);
        const std::vector<std::int16_t> out = root.samples();
        for (int k = 0; k < 128; ++k)
            ASSERT_EQ(out[k], k >= 16 && k < 48 ? 0 : 77) << k;
        if (what == k_muted || what == k_volumeZero) {
            // Inaudible voices advance as audible ones do.
            auto& channel = static_cast<FSoundChannel&>(*bus.getChannelNode(0));
            EXPECT_EQ(channel.context().voice()->position, 18);
        }
    }
}

TEST(FMixGraphTest, FadeOutTakesSeventeenPassesAndReportsItsEndOnce)
{
    OneChannel graph(makeSource(constantBuffer(1000, 1000, 44100)), k_pass);
    Recorder ended;
    graph.fader().m_fadeEnded.insert(ended.handle);
    graph.fader().target = 0;
    graph.fader().fadeTime = 600;
    std::vector<int> levels;
    for (int pass = 0; pass < 18; ++pass) {
        graph.root.mix(0, k_pass);
        levels.push_back(graph.fader().current);
    }
    // 600 ms over passes of 37.0068 ms: a step of -16384 / 16.2132, truncated.
    EXPECT_EQ(graph.fader().step, -1010);
    for (int pass = 0; pass < 16; ++pass)
        EXPECT_EQ(levels[pass], 16384 - 1010 * (pass + 1)) << pass;
    EXPECT_EQ(levels[16], 0);
    EXPECT_EQ(levels[17], 0);
    EXPECT_EQ(ended.notified, std::vector<std::intptr_t>{0});
    EXPECT_EQ(graph.fader().fadeTime, 0);
}

TEST(FMixGraphTest, AFadeTooSlowForOneStepPerPassMovesOneUnitAPassAndEnds)
{
    // 10 minutes for a change of 4: the step truncates to 0, so each pass
    // moves the level by one unit towards the target instead.
    struct Case
    {
        int from, to;
    } const cases[] = {{16384, 16380}, {16380, 16384}, {0, 3}, {3, 0}};
    for (const Case& c : cases) {
        OneChannel graph(makeSource(constantBuffer(1000, 1000, 44100)), k_pass);
        Recorder ended;
        graph.fader().m_fadeEnded.insert(ended.handle);
        graph.fader().current = c.from;
        graph.fader().target = c.to;
        graph.fader().fadeTime = 600000;
        std::vector<int> levels;
        for (int pass = 0; pass < 8 && graph.fader().fadeTime != 0; ++pass) {
            graph.root.mix(0, k_pass);
            levels.push_back(graph.fader().current);
        }
        const int direction = c.to > c.from ? 1 : -1;
        std::vector<int> expected;
        for (int level = c.from + direction; level != c.to + direction; level += direction)
            expected.push_back(level);
        EXPECT_EQ(levels, expected) << c.from << " to " << c.to;
        EXPECT_EQ(graph.fader().step, direction);
        EXPECT_EQ(graph.fader().fadeTime, 0);
        EXPECT_EQ(ended.notified, std::vector<std::intptr_t>{c.to >> 8});
    }
}

TEST(FMixGraphTest, ReplacingASoundingSourceRampsItsLastFrameOut)
{
    OneChannel graph(makeSource(constantBuffer(8000, -8000, 1000)), 64);
    graph.root.mix(0, 16);
    EXPECT_EQ(graph.fader().lastLeft, 7999);
    EXPECT_EQ(graph.fader().lastRight, -8000);
    graph.bus.setChannelSource(graph.index, makeSource(constantBuffer(0, 0, 1000)), graph.lock);
    EXPECT_EQ(graph.fader().ramp, 32);
    graph.root.mix(0, 40);
    const std::vector<std::int16_t> out = graph.root.samples();
    for (int k = 0; k < 40; ++k) {
        const int ramp = k < 32 ? 32 - k : 0;
        EXPECT_EQ(out[2 * k], (7999 * ramp >> 5) * 3840 >> 12) << k;
        EXPECT_EQ(out[2 * k + 1], (-8000 * ramp >> 5) * 3840 >> 12) << k;
    }
    // A silent channel has nothing to ramp out.
    graph.bus.setChannelSource(graph.index, makeSource(constantBuffer(0, 0, 100)), graph.lock);
    EXPECT_EQ(graph.fader().ramp, 0);
}

TEST(FMixGraphTest, SlotsKeepTheirIndicesAndFreedOnesAreReusedFromTheEnd)
{
    FAudioBus bus;
    EXPECT_EQ(bus.addChannels(0), -1);
    EXPECT_EQ(bus.addChannels(4), 3);
    FRefT<FAudioBusSlot> second = bus.getChild(1);
    EXPECT_EQ(bus.indexOf(second), 1);
    bus.removeChild(1);
    bus.removeChild(2);
    EXPECT_EQ(bus.indexOf(second), -1);
    EXPECT_EQ(bus.addChannels(1), 2);
    EXPECT_EQ(bus.addChannels(1), 1);
    EXPECT_EQ(bus.addChannels(1), 4);
    EXPECT_EQ(bus.slotCount(), 5);
}

TEST(FMixGraphTest, ARoutedBusIsScaledByTheChannelItPlaysIn)
{
    FMutex lock;
    FAudioBus root;
    Root output(32, root);
    FRefT<FAudioNode> sub = makeRef<FAudioNode>(engineNew<FAudioBus>(k_memObject));
    auto& subBus = static_cast<FAudioBus&>(*sub);
    const int routing = root.addChannels(1);
    root.setChannelSource(routing, sub, lock);
    const int inner = subBus.addChannels(1);
    subBus.setChannelSource(inner, makeSource(constantBuffer(1000, 1000, 100)), lock);
    root.getChild(routing)->context.fader()->current = 32 * 256;
    output.mix(0, 8);
    // 1000 -> 999 (interpolation), half volume 499, two buses at 60/64.
    EXPECT_EQ(output.samples()[0], (499 * 3840 >> 12) * 3840 >> 12);
}

} // namespace
