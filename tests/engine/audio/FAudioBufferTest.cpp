#include "AudioTestSupport.h"

#include "audio/FAudioFrame.h"
#include "audio/FVolumeFader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace audiotest;

namespace {

TEST(FAudioBufferTest, EightBitSamplesWidenByByteReplication)
{
    const std::vector<std::int8_t> samples{127, -1, -128, 0, 1};
    const std::vector<int> widened{32639, -1, -32640, 0, 257};
    FRefT<FAudioBuffer> buffer = makeBuffer(samples, 1);
    const std::uint8_t* pointer = buffer->frameAddress(0);
    for (int expected : widened) {
        FAudioFrame frame;
        buffer->readFrame(pointer, frame);
        EXPECT_EQ(frame.left, expected);
        EXPECT_EQ(frame.right, expected);
    }
    EXPECT_EQ(pointer, buffer->frameAddress(5));
}

// One frame written through each format's writer, with saturation.
struct WriteCase
{
    FAudioBuffer::Kind kind;
    int channels;
    FAudioFrame in;
    std::vector<int> stored;
    int lastLeft, lastRight;
};

std::vector<int> storedValues(const FAudioBuffer& buffer)
{
    std::vector<int> out;
    for (int side = 0; side < buffer.channels(); ++side) {
        if (buffer.kind() == FAudioBuffer::k_int8) out.push_back(contents<std::int8_t>(buffer)[side]);
        if (buffer.kind() == FAudioBuffer::k_int16) out.push_back(contents<std::int16_t>(buffer)[side]);
        if (buffer.kind() == FAudioBuffer::k_int32) out.push_back(contents<std::int32_t>(buffer)[side]);
    }
    return out;
}

TEST(FAudioBufferTest, WriteFrameConvertsAndSaturatesPerFormat)
{
    const WriteCase cases[] = {
        {FAudioBuffer::k_int16, 2, {40000, -40000}, {32767, -32767}, 32767, -32767},
        {FAudioBuffer::k_int16, 2, {-32768, 5}, {-32767, 5}, -32767, 5},
        {FAudioBuffer::k_int8, 2, {32768, -40000}, {127, -127}, 127, -127},
        {FAudioBuffer::k_int8, 2, {256, -257}, {1, -2}, 1, -2},
        {FAudioBuffer::k_int16, 1, {30000, 30000}, {30000}, 15000, 30000},
        {FAudioBuffer::k_int16, 1, {40000, 40000}, {32767}, 20000, 32767},
        {FAudioBuffer::k_int16, 1, {-3, 0}, {-2}, -2, -2},
        {FAudioBuffer::k_int8, 1, {32767, 32767}, {126}, 63, 126},
        {FAudioBuffer::k_int8, 1, {-32768, -32768}, {-127}, -64, -127},
        {FAudioBuffer::k_int32, 1, {70000, 70000}, {32767}, 35000, 32767},
        {FAudioBuffer::k_int32, 2, {100000, -100000}, {100000, -100000}, 100000, -100000},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << c.kind << " channels " << c.channels << " in " << c.in.left);
        FRefT<FAudioBuffer> buffer = FAudioBuffer::make(c.kind, c.channels, 44100.0f, 2);
        FAudioFrame frame = c.in;
        FAudioSpan span;
        span.reset(0, 2);
        span.frame = &frame;
        buffer->writeFrame(span);
        EXPECT_EQ(storedValues(*buffer), c.stored);
        EXPECT_EQ(buffer->m_lastLeft, c.lastLeft);
        EXPECT_EQ(buffer->m_lastRight, c.lastRight);
        EXPECT_EQ(span.done, 1);
        EXPECT_EQ(span.cursor, buffer->frameAddress(1));
    }
}

TEST(FAudioBufferTest, DeclickRampAddsTheLastFrameFadingOverThirtyTwoFrames)
{
    FRefT<FAudioBuffer> buffer = FAudioBuffer::make(FAudioBuffer::k_int32, 2, 44100.0f, 40);
    FVolumeFader fader;
    fader.ramp = FVolumeFader::k_rampFrames;
    fader.lastLeft = 3200;
    fader.lastRight = -3200;
    buffer->m_fader = &fader;
    FAudioFrame frame{10, 10};
    FAudioSpan span;
    span.reset(0, 40);
    span.frame = &frame;
    for (int k = 0; k < 40; ++k)
        buffer->writeFrame(span);
    const std::vector<std::int32_t> out = contents<std::int32_t>(*buffer);
    for (int k = 0; k < 40; ++k) {
        const int ramp = k < 32 ? 32 - k : 0;
        EXPECT_EQ(out[2 * k], 10 + (3200 * ramp >> 5)) << k;
        EXPECT_EQ(out[2 * k + 1], 10 + (-3200 * ramp >> 5)) << k;
    }
    EXPECT_EQ(fader.ramp, 0);
}

