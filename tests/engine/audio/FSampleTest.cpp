#include "SampleTestSupport.h"
#include "engine/core/KernelTestSupport.h"

#include "asset/FAssetStream.h"
#include "audio/FAudioGWSampleModule.h"
#include "audio/FAudioStreamTask.h"
#include "audio/FGwSampleReader.h"
#include "audio/FImaAdpcm.h"
#include "audio/FSample.h"
#include "core/FDebug.h"
#include "core/FSemaphore.h"
#include "core/FUtilPlatform.h"
#include "tools/audiowriters/GwSampleWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace audiotest;

namespace {

std::vector<uint8_t> header(uint32_t version, uint32_t pcmBytes, uint32_t flags, uint32_t rate)
{
    std::vector<uint8_t> out;
    for (uint32_t v : {version, pcmBytes, flags, rate, 0u, 0u})
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<uint8_t>(v >> shift));
    return out;
}

std::string failureOf(const std::vector<uint8_t>& bytes)
{
    RecordingErrorHandler handler;
    try {
        FGwSampleReader::parseHeader(bytes.data());
    } catch (const FDebug::VellumcoreException& e) {
        return e.what();
    }
    return "";
}

TEST(FGwSampleTest, MonoNibblesHighFirstAndTheLastLowNibbleUnused)
{
    FAudioGWSampleModule loader;
    std::vector<uint8_t> file = header(4, 10, 0, 22050);
    file.insert(file.end(), {0x71, 0xF0, 0x4A});
    FRefT<FSample> sample = loadSample(loader, file);
    ASSERT_TRUE(sample->isLoaded());
    EXPECT_EQ(decoded(*sample), (std::vector<int16_t>{11, 17, -8, -5, 26}));
    EXPECT_EQ(sample->data()->channels(), 1);
    EXPECT_EQ(sample->data()->rate(), 22050.0f);
}

TEST(FGwSampleTest, MidSideBecomesLeftRightSaturated)
{
    std::vector<int16_t> frames = {10, 4, 30000, 10000, -30000, 10000};
    FImaAdpcm::midSideToLeftRight(frames.data(), 3);
    EXPECT_EQ(frames, (std::vector<int16_t>{14, 6, 32767, 20000, -20000, -32768}));
}

TEST(FGwSampleTest, DamagedHeadersFail)
{
    struct Case
    {
        std::vector<uint8_t> bytes;
        const char* text;
    } cases[] = {
        {header(3, 10, 0, 22050), "version (3) == 4)"},
        {header(4, 10, 0, 0), "rate (0)"},
        {header(4, 0xFFFFFFFFu, 0, 22050), "pcmBytes (4294967295)"},
    };
    for (const Case& c : cases)
        EXPECT_NE(failureOf(c.bytes).find(c.text), std::string::npos) << c.text << ": " << failureOf(c.bytes);
    EXPECT_EQ(failureOf(header(4, 10, 0, 22050)), "");
}

TEST(FGwSampleTest, DataShorterThanTheHeaderSaysFailsBeforeAllocating)
{
    RecordingErrorHandler handler;
    FAudioGWSampleModule loader;
    std::vector<uint8_t> file = header(4, 0x7FFFFFF0u, 4, 44100);
    file.insert(file.end(), 100, 0x11);
    EXPECT_TRUE(loadSample(loader, file)->hasFailed());
    file = header(4, 10, 0, 44100);
    file.push_back(0x11); // 5 frames need 3 bytes
    EXPECT_TRUE(loadSample(loader, file)->hasFailed());
}

TEST(FGwSampleTest, WriterRoundTripsThroughTheLoader)
{
    struct Case
    {
        GwSampleSpec spec;
        int frames;
    } cases[] = {
        {{1, 22050, false, false, false, 0, 0}, 1001},
        {{2, 44100, false, true, true, 100, 400}, 1000},
        {{2, 32000, true, true, false, 0, 999}, 999},
    };
    FAudioGWSampleModule loader;
    for (const Case& c : cases) {
        const std::vector<int16_t> original = sine(c.frames, c.spec.channels, 12000);
        FRefT<FSample> sample = loadSample(loader, writeGwSample(c.spec, original));
        ASSERT_TRUE(sample->isLoaded()) << c.spec.channels;
        const std::vector<int16_t> got = decoded(*sample);
        EXPECT_EQ(got, gwSampleReconstruction(c.spec, original));
        ASSERT_EQ(got.size(), original.size());
        // ADPCM is lossy, but a smooth wave stays close once the step adapted.
        for (size_t k = 200; k < got.size(); ++k)
            ASSERT_NEAR(got[k], original[k], 700) << k;
        EXPECT_EQ(sample->data()->channels(), c.spec.channels);
        EXPECT_EQ(sample->data()->rate(), static_cast<float>(c.spec.rate));
        EXPECT_EQ(sample->loops(), c.spec.loops);
        EXPECT_EQ(sample->secondFlag(), c.spec.secondFlag);
        EXPECT_EQ(sample->loopStart(), static_cast<int>(c.spec.loopStart));
        EXPECT_EQ(sample->loopLength(), static_cast<int>(c.spec.loopLength));
    }
}

