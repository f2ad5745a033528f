#include "FakeCursorDevice.h"

#include "audio/FAudioModule.h"
#include "audio/FAudioPlatform.h"
#include "audio/FSample.h"
#include "audio/FSound.h"
#include "audio/FSoundChannel.h"
#include "audio/FVolumeFader.h"
#include "engine/audio/AudioTestSupport.h"
#include "game/core/GameCursors.h"
#include "game/core/GameSoundChannels.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

using namespace audiotest;

namespace {

// A tone of `milliseconds` at 44100 frames per second.
FRefT<FAudioNode> tone(int milliseconds)
{
    const std::size_t frames = static_cast<std::size_t>(milliseconds) * 441 / 10;
    return makeSource(makeBuffer(std::vector<std::int16_t>(frames * 2, 1000), 2));
}

int volumeOf(const SoundChannel& channel)
{
    return channel.voice()->fader()->current >> 8;
}

bool isPaused(const FRefT<FSound>& voice)
{
    return voice->channel()->m_paused;
}

struct Counter
{
    void hit() { ++count; }
    int count = 0;
};

// The game's channels on the audio module with an output that has no device;
// the test mixes by hand on a simulated clock unless it asks for the mixer
// thread.
struct SoundRig
{
    explicit SoundRig(bool mixerThread = false)
    {
        FAudioPlatform::Options options{[this] { return now.load(); }, mixerThread};
        platform = std::make_unique<FAudioPlatform>(module.lock(), nullptr, options);
        sounds.initAudio();
        cursors.setupCursors([](std::int32_t) { return FRefT<FImage>(); });
        device.take();
    }
    void advance(std::uint32_t milliseconds)
    {
        now += milliseconds;
        platform->mixToCursor();
    }
    // Mixes on until the channel's sound has ended (bounded).
    bool runUntilEnded(const SoundChannel& channel)
    {
        for (int pass = 0; pass < 100 && !channel.isEnded(); ++pass)
            advance(FAudioPlatform::k_periodMs);
        return channel.isEnded();
    }