// mixCopy and mixAdd of a full-scale stereo source with a gain record.
struct MixCase
{
    FAudioBuffer::Kind kind;
    int channels;
    int baseVolume;
    bool add;
    std::vector<int> before; // the destination's first frame before the mix
    std::vector<int> after;
};

TEST(FAudioBufferTest, MixCopyAndAddApplyTwelveBitGainsAndSaturate)
{
    const MixCase cases[] = {
        {FAudioBuffer::k_int16, 2, 64, false, {0, 0}, {32767, -32767}},
        {FAudioBuffer::k_int16, 2, 64, true, {30000, 1000}, {32767, -31768}},
        {FAudioBuffer::k_int16, 2, 60, false, {0, 0}, {30719, -30720}},
        {FAudioBuffer::k_int8, 2, 64, false, {0, 0}, {127, -127}},
        {FAudioBuffer::k_int8, 2, 64, true, {-100, -100}, {27, -127}},
        {FAudioBuffer::k_int16, 1, 64, false, {0}, {-1}},
        {FAudioBuffer::k_int16, 1, 64, true, {5}, {4}},
        {FAudioBuffer::k_int32, 2, 64, true, {1 << 20, 0}, {(1 << 20) + 32767, -32768}},
        {FAudioBuffer::k_int8, 1, 64, false, {0}, {-1}},
    };
    FRefT<FAudioBuffer> source = makeBuffer(std::vector<std::int32_t>{32767, -32768}, 2);
    for (const MixCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << c.kind << " channels " << c.channels << " add " << c.add);
        FRefT<FAudioBuffer> dest = FAudioBuffer::make(c.kind, c.channels, 44100.0f, 1);
        for (int side = 0; side < c.channels; ++side) {
            if (c.kind == FAudioBuffer::k_int8)
                dest->frameAddress(0)[side] = static_cast<std::uint8_t>(c.before[side]);
            if (c.kind == FAudioBuffer::k_int16)
                reinterpret_cast<std::int16_t*>(dest->frameAddress(0))[side] =
                    static_cast<std::int16_t>(c.before[side]);
            if (c.kind == FAudioBuffer::k_int32)
                reinterpret_cast<std::int32_t*>(dest->frameAddress(0))[side] = c.before[side];
        }
        FVoiceState gain;
        gain.baseVolume = c.baseVolume;
        const FAudioSpan span{0, 1};
        if (c.add)
            dest->mixAdd(span, *source, gain);
        else
            dest->mixCopy(span, *source, gain);
        EXPECT_EQ(storedValues(*dest), c.after);
    }
}

TEST(FAudioBufferTest, SilentMarksAreReadAsZero)
{
    FRefT<FAudioBuffer> source = makeBuffer(std::vector<std::int32_t>{1000, 1000, 1000, 1000}, 2);
    FVoiceState gain;
    const std::vector<std::int16_t> filled{7, 7, 7, 7, 7, 7, 7, 7};

    // Adding a silent source changes nothing; copying it silences the span.
    FRefT<FAudioBuffer> dest = makeBuffer(filled, 2);
    source->m_silent = true;
    dest->mixAdd(FAudioSpan{1, 2}, *source, gain);
    EXPECT_EQ(contents<std::int16_t>(*dest), filled);
    dest->mixCopy(FAudioSpan{1, 2}, *source, gain);
    EXPECT_EQ(contents<std::int16_t>(*dest), (std::vector<std::int16_t>{7, 7, 0, 0, 0, 0, 7, 7}));
    EXPECT_FALSE(dest->m_silent);
    // Over the whole buffer only the mark is set.
    dest->mixCopy(FAudioSpan{0, 4}, *source, gain);
    EXPECT_TRUE(dest->m_silent);
    EXPECT_EQ(contents<std::int16_t>(*dest)[0], 7);

    // A destination marked silent gets zeros around the span and the mark goes.
    source->m_silent = false;
    dest->mixAdd(FAudioSpan{1, 2}, *source, gain);
    EXPECT_FALSE(dest->m_silent);
    EXPECT_EQ(contents<std::int16_t>(*dest), (std::vector<std::int16_t>{0, 0, 1000, 1000, 1000, 1000, 0, 0}));

    // A gain of 0 adds nothing.
    gain.baseVolume = 0;
    dest->mixAdd(FAudioSpan{0, 4}, *source, gain);
    EXPECT_EQ(contents<std::int16_t>(*dest)[2], 1000);
}

