#include "AudioTestSupport.h"

#include "audio/FAudioLock.h"
#include "audio/FAudioModule.h"
#include "audio/FAudioPlatform.h"
#include "audio/FSound.h"
#include "audio/FSoundChannel.h"
#include "audio/FVolumeFader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

using namespace audiotest;

namespace {

FRefT<FAudioBuffer> toneBuffer(int frames, std::int16_t value = 1000)
{
    return makeBuffer(std::vector<std::int16_t>(static_cast<std::size_t>(frames) * 2, value), 2);
}

// The audio module with an output that has no device, mixed by hand on a
// simulated clock.
struct SoundRig
{
    SoundRig()
    {
        platform = std::make_unique<FAudioPlatform>(module.lock(), nullptr,
                                                    FAudioPlatform::Options{[this] { return now; }, false});
    }
    FAudioService& service() { return module.service(); }
    FRefT<FSound> sound()
    {
        FRefT<FSound> out;
        service().createSound(out);
        return out;
    }
    void advance(std::uint32_t milliseconds)
    {
        now += milliseconds;
        platform->mixToCursor();
    }

    std::uint32_t now = 0;
    FAudioModule module;
    std::unique_ptr<FAudioPlatform> platform;
};

TEST(FSoundTest, WithoutADeviceASoundEndsAfterItsLengthOfClockTime)
{
    SoundRig rig;
    ASSERT_FALSE(rig.platform->hasDevice());
    FRefT<FSound> sound = rig.sound();
    FRefT<FAudioNode> sample = makeSource(toneBuffer(22050)); // 500 ms
    Recorder ended;
    {
        FMutexLock guard(*rig.service().getAudioLock());
        sound->setVolume(64);
        sound->playSample(sample);
        EXPECT_TRUE(sound->addListener(ended.handle));
    }
    std::uint32_t endedAt = 0;
    for (int pass = 0; pass < 30 && ended.notified.empty(); ++pass) {
        rig.advance(FAudioPlatform::k_periodMs);
        if (!ended.notified.empty()) endedAt = rig.now;
    }
    EXPECT_EQ(endedAt, 14u * FAudioPlatform::k_periodMs); // the first pass at or after 500 ms
    ASSERT_EQ(ended.notified.size(), 1u);
    EXPECT_EQ(ended.notified[0], reinterpret_cast<std::intptr_t>(sample.get()));
    for (int pass = 0; pass < 5; ++pass)
        rig.advance(FAudioPlatform::k_periodMs);
    EXPECT_EQ(ended.notified.size(), 1u); // told once
    EXPECT_EQ(static_cast<BufferSource&>(*sample).completed, 1);
}

TEST(FSoundTest, PauseKeepsThePositionAndResumeGoesOn)
{
    SoundRig rig;
    FRefT<FSound> sound = rig.sound();
    sound->playSample(makeSource(toneBuffer(44100)));
    rig.advance(100);
    const int position = sound->voice()->position;
    EXPECT_GT(position, 0);
    sound->pause();
    rig.advance(100);
    EXPECT_EQ(sound->voice()->position, position);
    sound->resume();
    rig.advance(100);
    EXPECT_EQ(sound->voice()->position, position + 4410);
    sound->setMuted(1);
    rig.advance(100);
    EXPECT_EQ(sound->voice()->position, position + 2 * 4410); // muted keeps time
}

TEST(FSoundTest, SetVolumeCancelsAFadeWithoutTellingItsEnd)
{
    SoundRig rig;
    FRefT<FSound> sound = rig.sound();
    sound->playSample(makeSource(toneBuffer(44100)));
    Recorder fadeEnded;
    sound->fader()->m_fadeEnded.insert(fadeEnded.handle);
    sound->fadeOut();
    rig.advance(100);
    EXPECT_LT(sound->fader()->current, FVolumeFader::k_unity);
    sound->setVolume(40);
    EXPECT_EQ(sound->fader()->current, 40 * 256);
    rig.advance(1000);
    EXPECT_EQ(sound->fader()->current, 40 * 256);
    EXPECT_TRUE(fadeEnded.notified.empty());
}

TEST(FSoundTest, ListenersNeedAVoiceAndAreKeptOncePerHandle)
{
    SoundRig rig;
    FRefT<FSound> sound = rig.sound();
    Recorder listener;
    EXPECT_FALSE(sound->addListener(listener.handle)); // nothing playing: refused, no crash
    sound->removeListener(listener.handle);

    sound->playSample(makeSource(toneBuffer(100)));
    EXPECT_TRUE(sound->addListener(listener.handle));
    EXPECT_TRUE(sound->addListener(listener.handle));
    EXPECT_EQ(sound->voice()->m_ended.size(), 1u);
    sound->removeListener(listener.handle);
    EXPECT_TRUE(sound->voice()->m_ended.find(listener.handle)->removed);
    sound->addListener(listener.handle);
    EXPECT_FALSE(sound->voice()->m_ended.find(listener.handle)->removed);

    // A new sample gets a new voice with empty sets; clearing tells nobody.
    sound->playSample(makeSource(toneBuffer(100)));
    EXPECT_TRUE(sound->voice()->m_ended.empty());
    sound->addListener(listener.handle);
    sound->clearSample();
    EXPECT_EQ(sound->voice(), nullptr);
    rig.advance(500);
    EXPECT_TRUE(listener.notified.empty());
}

TEST(FSoundTest, CreateSoundReplacesWhatTheHandleReferredToAndReleaseFreesTheChannel)
{
    SoundRig rig;
    FAudioBus& root = *rig.module.lock().rootBus();
    FRefT<FSound> sound = rig.sound();
    FRefT<FSound> copy = sound;
    FSound* first = sound.get();
    const int firstIndex = root.indexOf(first->channelSlot());
    EXPECT_EQ(firstIndex, 0);
    rig.service().createSound(sound);
    EXPECT_NE(sound.get(), first);
    EXPECT_EQ(copy.get(), sound.get()); // every copy sees the new sound
    EXPECT_EQ(root.indexOf(sound->channelSlot()), 1);
    EXPECT_EQ(root.getChild(0).get(), nullptr); // the old sound's channel left the bus

    FRefT<FAudioNode> sample = makeSource(toneBuffer(1000));
    sound->playSample(sample);
    EXPECT_EQ(static_cast<BufferSource&>(*sample).users, 1);
    sound.release();
    copy.release();
    EXPECT_EQ(root.getChild(1).get(), nullptr);
    rig.advance(10); // the released slot goes on the next mix
    EXPECT_EQ(static_cast<BufferSource&>(*sample).users, 0);
}

TEST(FSoundTest, SoundsInABusRoutedIntoASound)
{
    SoundRig rig;
    FRefT<FAudioNode> bus;
    rig.service().createBus(bus);
    ASSERT_NE(bus.get(), nullptr);
    FRefT<FSound> routing = rig.sound();
    routing->setSample(bus);
    FRefT<FSound> inner;
    rig.service().createSoundInBus(bus, inner);
    EXPECT_EQ(inner->bus().get(), bus.get());
    inner->playSample(makeSource(toneBuffer(44100, 8000)));
    routing->setMuted(1);
    rig.advance(10);
    EXPECT_GT(inner->voice()->position, 0); // a muted route still plays its bus
    const std::int16_t* ring = reinterpret_cast<const std::int16_t*>(rig.platform->ring().bytes());
    EXPECT_EQ(ring[0], 0);
    routing->setMuted(0);
    rig.advance(10);
    EXPECT_NE(ring[2 * 441 + 10], 0);
    EXPECT_EQ(rig.service().getBufferMilliseconds(), 150);
}

TEST(FSoundTest, ThePausedRootBusSilencesTheMixerAndKeepsEverySoundInPlace)
{
    SoundRig rig;
    FRefT<FAudioNode> bus;
    rig.service().createBus(bus);
    FRefT<FSound> routing = rig.sound();
    routing->setSample(bus);
    FRefT<FSound> inner;
    rig.service().createSoundInBus(bus, inner);
    FRefT<FSound> direct = rig.sound();
    inner->playSample(makeSource(toneBuffer(44100, 8000)));
    direct->playSample(makeSource(toneBuffer(13230, 8000))); // 300 ms
    Recorder ended;
    EXPECT_TRUE(direct->addListener(ended.handle));
    rig.advance(100);
    const int innerAt = inner->voice()->position;
    const int directAt = direct->voice()->position;
    ASSERT_GT(innerAt, 0);

    FAudioLock& lock = *rig.service().getAudioLock();
    auto setRootPaused = [&lock](bool paused) {
        FMutexLock guard(lock);
        lock.rootBus()->setPaused(paused);
    };
    setRootPaused(true);
    // Longer than the ring and than what is left of the short sound.
    rig.advance(300);
    EXPECT_EQ(inner->voice()->position, innerAt);
    EXPECT_EQ(direct->voice()->position, directAt);
    EXPECT_TRUE(ended.notified.empty());
    const auto* ring = reinterpret_cast<const std::int16_t*>(rig.platform->ring().bytes());
    const int samples = FAudioRing::k_frames * FAudioPlatform::k_channels;
    EXPECT_EQ(std::count(ring, ring + samples, std::int16_t{0}), samples);

    setRootPaused(false);
    rig.advance(100);
    EXPECT_EQ(inner->voice()->position, innerAt + 4410);
    EXPECT_EQ(direct->voice()->position, directAt + 4410);
    EXPECT_NE(std::count(ring, ring + samples, std::int16_t{0}), samples);
    rig.advance(200);
    EXPECT_EQ(ended.notified.size(), 1u);
}

TEST(FSoundTest, CallbacksKeepTheFirstHandlePerKey)
{
    SoundRig rig;
    FRef first = makeNullRef();
    FRef second = makeNullRef();
    rig.service().addCallback(7, first);
    rig.service().addCallback(7, second);
    rig.service().addCallback(8, second);
    EXPECT_EQ(rig.module.callbackCount(), 2u);
    rig.service().removeCallback(7);
    EXPECT_EQ(rig.module.callbackCount(), 1u);
    rig.service().clearCallbacks();
    EXPECT_EQ(rig.module.callbackCount(), 0u);
}

} // namespace