    std::atomic<std::uint32_t> now{0};
    FAudioModule module;
    std::unique_ptr<FAudioPlatform> platform;
    FakeCursorDevice device;
    GameCursors cursors{device, true};
    GameSoundChannels sounds{module.service(), cursors};
};

TEST(GameSoundChannelsTest, TheGraphPlaysFiveChannelsIntoTheMainBusAndTenIntoTheEffectsBus)
{
    SoundRig rig;
    GameSoundChannels& s = rig.sounds;
    const FAudioNode* root = rig.module.lock().rootHandle().get();
    const FAudioNode* mainBus = s.masterVoice()->channel()->source().get();
    const FAudioNode* effectsBus = s.effectsBusVoice()->channel()->source().get();
    ASSERT_NE(mainBus, nullptr);
    ASSERT_NE(effectsBus, nullptr);
    EXPECT_EQ(s.masterVoice()->bus().get(), root);
    EXPECT_EQ(s.effectsBusVoice()->bus().get(), mainBus);
    for (SoundChannel* channel : {&s.musicChannel1(), &s.musicChannel2(), &s.ambientChannel(),
                                  &s.voiceChannel(), &s.dialogueChannel()})
        EXPECT_EQ(channel->voice()->bus().get(), mainBus);
    for (int k = 0; k < GameSoundChannels::k_effectCount; ++k)
        EXPECT_EQ(s.effectChannel(k).voice()->bus().get(), effectsBus) << k;
    const FSound* master = s.masterVoice().get();
    s.initAudio();
    EXPECT_EQ(s.masterVoice().get(), master);
}

TEST(GameSoundChannelsTest, MusicCrossFadesOverHalfASecondOneWayAndThenTheOther)
{
    // The incoming track rises with the time before each frame's step, the
    // outgoing one falls with the time after it; at 0 the fade ends and the
    // incoming track is set to the music volume (24).
    struct Case
    {
        int frameMs;
        std::vector<int> incoming, outgoing;
    } const cases[] = {
        {100, {0, 4, 9, 14, 24}, {19, 14, 9, 4, 0}},
        {150, {0, 7, 14, 24}, {16, 9, 2, 0}},
        {600, {24}, {0}},
    };
    for (const Case& c : cases) {
        SoundRig rig;
        GameSoundChannels& s = rig.sounds;
        EXPECT_EQ(&s.playMusic(tone(5000), false), &s.musicChannel1());
        EXPECT_EQ(volumeOf(s.musicChannel1()), 24);
        EXPECT_FALSE(s.isFadingOneToTwo() || s.isFadingTwoToOne());
        for (int direction = 0; direction < 2; ++direction) {
            SoundChannel& in = direction == 0 ? s.musicChannel2() : s.musicChannel1();
            SoundChannel& out = direction == 0 ? s.musicChannel1() : s.musicChannel2();
            EXPECT_EQ(&s.playMusic(tone(5000), false), &in);
            EXPECT_EQ(volumeOf(in), 0);
            std::vector<int> incoming, outgoing;
            for (std::size_t frame = 0; frame < c.incoming.size(); ++frame) {
                s.updateMusicFade(c.frameMs);
                incoming.push_back(volumeOf(in));
                outgoing.push_back(volumeOf(out));
            }
            EXPECT_EQ(incoming, c.incoming) << c.frameMs << " ms, direction " << direction;
            EXPECT_EQ(outgoing, c.outgoing) << c.frameMs << " ms, direction " << direction;
            EXPECT_FALSE(out.hasSound());
            EXPECT_TRUE(in.hasSound());
            EXPECT_FALSE(s.isFadingOneToTwo() || s.isFadingTwoToOne());
            EXPECT_EQ(&s.getActiveMusicChannel(), &in);
        }
    }
}

TEST(GameSoundChannelsTest, NewMusicDuringAFadeReplacesTheIncomingTrackAndFadesTheOldOneFromFull)
{
    SoundRig rig;
    GameSoundChannels& s = rig.sounds;
    s.playMusic(tone(5000), false);
    FRefT<FAudioNode> second = tone(5000);
    s.playMusic(second, false);
    s.updateMusicFade(100);
    s.updateMusicFade(100);
    EXPECT_EQ(volumeOf(s.musicChannel1()), 14);
    FRefT<FAudioNode> third = tone(5000);
    EXPECT_EQ(&s.playMusic(third, true), &s.musicChannel2());
    EXPECT_EQ(s.musicChannel2().sound().get(), third.get());
    EXPECT_EQ(static_cast<BufferSource&>(*second).users, 0);
    s.updateMusicFade(100);
    EXPECT_EQ(volumeOf(s.musicChannel1()), 19);
    EXPECT_EQ(volumeOf(s.musicChannel2()), 0);
    s.stopMusic();
    EXPECT_FALSE(s.isMusicPlaying());
    EXPECT_FALSE(s.isFadingOneToTwo());
}

TEST(GameSoundChannelsTest, ALoopedTrackWithoutLoopPointsRepeatsAsAWhole)
{
    SoundRig rig;
    auto* sample = engineNew<FSample>(k_memObject);
    FRefT<FAudioNode> track(FAsset::handleFor(sample));
    sample->setData(makeBuffer(std::vector<std::int16_t>(4410 * 2, 1000), 2)); // 100 ms
    SoundChannel& channel = rig.sounds.playMusic(track, true);
    EXPECT_TRUE(sample->loops());
    EXPECT_EQ(sample->loopStart(), 0);
    EXPECT_EQ(sample->loopLength(), 4410);
    for (int pass = 0; pass < 10; ++pass)
        rig.advance(FAudioPlatform::k_periodMs);
    EXPECT_FALSE(channel.isEnded());
    EXPECT_TRUE(channel.hasSound());
}

TEST(GameSoundChannelsTest, TheEleventhEffectCutsTheOldestOnTheFirstChannelOfTheRing)
{
    SoundRig rig;
    GameSoundChannels& s = rig.sounds;
    std::vector<FRefT<FAudioNode>> effects;
    for (int k = 0; k < 11; ++k) {
        effects.push_back(tone(2000));
        EXPECT_EQ(&s.playSound(effects.back(), 100), &s.effectChannel(k % 10)) << k;
    }
    EXPECT_EQ(s.effectChannel(0).sound().get(), effects[10].get());
    EXPECT_EQ(static_cast<BufferSource&>(*effects[0]).users, 0);
    EXPECT_EQ(static_cast<BufferSource&>(*effects[1]).users, 1);
    EXPECT_EQ(s.nextEffectChannel(), 1);
    // An empty sound plays nothing and keeps the ring where it is.
    s.playSound(FRefT<FAudioNode>(), 100);
    EXPECT_EQ(s.nextEffectChannel(), 1);
}

TEST(GameSoundChannelsTest, EffectVolumesFollowTheScaleAndABadScaleIsRefused)
{
    struct Case
    {
        std::int32_t scale, volume, expected;
    } const cases[] = {{5, 100, 50}, {10, 100, 100}, {0, 100, 0}, {6, 63, 37}, {10, 255, 255}};
    SoundRig rig;
    GameSoundChannels& s = rig.sounds;
    for (const Case& c : cases) {
        s.setSfxVolumeScale(c.scale);
        EXPECT_EQ(volumeOf(s.playSound(tone(1000), c.volume)), c.expected) << c.scale << " x " << c.volume;
    }
    s.setSfxVolumeScale(7);
    for (std::int32_t refused : {11, -1, 1000})
        s.setSfxVolumeScale(refused);
    EXPECT_EQ(s.sfxVolumeScale(), 7);
}

TEST(GameSoundChannelsTest, VolumesReachTheirChannelsAndAmbientIsHalfTheMusic)
{
    SoundRig rig;
    GameSoundChannels& s = rig.sounds;
    EXPECT_EQ(s.ambientVolume(), 12);
    s.setMusicVolume(25);
    s.setVoiceVolume(30);
    EXPECT_EQ(s.ambientVolume(), 12);
    s.playAmbientSound(tone(1000));
    s.playMusic(tone(1000), false);
    s.playDialogue(tone(1000));
    s.playVoice(tone(1000), false);
    EXPECT_EQ(volumeOf(s.ambientChannel()), 12);
    EXPECT_EQ(volumeOf(s.musicChannel1()), 25);
    EXPECT_EQ(volumeOf(s.dialogueChannel()), 30);
    EXPECT_EQ(volumeOf(s.voiceChannel()), 30);
}

TEST(GameSoundChannelsTest, AnEndedSoundIsFreedOnTheNextUiFrameWhereItsCallbackRunsOnce)
{
    SoundRig rig;
    GameSoundChannels& s = rig.sounds;
    Counter finished;
    const FObjectDelegate<Counter, void()> callback(&finished, &Counter::hit);
    s.setVoiceFinishedCallback(&callback);
    SoundChannel& voice = s.playVoice(tone(100), false);
    SoundChannel& effect = s.playSound(tone(50), 100);
    s.setMusicVolume(20);
    // Ducked by hand, as a screen does while a line is spoken.
    s.musicChannel1().setVolume(3);
    ASSERT_TRUE(rig.runUntilEnded(voice));
    EXPECT_TRUE(effect.isEnded());
    // Ended, but still attached until the UI thread's frame.
    EXPECT_TRUE(voice.hasSound());
    EXPECT_EQ(finished.count, 0);
    s.finishEndedSounds();
    EXPECT_FALSE(voice.hasSound() || voice.isEnded());
    EXPECT_FALSE(effect.hasSound() || effect.isEnded());
    EXPECT_EQ(finished.count, 1);
    EXPECT_EQ(volumeOf(s.musicChannel1()), 20);
    // The callback was used up.
    s.playVoice(tone(50), false);
    ASSERT_TRUE(rig.runUntilEnded(voice));
    s.finishEndedSounds();
    EXPECT_EQ(finished.count, 1);
}

TEST(GameSoundChannelsTest, AStoppedLineDropsItsEndCallbackAndTheNextLineKeepsItsOwn)
{
    SoundRig rig;
    SoundChannel& channel = rig.sounds.voiceChannel();
    Counter first, second;
    const FObjectDelegate<Counter, void()> firstCallback(&first, &Counter::hit);
    const FObjectDelegate<Counter, void()> secondCallback(&second, &Counter::hit);
    channel.play(tone(5000), 40);
    channel.setEndCallback(&firstCallback);
    // A busy channel ignores another play.
    FRefT<FAudioNode> ignored = tone(100);
    channel.play(ignored, 40);
    EXPECT_NE(channel.sound().get(), ignored.get());
    channel.stop();
    channel.play(tone(50), 40);
    channel.setEndCallback(&secondCallback);
    ASSERT_TRUE(rig.runUntilEnded(channel));
    rig.sounds.finishEndedSounds();
    EXPECT_EQ(first.count, 0);
    EXPECT_EQ(second.count, 1);
}

TEST(GameSoundChannelsTest, StopAllSoundsLeavesTheDialogueLinePlaying)
{
    SoundRig rig;
    GameSoundChannels& s = rig.sounds;
    s.playMusic(tone(1000), false);
    s.playAmbientSound(tone(1000));
    s.playVoice(tone(1000), false);
    s.playDialogue(tone(1000));
    s.playSound(tone(1000), 100);
    s.stopAllSounds();
    for (SoundChannel* channel :
         {&s.musicChannel1(), &s.ambientChannel(), &s.voiceChannel(), &s.effectChannel(0)})
        EXPECT_FALSE(channel->hasSound());
    EXPECT_TRUE(s.dialogueChannel().hasSound());
}

TEST(GameSoundChannelsTest, PauseAndResumeFollowTheirMatrix)
{
    struct Case
    {
        bool stopEffects, force;
        bool musicPausedAfter, effectKept, pauseInForceAfter;
    } const cases[] = {
        {false, false, false, true, false},
        {false, true, false, true, false},
        // The level's pause overlay: a prompt's resume only brings back the effects.
        {true, false, true, false, true},
        {true, true, false, false, false},
    };
    for (const Case& c : cases) {
        SoundRig rig;
        GameSoundChannels& s = rig.sounds;
        s.playMusic(tone(5000), false);
        s.playDialogue(tone(5000));
        SoundChannel& effect = s.playSound(tone(5000), 100);
        s.pauseAudioAndCursor(c.stopEffects);
        for (SoundChannel* channel :
             {&s.musicChannel1(), &s.musicChannel2(), &s.ambientChannel(), &s.voiceChannel()})
            EXPECT_TRUE(isPaused(channel->voice()));
        EXPECT_FALSE(isPaused(s.dialogueChannel().voice()));
        EXPECT_EQ(isPaused(s.effectsBusVoice()), !c.stopEffects);
        EXPECT_EQ(effect.hasSound(), !c.stopEffects);
        s.resumeAudioAndCursor(c.force);
        EXPECT_EQ(isPaused(s.musicChannel1().voice()), c.musicPausedAfter) << c.stopEffects << c.force;
        EXPECT_FALSE(isPaused(s.effectsBusVoice()));
        EXPECT_EQ(effect.hasSound(), c.effectKept);
        EXPECT_EQ(s.isPaused(), c.pauseInForceAfter);
    }
}

TEST(GameSoundChannelsTest, APauseShowsTheDefaultCursorAndItsResumeBringsBackTheSpecialOne)
{
    SoundRig rig;
    GameSoundChannels& s = rig.sounds;
    rig.cursors.setCursorStyle5();
    rig.device.take();
    s.pauseAudioAndCursor(false);
    EXPECT_EQ(rig.device.take(), (std::vector<std::string>{"default 0 none#0", "graph 0 none#0", "show"}));
    EXPECT_EQ(rig.cursors.previousCursorState(0), 5);
    // A second pause while one is in force touches nothing.
    rig.cursors.setCursorStyle4();
    rig.cursors.setDefaultCursor(0);
    rig.device.take();
    s.pauseAudioAndCursor(true);
    EXPECT_TRUE(rig.device.take().empty());
    EXPECT_EQ(rig.cursors.previousCursorState(0), 4);
    s.resumeAudioAndCursor(true);
    EXPECT_EQ(rig.cursors.cursorState(0), 4);
    EXPECT_EQ(rig.cursors.previousCursorState(0), 0);
    EXPECT_FALSE(s.isPaused());
}

TEST(GameSoundChannelsTest, TheMixerThreadEndsASoundThatTheUiFrameFrees)
{
    SoundRig rig(true);
    SoundChannel& effect = rig.sounds.playSound(tone(20), 100);
    for (int wait = 0; wait < 2000 && !effect.isEnded(); ++wait) {
        rig.now += 5;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(effect.isEnded());
    rig.sounds.finishEndedSounds();
    EXPECT_FALSE(effect.hasSound());
}

} // namespace
