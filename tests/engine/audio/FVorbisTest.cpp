#include "SampleTestSupport.h"
#include "engine/core/KernelTestSupport.h"

#include "audio/FAudioVorbisModule.h"
#include "audio/FVorbisDecoder.h"
#include "tools/audiowriters/VorbisWriter.h"

#include "VorbisFileReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace audiotest;

namespace {

// libvorbisfile's own float samples of the file, converted as the loader
// does: times 32767, saturated, truncated toward zero.
std::vector<int16_t> referenceDecode(const std::vector<uint8_t>& file, int& channels)
{
    VorbisFileCursor cursor{&file};
    OggVorbis_File vf;
    std::vector<int16_t> out;
    if (!openVorbisFile(vf, cursor)) return out;
    channels = ov_info(&vf, -1)->channels;
    float** pcm;
    int section;
    long frames;
    while ((frames = ov_read_float(&vf, &pcm, 4096, &section)) > 0)
        for (long i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c) {
                float v = pcm[c][i] * 32767.0f;
                v = v > 32767.0f ? 32767.0f : v < -32768.0f ? -32768.0f : v;
                out.push_back(static_cast<int16_t>(v));
            }
    ov_clear(&vf);
    return out;
}

std::string loadFailure(const std::vector<uint8_t>& file)
{
    RecordingErrorHandler handler;
    FAudioVorbisModule loader;
    FRefT<FSample> sample = loadSample(loader, file);
    if (!sample->hasFailed()) return "";
    return handler.texts.empty() ? "failed" : utf8(handler.texts.front());
}

TEST(FVorbisTest, WriterRoundTripsAndDecodesAsLibvorbisfileDoes)
{
    struct Case
    {
        int channels, rate, frames;
    } cases[] = {{1, 22050, 30000}, {2, 44100, 50000}};
    FAudioVorbisModule loader;
    for (const Case& c : cases) {
        VorbisSpec spec;
        spec.channels = c.channels;
        spec.rate = c.rate;
        const std::vector<uint8_t> file = writeVorbis(spec, sine(c.frames, c.channels, 12000));
        FRefT<FSample> sample = loadSample(loader, file);
        ASSERT_TRUE(sample->isLoaded()) << c.channels;
        int channels = 0;
        EXPECT_EQ(decoded(*sample), referenceDecode(file, channels));
        EXPECT_EQ(channels, c.channels);
        EXPECT_EQ(sample->data()->channels(), c.channels);
        EXPECT_EQ(sample->data()->rate(), static_cast<float>(c.rate));
        EXPECT_EQ(sample->data()->frames(), c.frames);
        EXPECT_FALSE(sample->loops());
    }
}

TEST(FVorbisTest, LoopCommentsGiveTheLoopOrFailTheLoad)
{
    struct Case
    {
        std::vector<std::string> comments;
        const char* failure; // "" when it loads
        bool loops;
        int start, length;
    } cases[] = {
        {{"loopstart=44100", "looplength=88200"}, "", true, 44100, 88200},
        {{"TITLE=no loop"}, "", false, 0, 0},
        {{"LOOPSTART=5", "LOOPLENGTH=5"}, "", false, 0, 0}, // the names are case-sensitive
        {{"looplength=88200"}, "Corrupted tags", false, 0, 0},
        {{"loopstart=1234567890", "looplength=5"}, "Invalid comment length", false, 0, 0},
        {{"loopstart=123456789", "looplength=5"}, "", true, 123456789, 5},
    };
    for (const Case& c : cases) {
        VorbisSpec spec;
        spec.channels = 1;
        spec.comments = c.comments;
        const std::vector<uint8_t> file = writeVorbis(spec, sine(2000, 1, 5000));
        const std::string failure = loadFailure(file);
        EXPECT_NE(failure.find(c.failure), std::string::npos) << c.comments[0] << ": " << failure;
        if (*c.failure != '\0') continue;
        FAudioVorbisModule loader;
        FRefT<FSample> sample = loadSample(loader, file);
        EXPECT_EQ(sample->loops(), c.loops) << c.comments[0];
        EXPECT_EQ(sample->loopStart(), c.start) << c.comments[0];
        EXPECT_EQ(sample->loopLength(), c.length) << c.comments[0];
    }
}

TEST(FVorbisTest, HeadersOverSeveralPagesLoadAndTruncatedFilesFail)
{
    VorbisSpec spec;
    spec.channels = 2;
    spec.comments = {"DESCRIPTION=" + std::string(30000, 'x')}; // the comment header spans pages
    spec.loops = true;
    spec.loopStart = 10;
    spec.loopLength = 100;
    const std::vector<uint8_t> file = writeVorbis(spec, sine(20000, 2, 8000));
    FAudioVorbisModule loader;
    FRefT<FSample> sample = loadSample(loader, file);
    ASSERT_TRUE(sample->isLoaded());
    EXPECT_EQ(sample->data()->frames(), 20000);
    EXPECT_EQ(sample->loopStart(), 10);

    // Cut inside the comment header: a failure, not a wait.
    EXPECT_NE(loadFailure(std::vector<uint8_t>(file.begin(), file.begin() + 9000)), "");
    EXPECT_NE(loadFailure(std::vector<uint8_t>(file.begin(), file.begin() + 20)), "");
    EXPECT_NE(loadFailure({}), "");
    // Cut inside the audio (anywhere before its last page): a failure, not a
    // shorter sound whose loop runs past its end.
    VorbisSpec plain;
    plain.loops = true;
    plain.loopStart = 0;
    plain.loopLength = 100000;
    // Seeded noise: it fills many pages, so a cut leaves whole pages before it.
    std::vector<int16_t> noise(120000);
    uint32_t seed = 12345;
    for (int16_t& value : noise) {
        seed = seed * 1664525u + 1013904223u;
        value = static_cast<int16_t>(seed >> 20) - 2048;
    }
    const std::vector<uint8_t> whole = writeVorbis(plain, noise);
    ASSERT_TRUE(loadSample(loader, whole)->isLoaded());
    for (const std::size_t kept : {whole.size() * 3 / 4, whole.size() - 1, whole.size() / 2}) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(kept));
        EXPECT_NE(loadFailure(cut).find("Ogg: Could not read more bytes"), std::string::npos) << kept;
    }
}

