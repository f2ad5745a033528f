#include "KitDecodeSupport.h"
#include "engine/core/KernelTestSupport.h"
#include "tools/audiowriters/GwSampleWriter.h"
#include "tools/audiowriters/VorbisWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class KitDecodeSoundTest : public ::testing::Test
{
protected:
    ScratchFolder m_scratch;
};

uint32_t little(const std::string& bytes, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

std::vector<int16_t> wavSamples(const std::string& wav)
{
    std::vector<int16_t> out;
    for (size_t at = 44; at + 1 < wav.size(); at += 2)
        out.push_back(static_cast<int16_t>(little(wav, at, 2)));
    return out;
}

std::vector<int16_t> wave(int frames, int channels)
{
    std::vector<int16_t> out;
    for (int k = 0; k < frames; ++k)
        for (int c = 0; c < channels; ++c)
            out.push_back(static_cast<int16_t>(9000 * std::sin(0.02 * k * (c + 1))));
    return out;
}

TEST_F(KitDecodeSoundTest, SoundsBecomeWavsWithTheirLoopOnStandardOutput)
{
    struct Case
    {
        const char* name;
        std::vector<uint8_t> file;
        int channels, rate, frames;
        std::string stdoutText;
        std::vector<int16_t> samples; // empty: not checked sample for sample
    };
    const GwSampleSpec looping{2, 22050, true, true, false, 100, 300};
    const GwSampleSpec plain{1, 11025, false, false, false, 0, 0};
    VorbisSpec vorbis;
    vorbis.channels = 2;
    vorbis.rate = 32000;
    vorbis.loops = true;
    vorbis.loopStart = 44100;
    vorbis.loopLength = 88200;
    const Case cases[] = {
        {"a.gwsample", writeGwSample(looping, wave(1000, 2)), 2, 22050, 1000, "loop 100 300\n",
         gwSampleReconstruction(looping, wave(1000, 2))},
        {"b.GWSample", writeGwSample(plain, wave(777, 1)), 1, 11025, 777, "",
         gwSampleReconstruction(plain, wave(777, 1))},
        {"c.vorbis", writeVorbis(vorbis, wave(4000, 2)), 2, 32000, 4000, "loop 44100 88200\n", {}},
    };
    for (const Case& c : cases) {
        spill(c.name, c.file);
        ASSERT_EQ(decode(c.name, "out.wav"), 0) << c.name << slurp("err.txt");
        EXPECT_EQ(slurp("out.txt"), c.stdoutText) << c.name;
        const std::string wav = slurp("out.wav");
        ASSERT_GE(wav.size(), 44u);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(little(wav, 20, 2), 1u);                   // PCM
        EXPECT_EQ(little(wav, 22, 2), uint32_t(c.channels)); // channels
        EXPECT_EQ(little(wav, 24, 4), uint32_t(c.rate));     // rate
        EXPECT_EQ(little(wav, 34, 2), 16u);                  // bits
        EXPECT_EQ(little(wav, 40, 4), uint32_t(c.frames * c.channels * 2)) << c.name;
        EXPECT_EQ(wav.size(), 44u + c.frames * c.channels * 2);
        if (!c.samples.empty()) {
            EXPECT_EQ(wavSamples(wav), c.samples) << c.name;
        }
    }
}

TEST_F(KitDecodeSoundTest, ExitCodes)
{
    std::vector<uint8_t> damaged = writeGwSample(GwSampleSpec{}, wave(100, 1));
    damaged[3] = 3; // version 3
    spill("damaged.gwsample", damaged);
    EXPECT_EQ(decode("damaged.gwsample", "x.wav"), 1);
    EXPECT_NE(slurp("err.txt").find("version (3) == 4)"), std::string::npos) << slurp("err.txt");
    EXPECT_FALSE(fs::exists("x.wav"));
    spill("empty.vorbis", {});
    EXPECT_EQ(decode("empty.vorbis", "x.wav"), 1);
    EXPECT_EQ(decode("missing.vorbis", "x.wav"), 1);
    spill("sound.wav", {1, 2, 3});
    EXPECT_EQ(decode("sound.wav", "x.wav"), 2);
}

} // namespace
