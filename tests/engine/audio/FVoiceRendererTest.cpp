#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace audiotest;

namespace {

TEST(FVoiceRendererTest, PitchStepFollowsNoteFineTuneAndRates)
{
    struct Case
    {
        int note, fineTune;
        float sourceRate;
        int step;
    } cases[] = {
        {48, 0, 44100.0f, 65536}, {48, 0, 22050.0f, 32768},  {60, 0, 44100.0f, 131072},
        {36, 0, 44100.0f, 32768}, {47, 64, 44100.0f, 63670}, // 2^(-0.5/12)
        {48, 0, 48000.0f, 71331},
    };
    for (const Case& c : cases) {
        FVoiceState voice;
        voice.note = c.note;
        voice.fineTune = c.fineTune;
        EXPECT_EQ(FVoiceRenderer::pitchStep(voice, c.sourceRate, 44100.0f), c.step)
            << c.note << " " << c.fineTune << " " << c.sourceRate;
    }
}

FRefT<FAudioBuffer> rampSource(int frames, int scale, float rate = 44100.0f)
{
    std::vector<std::int16_t> samples;
    for (int k = 0; k < frames; ++k)
        samples.push_back(static_cast<std::int16_t>(k * scale));
    return makeBuffer(samples, 1, rate);
}

TEST(FVoiceRendererTest, HalfRateSourcesInterpolateBetweenFrames)
{
    VoiceRig rig(makeSource(rampSource(10, 1000, 22050.0f)), 6);
    // Weights t and 65535 - t: a whole frame comes out one below.
    EXPECT_EQ(rig.mixLeft(6), (std::vector<int>{0, 500, 999, 1499, 1999, 2499}));
}

TEST(FVoiceRendererTest, ALoopPlaysThroughOnceThenItsLoopForever)
{
    VoiceRig rig(makeSource(rampSource(1500, 1), true, 1000, 500), 3000);
    Recorder ended;
    rig.context.voice()->m_ended.insert(ended.handle);
    const std::vector<int> left = rig.mixLeft(3000);
    for (int k = 0; k < 3000; ++k) {
        const int frame = k < 1500 ? k : 1000 + (k - 1500) % 500;
        ASSERT_EQ(left[k], frame * 65535 >> 16) << k;
    }
    EXPECT_TRUE(ended.notified.empty());
}

TEST(FVoiceRendererTest, APlainSampleEndsOnceAndLeavesSilence)
{
    FRefT<FAudioNode> sample = makeSource(rampSource(100, 10));
    VoiceRig rig(sample, 200);
    Recorder ended;
    rig.context.voice()->m_ended.insert(ended.handle);
    std::vector<int> left = rig.mixLeft(200);
    ASSERT_EQ(ended.notified.size(), 1u);
    EXPECT_EQ(ended.notified[0], reinterpret_cast<std::intptr_t>(sample.get()));
    EXPECT_EQ(left[97], 970 * 65535 >> 16);
    for (int k = 98; k < 200; ++k)
        ASSERT_EQ(left[k], 0) << k;
    left = rig.mixLeft(200);
    EXPECT_EQ(ended.notified.size(), 1u);
    EXPECT_EQ(left[0], 0);
}

TEST(FVoiceRendererTest, ProgressListenersHearEachPass)
{
    VoiceRig rig(makeSource(rampSource(1000, 1)), 100);
    Recorder progress;
    rig.context.voice()->m_progress.insert(progress.handle);
    rig.mixLeft(100);
    rig.mixLeft(50);
    ASSERT_EQ(progress.progress.size(), 2u);
    EXPECT_EQ(progress.progress[0].before, 0);
    EXPECT_EQ(progress.progress[1].before, progress.progress[0].after);
    EXPECT_EQ(progress.progress[1].after - progress.progress[1].before, 50);
}

} // namespace