// A 16-bit PCM WAV of interleaved samples.
std::vector<uint8_t> wavFile(const std::vector<int16_t>& samples, int channels, int rate)
{
    std::vector<uint8_t> out;
    auto put = [&out](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    const auto bytes = static_cast<uint32_t>(samples.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put(36 + bytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(static_cast<uint32_t>(channels), 2);
    put(static_cast<uint32_t>(rate), 4);
    put(static_cast<uint32_t>(rate * channels * 2), 4);
    put(static_cast<uint32_t>(channels * 2), 2);
    put(16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(bytes, 4);
    for (int16_t v : samples)
        put(static_cast<uint16_t>(v), 2);
    return out;
}

TEST(FVorbisTest, AFileOfACommonEncoderDecodesAsLibvorbisfileDoes)
{
    if (std::system("command -v oggenc >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "oggenc (vorbis-tools) is not installed";
    ScratchFolder folder;
    const std::vector<uint8_t> wav = wavFile(sine(30000, 2, 10000), 2, 44100);
    std::ofstream("in.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
    ASSERT_EQ(std::system("oggenc -Q -q 3 -c loopstart=100 -c looplength=500 -o out.vorbis in.wav"), 0);
    std::ifstream in("out.vorbis", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FAudioVorbisModule loader;
    FRefT<FSample> sample = loadSample(loader, file);
    ASSERT_TRUE(sample->isLoaded());
    int channels = 0;
    EXPECT_EQ(decoded(*sample), referenceDecode(file, channels));
    EXPECT_EQ(sample->data()->frames(), 30000);
    EXPECT_EQ(sample->data()->channels(), 2);
    EXPECT_TRUE(sample->loops());
    EXPECT_EQ(sample->loopStart(), 100);
    EXPECT_EQ(sample->loopLength(), 500);
}

TEST(FVorbisTest, StreamedPlaybackEqualsTheFullDecode)
{
    VorbisSpec spec;
    spec.channels = 2;
    spec.rate = 44100;
    const std::vector<uint8_t> file = writeVorbis(spec, sine(60000, 2, 9000));
    FAudioVorbisModule loader;
    FRefT<FSample> whole = loadSample(loader, file);
    FRefT<FSample> streamed = loadSample(loader, file, true);
    ASSERT_TRUE(streamed->isStreamed());
    Recorder endedWhole, endedStreamed;
    EXPECT_EQ(playAll(streamed, 64, 1000, endedStreamed), playAll(whole, 64, 1000, endedWhole));
    EXPECT_EQ(endedStreamed.notified.size(), 1u);
}

// Seeks forward, back, into what the packet that ended the last seek still
// held, past it and to the start, each followed by frames equal to the full
// decode's.
TEST(FVorbisTest, SeekGoesOnAsTheFullDecodeDoes)
{
    for (const int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        VorbisSpec spec;
        spec.channels = channels;
        const std::vector<uint8_t> file = writeVorbis(spec, sine(60000, channels, 9000));
        std::vector<int16_t> whole;
        {
            FVorbisDecoder decoder(bytesReader(file));
            decoder.readHeaders();
            while (decoder.decode(whole, 1u << 30)) {
            }
        }
        FVorbisDecoder decoder(bytesReader(file));
        decoder.readHeaders();
        constexpr size_t k_run = 700;
        for (const int target : {30001, 30050, 31000, 12000, 0, 59000}) {
            decoder.seek(target);
            ASSERT_EQ(decoder.frame(), target);
            std::vector<int16_t> got;
            decoder.decode(got, k_run * channels);
            ASSERT_GE(got.size(), k_run * channels);
            EXPECT_TRUE(
                std::equal(got.begin(), got.begin() + k_run * channels, whole.begin() + target * channels))
                << target;
        }
    }
}

// A loop that starts after frame 0 and spans several chunks: the decoder must
// go on from the loop start, not from the start of the file, every pass.
TEST(FVorbisTest, AStreamedLoopAfterTheStartPlaysAsTheFullDecodeOverTwoPasses)
{
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        VorbisSpec spec;
        spec.channels = channels;
        spec.loops = true;
        spec.loopStart = 30001;
        spec.loopLength = 50000;
        const std::vector<uint8_t> file = writeVorbis(spec, sine(100000, channels, 9000));
        FAudioVorbisModule loader;
        expectStreamedLoopEqualsWhole(loader, file, 30001, 50000);
    }
}

} // namespace