// Seeks forward, back, to an odd frame (the low nibble of a byte), back to
// where the last seek arrived and to the start, each followed by frames equal
// to the full decode's.
TEST(FGwSampleTest, SeekGoesOnAsTheFullDecodeDoes)
{
    for (const int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        const GwSampleSpec spec{channels, 44100, channels == 2, false, false, 0, 0};
        const int frames = 40000;
        const std::vector<uint8_t> file = writeGwSample(spec, sine(frames, channels, 9000));
        const FGwSampleReader::Header header = FGwSampleReader::parseHeader(file.data());
        std::vector<int16_t> whole(static_cast<size_t>(frames * channels));
        FGwSampleReader(header, bytesReader(file, FGwSampleReader::k_headerBytes))
            .decode(whole.data(), frames);

        FGwSampleReader reader(header, bytesReader(file, FGwSampleReader::k_headerBytes));
        constexpr int k_run = 700;
        for (const int target : {30001, 12000, 12000, 12001, 25000, 0, 39300}) {
            reader.seek(target);
            ASSERT_EQ(reader.frame(), target);
            std::vector<int16_t> got(static_cast<size_t>(k_run * channels));
            reader.decode(got.data(), k_run);
            EXPECT_TRUE(std::equal(got.begin(), got.end(), whole.begin() + target * channels)) << target;
        }
    }
}

FRefT<FAudioBuffer> rampBuffer(int frames)
{
    std::vector<int16_t> samples;
    for (int k = 0; k < frames; ++k)
        samples.push_back(static_cast<int16_t>(k));
    return makeBuffer(samples, 1);
}

TEST(FSampleVoiceTest, LoopModesAndPitchStepsPickTheseFrames)
{
    struct Case
    {
        int loopMode, loopStart, loopEnd, note;
        std::vector<int> frames; // source frame of each output frame
    } cases[] = {
        {FVoiceState::k_noLoop, -1, -1, 48, {0, 1, 2, 3, 4, 5, 6, 7}},
        {FVoiceState::k_noLoop, -1, -1, 60, {0, 2, 4, 6, 8, 10, 12, 14}}, // step 131072
        {FVoiceState::k_loop, 2, 4, 48, {0, 1, 2, 3, 4, 2, 3, 4, 2, 3}},
        {FVoiceState::k_pingPong, 2, 5, 48, {0, 1, 2, 3, 4, 5, 4, 3, 2, 3, 4, 5, 4}},
    };
    for (const Case& c : cases) {
        auto* sample = engineNew<FSample>(k_memObject);
        FRefT<FSample> handle(FAsset::handleFor(sample));
        sample->setData(rampBuffer(100));
        const int count = static_cast<int>(c.frames.size());
        VoiceRig rig(asNode(handle), count);
        FVoiceState* voice = rig.context.voice();
        voice->loopMode = c.loopMode;
        voice->loopStart = c.loopStart;
        voice->loopEnd = c.loopEnd;
        voice->note = c.note;
        const std::vector<int> left = rig.mixLeft(count);
        for (int k = 0; k < count; ++k)
            EXPECT_EQ(left[k], c.frames[k] * 65535 >> 16)
                << "mode " << c.loopMode << " note " << c.note << " frame " << k;
    }
}

TEST(FSampleVoiceTest, ASampleWithoutContentEndsAtOnceAndTellsItsListeners)
{
    auto* sample = engineNew<FSample>(k_memObject);
    FRefT<FSample> handle(FAsset::handleFor(sample));
    VoiceRig rig(asNode(handle), 64);
    Recorder ended;
    rig.context.voice()->m_ended.insert(ended.handle);
    const std::vector<int> left = rig.mixLeft(64);
    ASSERT_EQ(ended.notified.size(), 1u);
    EXPECT_EQ(ended.notified[0], reinterpret_cast<std::intptr_t>(sample));
    EXPECT_EQ(left, std::vector<int>(64, 0));
    rig.mixLeft(64);
    EXPECT_EQ(ended.notified.size(), 1u);
}