TEST(FAudioBufferTest, FinishSpanZeroesWhatWasNotWritten)
{
    FRefT<FAudioBuffer> dest = makeBuffer(std::vector<std::int16_t>(8, 9), 2);
    FAudioSpan span;
    span.reset(0, 4);
    span.done = 1;
    dest->m_lastLeft = 5;
    dest->finishSpan(span);
    EXPECT_EQ(contents<std::int16_t>(*dest), (std::vector<std::int16_t>{9, 9, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(span.done, 4);
    EXPECT_EQ(dest->m_lastLeft, 0);
    EXPECT_FALSE(dest->m_silent);

    span.reset(0, 4);
    dest->finishSpan(span);
    EXPECT_TRUE(dest->m_silent);
}

// The frames a voice fetches, one after the other.
std::vector<int> fetchSequence(FAudioBuffer& buffer, FVoiceState& voice, int count)
{
    std::vector<int> out;
    FAudioFrame frame;
    voice.outFrame = &frame;
    for (int n = 0; n < count; ++n) {
        buffer.fetchVoice(voice);
        out.push_back(frame.left);
    }
    voice.outFrame = nullptr;
    return out;
}

FRefT<FAudioBuffer> rampBuffer(int frames)
{
    std::vector<std::int16_t> samples;
    for (int k = 0; k < frames; ++k)
        samples.push_back(static_cast<std::int16_t>(k));
    return makeBuffer(samples, 1);
}

TEST(FAudioBufferTest, FetchVoiceAppliesGainsPerSide)
{
    FRefT<FAudioBuffer> buffer = makeBuffer(std::vector<std::int16_t>{1000, -2000}, 2);
    struct Case
    {
        int gainLeft, gainRight;
        FAudioFrame expected;
        bool silent;
    } cases[] = {
        {4096, 4096, {1000, -2000}, false},
        {0, 4096, {0, -2000}, false},
        {2048, 8192, {500, -4000}, false},
        {0, 0, {0, 0}, true},
    };
    for (const Case& c : cases) {
        FVoiceState voice;
        voice.gainLeft = c.gainLeft;
        voice.gainRight = c.gainRight;
        FAudioFrame frame{1, 1};
        voice.outFrame = &frame;
        EXPECT_FALSE(buffer->fetchVoice(voice)); // one frame: the next step leaves it
        EXPECT_EQ(frame.left, c.expected.left);
        EXPECT_EQ(frame.right, c.expected.right);
        EXPECT_EQ(voice.silent, c.silent);
        EXPECT_EQ(voice.position, 1); // silent or not, the voice advances
    }
}

TEST(FAudioBufferTest, LoopsPlayTheirEndsInclusively)
{
    FRefT<FAudioBuffer> buffer = rampBuffer(40);
    FVoiceState loop;
    loop.gainLeft = loop.gainRight = 4096;
    loop.position = 18;
    loop.loopMode = FVoiceState::k_loop;
    loop.loopStart = 10;
    loop.loopEnd = 20;
    EXPECT_EQ(fetchSequence(*buffer, loop, 16),
              (std::vector<int>{18, 19, 20, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 10, 11}));

    FVoiceState pingPong = loop;
    pingPong.loopMode = FVoiceState::k_pingPong;
    pingPong.position = 18;
    pingPong.readPointer = nullptr;
    pingPong.loopStartPointer = nullptr;
    EXPECT_EQ(fetchSequence(*buffer, pingPong, 18),
              (std::vector<int>{18, 19, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 11, 12, 13, 14, 15}));

    // Released while moving forward: the voice runs on past the loop end.
    FVoiceState released = loop;
    released.position = 19;
    released.readPointer = nullptr;
    released.released = true;
    EXPECT_EQ(fetchSequence(*buffer, released, 4), (std::vector<int>{19, 20, 21, 22}));
}

TEST(FAudioBufferTest, SkipVoiceFollowsTheLoopAndStopsOutsideTheBuffer)
{
    FRefT<FAudioBuffer> buffer = rampBuffer(40);
    FVoiceState voice;
    voice.gainLeft = voice.gainRight = 4096;
    voice.loopMode = FVoiceState::k_loop;
    voice.loopStart = 10;
    voice.loopEnd = 20;
    EXPECT_TRUE(buffer->skipVoice(voice, 25)); // 0..20 is 21 steps, then 10..13
    EXPECT_EQ(voice.position, 14);
    EXPECT_EQ(fetchSequence(*buffer, voice, 1), std::vector<int>{14});

    FVoiceState plain;
    plain.gainLeft = plain.gainRight = 4096;
    plain.position = 35;
    EXPECT_FALSE(buffer->skipVoice(plain, 10));
    EXPECT_EQ(plain.position, 40);
}

} // namespace
