#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"
#include "game/core/SoundChannel.h"

#include <array>
#include <cstdint>
#include <initializer_list>

class FAudioNode;
class FAudioService;
class FSound;
class GameCursors;

// Every game sound plays on one of fifteen channels: two music channels that
// cross-fade, an ambient channel, a voice channel with an end callback, a
// dialogue channel that keeps playing during pauses and a ring of ten effect
// channels. They sit on a small graph: a master voice plays the main bus; the
// five fixed channels play into the main bus; a voice on the main bus plays
// the effects bus, into which the effect channels play. Volumes are the bytes
// FSound::setVolume takes (64 = unity). UI thread only; the game module owns
// it and calls `updateMusicFade` and `finishEndedSounds` every frame.
class GameSoundChannels
{
public:
    using Callback = FDelegate<void()>;

    static constexpr int k_effectCount = 10;
    static constexpr std::int32_t k_fadeMs = 500;
    static constexpr std::uint8_t k_defaultVoiceVolume = 44;
    static constexpr std::uint8_t k_defaultMusicVolume = 24;
    static constexpr std::int16_t k_defaultSfxScale = 6;
    static constexpr std::int16_t k_maxSfxScale = 10;

    // `cursors` takes the cursor step of a pause and its resume.
    GameSoundChannels(FAudioService& service, GameCursors& cursors);
    ~GameSoundChannels();
    GameSoundChannels(const GameSoundChannels&) = delete;
    GameSoundChannels& operator=(const GameSoundChannels&) = delete;

    // Builds the graph and the channels' voices; later calls do nothing.
    void initAudio();

    // Starts `sound` at once when no music plays, otherwise cross-fades to it
    // over 500 ms; the channel it plays on.
    SoundChannel& playMusic(const FRefT<FAudioNode>& sound, bool loop);
    void playAmbientSound(const FRefT<FAudioNode>& sound);
    SoundChannel& playVoice(const FRefT<FAudioNode>& sound, bool restoreMusic);
    SoundChannel& playDialogue(const FRefT<FAudioNode>& sound);
    // `volume` 0..255, scaled by the effect scale; the next channel of the
    // ring (the eleventh effect cuts the oldest).
    SoundChannel& playSound(const FRefT<FAudioNode>& sound, std::int32_t volume);
    void stopMusic();
    void stopVoice();
    // Everything but the dialogue channel.
    void stopAllSounds();
    bool isMusicPlaying() const;
    SoundChannel& getActiveMusicChannel();

    void setMusicVolume(std::uint8_t volume);
    void setVoiceVolume(std::uint8_t volume);
    // 0..10; other values are refused with a log line.
    void setSfxVolumeScale(std::int32_t scale);
    void setVoiceFinishedCallback(const Callback* callback) { Callback::assign(m_voiceFinished, callback); }

    // Pauses music, ambient and voice for a prompt or an overlay; effects are
    // stopped (`stopEffects`) or frozen. The dialogue channel goes on.
    void pauseAudioAndCursor(bool stopEffects);
    // Ends the pause; after a pause that stopped effects only `force` ends it
    // (otherwise only the effects come back).
    void resumeAudioAndCursor(bool force);

    // One frame of the cross-fade (only while no pause is in force).
    void updateMusicFade(std::int32_t elapsedMs);
    // Frees every channel whose sound ended and runs its end callback.
    void finishEndedSounds();

    // Calls `visit` with every fixed channel, then with every effect channel.
    template <class Visit> void forEachChannel(Visit visit)
    {
        for (SoundChannel* channel : {&m_music1, &m_music2, &m_ambient, &m_voice, &m_dialogue})
            visit(*channel);
        for (SoundChannel* effect : m_effects)
            visit(*effect);
    }

    SoundChannel& musicChannel1() { return m_music1; }
    SoundChannel& musicChannel2() { return m_music2; }
    SoundChannel& ambientChannel() { return m_ambient; }
    SoundChannel& voiceChannel() { return m_voice; }
    SoundChannel& dialogueChannel() { return m_dialogue; }
    SoundChannel& effectChannel(int index) { return *m_effects[static_cast<std::size_t>(index)]; }
    const FRefT<FSound>& effectsBusVoice() const { return m_effectsBusVoice; }
    const FRefT<FSound>& masterVoice() const { return m_masterVoice; }
    int nextEffectChannel() const { return m_nextEffect; }
    bool isFadingOneToTwo() const { return m_fadeOneToTwo; }
    bool isFadingTwoToOne() const { return m_fadeTwoToOne; }
    std::int32_t fadeElapsed() const { return m_fadeElapsed; }
    bool isPaused() const { return m_paused; }
    std::uint8_t musicVolume() const { return m_musicVolume; }
    std::uint8_t ambientVolume() const { return m_ambientVolume; }
    std::uint8_t voiceVolume() const { return m_voiceVolume; }
    std::int16_t sfxVolumeScale() const { return m_sfxScale; }

private:
    // Music at the stored volume on both music channels, half of it on the
    // ambient channel; the stored volumes stay.
    void applyMusicVolume();
    // Starts a cross-fade to `sound` on music 2 (`toTwo`) or music 1.
    SoundChannel& crossFadeTo(const FRefT<FAudioNode>& sound, bool toTwo);
    // End callback of the voice channel.
    void onVoiceFinished();
    void stopEffects();
    // Stops the fading-out track once its volume reached 0.
    void endFade(SoundChannel& silent, SoundChannel& kept, const char* message);

    FAudioService& m_service;
    GameCursors& m_cursors;
    bool m_graphBuilt = false;
    int m_nextEffect = 0;
    FRefT<FSound> m_masterVoice;
    FRefT<FSound> m_effectsBusVoice;
    FRefT<FAudioNode> m_mainBus;
    FRefT<FAudioNode> m_effectsBus;
    SoundChannel m_music1;
    SoundChannel m_music2;
    SoundChannel m_ambient;
    SoundChannel m_voice;
    SoundChannel m_dialogue;
    // Made once, reused in turn: the ring never allocates.
    std::array<SoundChannel*, k_effectCount> m_effects{};
    bool m_fadeOneToTwo = false;
    bool m_fadeTwoToOne = false;
    std::uint8_t m_target1 = 0;
    std::uint8_t m_target2 = 0;
    std::int32_t m_fadeElapsed = 0;
    std::uint8_t m_voiceVolume = k_defaultVoiceVolume;
    std::uint8_t m_musicVolume = k_defaultMusicVolume;
    std::uint8_t m_ambientVolume = k_defaultMusicVolume / 2;
    std::int16_t m_sfxScale = k_defaultSfxScale;
    Callback* m_voiceFinished = nullptr;
    bool m_paused = false;
    bool m_pauseStoppedEffects = false;
};