TEST(FSampleStreamTest, StreamedPlaybackEqualsTheFullDecode)
{
    struct Case
    {
        GwSampleSpec spec;
        int frames;
    } cases[] = {
        {{1, 44100, false, false, false, 0, 0}, 50001}, // three chunks of 22050 frames at most
        {{2, 20000, true, false, false, 0, 0}, 40000},  // chunks of 16384 frames
    };
    FAudioGWSampleModule loader;
    for (const Case& c : cases) {
        const std::vector<uint8_t> file = writeGwSample(c.spec, sine(c.frames, c.spec.channels, 9000));
        FRefT<FSample> whole = loadSample(loader, file);
        FRefT<FSample> streamed = loadSample(loader, file, true);
        ASSERT_TRUE(streamed->isStreamed());
        ASSERT_EQ(streamed->data(), nullptr);
        Recorder endedWhole, endedStreamed;
        const int spans = static_cast<int>(int64_t{c.frames} * 44100 / c.spec.rate / 1000) + 3;
        EXPECT_EQ(playAll(streamed, spans, 1000, endedStreamed), playAll(whole, spans, 1000, endedWhole));
        EXPECT_EQ(endedStreamed.notified.size(), 1u) << c.spec.channels;
        EXPECT_EQ(endedWhole.notified.size(), 1u) << c.spec.channels;
    }
}

TEST(FSampleStreamTest, AnUnderrunIsSilenceAndTheVoiceGoesOn)
{
    auto* sample = engineNew<FSample>(k_memObject);
    FRefT<FSample> handle(FAsset::handleFor(sample));
    FSemaphore go;
    sample->setStreamDecoder(
        [&go](FAudioStreamTask& task) {
            FUtilPlatform::wait(&go, FUtilPlatform::k_infinite);
            FRefT<FAudioBuffer>* entry = task.nextEntry();
            if (entry == nullptr) return;
            *entry = rampBuffer(1000);
            task.deliver();
            task.stop();
        },
        FRefT<FInStream>());
    VoiceRig rig(asNode(handle), 100);
    Recorder ended;
    rig.context.voice()->m_ended.insert(ended.handle);
    EXPECT_EQ(rig.mixLeft(100), std::vector<int>(100, 0));
    EXPECT_TRUE(ended.notified.empty());
    go.release();
    FAudioStreamTask* task = rig.context.voice()->streamTask.get();
    ASSERT_TRUE(eventually([&] { return task->ready() > 0; }));
    const std::vector<int> left = rig.mixLeft(100);
    EXPECT_EQ(left[10], 10 * 65535 >> 16);
    EXPECT_TRUE(ended.notified.empty());
}

TEST(FSampleStreamTest, AWholeFileLoopStartsTheNextPassInItsFirstChunk)
{
    GwSampleSpec spec{1, 44100, false, true, false, 0, 30000};
    FAudioGWSampleModule loader;
    const std::vector<uint8_t> file = writeGwSample(spec, sine(30000, 1, 9000));
    FRefT<FSample> whole = loadSample(loader, file);
    FRefT<FSample> streamed = loadSample(loader, file, true);
    Recorder endedWhole, endedStreamed;
    EXPECT_EQ(playAll(streamed, 100, 1000, endedStreamed), playAll(whole, 100, 1000, endedWhole));
    EXPECT_TRUE(endedStreamed.notified.empty());
}

// A loop that starts after frame 0 and spans several chunks: the decoder must
// go on from the loop start, not from the start of the file, every pass.
TEST(FSampleStreamTest, ALoopAfterTheStartPlaysAsTheFullDecodeOverTwoPasses)
{
    struct Case
    {
        int channels;
        bool midSide;
    } cases[] = {{1, false}, {2, false}, {2, true}};
    FAudioGWSampleModule loader;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channels);
        // 44.1 kHz: chunks of 22050 frames; the loop covers parts of four.
        const GwSampleSpec spec{c.channels, 44100, c.midSide, true, false, 30001, 50000};
        const std::vector<uint8_t> file = writeGwSample(spec, sine(100000, c.channels, 9000));
        expectStreamedLoopEqualsWhole(loader, file, 30001, 50000);
    }
}

} // namespace
