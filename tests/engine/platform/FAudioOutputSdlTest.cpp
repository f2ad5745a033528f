#include "platform/FAudioOutputSdl.h"
#include "EnvGuard.h"
#include "engine/audio/AudioTestSupport.h"

#include "audio/FAudioListener.h"
#include "audio/FAudioModule.h"
#include "audio/FAudioPlatform.h"
#include "audio/FSound.h"
#include "core/FMemory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Selects SDL's disk driver, writing as fast as it is fed, for one test.
class DiskAudio
{
public:
    ~DiskAudio() { std::remove(path.c_str()); }
    std::vector<std::int16_t> samples() const
    {
        std::ifstream in(path, std::ios::binary);
        std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::vector<std::int16_t> out(bytes.size() / 2);
        std::memcpy(out.data(), bytes.data(), out.size() * 2);
        return out;
    }

    const std::string path = "/tmp/zibbo-audio-" + std::to_string(getpid()) + ".raw";

private:
    EnvGuard m_driver{"SDL_AUDIODRIVER", "disk"};
    EnvGuard m_file{"SDL_DISKAUDIOFILE", path.c_str()};
    EnvGuard m_delay{"SDL_DISKAUDIODELAY", "0"};
};

TEST(FAudioOutputSdlTest, AToneReachesTheDiskDeviceSampleForSample)
{
    DiskAudio disk;
    // A stereo tone without a zero sample, so the device's silence can be told
    // apart from it.
    constexpr int k_frames = 3000;
    FRefT<FAudioBuffer> tone = FAudioBuffer::make(FAudioBuffer::k_int16, 2, 44100.0f, k_frames);
    auto* samples = reinterpret_cast<std::int16_t*>(tone->frameAddress(0));
    for (int k = 0; k < k_frames; ++k) {
        samples[2 * k] = static_cast<std::int16_t>(500 + (k * 37) % 20000);
        samples[2 * k + 1] = static_cast<std::int16_t>(-300 - (k * 11) % 9000);
    }

    FAudioModule module;
    auto platform = std::make_unique<FAudioPlatform>(module.lock(), FAudioOutputSdl::create(),
                                                     FAudioPlatform::Options{{}, false});
    ASSERT_TRUE(platform->hasDevice()) << "the disk driver did not open";
    FRefT<FSound> sound;
    module.service().createSound(sound);
    bool ended = false;
    struct Flag
    {
        bool* ended;
        void onEnd(std::intptr_t) { *ended = true; }
    } flag{&ended};
    auto* cell = engineNew<FAudioListener>(k_memObject);
    cell->onNotify = makeObjectDelegate(&flag, &Flag::onEnd);
    FRef listener = makeRef(cell);
    {
        FMutexLock guard(module.lock());
        sound->playSample(audiotest::makeSource(tone));
        sound->addListener(listener);
    }
    // Mix until the tone has ended and the device has taken all of it.
    std::uint64_t last = 0;
    // Only a broken device would need the deadline.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!ended || platform->ring().consumed() < last) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the device stopped taking frames";
        platform->mixToCursor();
        if (ended && last == 0) last = platform->ring().produced();
    }
    platform.reset(); // closes the device and its file

    std::vector<std::int16_t> heard;
    const std::vector<std::int16_t> written = disk.samples();
    for (std::size_t k = 0; k + 1 < written.size(); k += 2) {
        if (written[k] != 0 || written[k + 1] != 0) {
            heard.push_back(written[k]);
            heard.push_back(written[k + 1]);
        }
    }
    // What the mixer makes of each frame: interpolation weight 65535/65536,
    // then the root bus's 60/64. The voice's look-ahead frame ends it two
    // frames before the end of the data.
    std::vector<std::int16_t> expected;
    for (int k = 0; k < k_frames - 2; ++k) {
        for (int side = 0; side < 2; ++side)
            expected.push_back(static_cast<std::int16_t>((samples[2 * k + side] * 65535 >> 16) * 3840 >> 12));
    }
    ASSERT_EQ(heard.size(), expected.size());
    EXPECT_EQ(heard, expected);
}

TEST(FAudioOutputSdlTest, WithoutAnAudioDriverTheMixerRunsOnTheClock)
{
    FAudioModule module;
    std::uint32_t now = 0;
    std::unique_ptr<FAudioPlatform> platform;
    {
        EnvGuard driver("SDL_AUDIODRIVER", "no-such-driver");
        platform = std::make_unique<FAudioPlatform>(module.lock(), FAudioOutputSdl::create(),
                                                    FAudioPlatform::Options{[&now] { return now; }, false});
    }
    EXPECT_FALSE(platform->hasDevice());
    now = 1000;
    platform->mixToCursor();
    EXPECT_EQ(platform->clockFrames(), 44100);
}

} // namespace
