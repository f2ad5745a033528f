#include "game/core/GameSoundChannels.h"

#include "audio/FAudioNode.h"
#include "audio/FAudioService.h"
#include "audio/FSample.h"
#include "audio/FSound.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "game/core/GameCursors.h"

#include <algorithm>

namespace {

// A looping track repeats from its loop start, or as a whole when its file
// names no loop.
void setLooping(const FRefT<FAudioNode>& sound)
{
    auto* sample = dynamic_cast<FSample*>(sound.get());
    if (sample == nullptr) return;
    int length = sample->loopLength();
    if (length <= 0 && sample->data() != nullptr) length = sample->data()->frames() - sample->loopStart();
    sample->setLoop(true, sample->secondFlag(), sample->loopStart(), length);
}

std::uint8_t fadeVolume(std::uint8_t target, std::int32_t elapsed)
{
    return static_cast<std::uint8_t>(target * elapsed / GameSoundChannels::k_fadeMs);
}

} // namespace

GameSoundChannels::GameSoundChannels(FAudioService& service, GameCursors& cursors)
    : m_service(service), m_cursors(cursors), m_music1(service), m_music2(service), m_ambient(service),
      m_voice(service), m_dialogue(service)
{
    for (SoundChannel*& effect : m_effects)
        effect = engineNew<SoundChannel>(k_memObject, service);
}

GameSoundChannels::~GameSoundChannels()
{
    for (SoundChannel*& effect : m_effects) {
        engineDelete(effect);
        effect = nullptr;
    }
    freeAndNull(m_voiceFinished);
}

void GameSoundChannels::initAudio()
{
    if (m_graphBuilt) return;
    m_graphBuilt = true;
    m_nextEffect = 0;
    m_service.createSound(m_masterVoice);
    m_service.createBus(m_mainBus);
    m_service.createBus(m_effectsBus);
    m_masterVoice->setSample(m_mainBus);
    for (SoundChannel* channel : {&m_music1, &m_music2, &m_ambient, &m_voice, &m_dialogue})
        channel->createVoice(m_mainBus);
    m_service.createSoundInBus(m_mainBus, m_effectsBusVoice);
    m_effectsBusVoice->setSample(m_effectsBus);
    for (SoundChannel* effect : m_effects)
        effect->createVoice(m_effectsBus);
}

SoundChannel& GameSoundChannels::playMusic(const FRefT<FAudioNode>& sound, bool loop)
{
    if (loop && sound.get() != nullptr) {
        // Loaded first: loading fills the loop fields from the file.
        sound->complete();
        setLooping(sound);
    }
    m_fadeElapsed = 0;
    if (!m_music1.hasSound() && !m_music2.hasSound()) {
        m_fadeOneToTwo = false;
        m_fadeTwoToOne = false;
        m_music1.play(sound, m_musicVolume);
        m_target1 = m_musicVolume;
        m_target2 = 0;
        return m_music1;
    }
    // Music 1 playing: the new track fades in on music 2, else on music 1.
    return crossFadeTo(sound, m_music1.hasSound());
}

SoundChannel& GameSoundChannels::crossFadeTo(const FRefT<FAudioNode>& sound, bool toTwo)
{
    m_fadeOneToTwo = toTwo;
    m_fadeTwoToOne = !toTwo;
    SoundChannel& incoming = toTwo ? m_music2 : m_music1;
    incoming.stop();
    incoming.play(sound, 0);
    m_target1 = toTwo ? 0 : m_musicVolume;
    m_target2 = toTwo ? m_musicVolume : 0;
    return incoming;
}

void GameSoundChannels::updateMusicFade(std::int32_t elapsedMs)
{
    // The incoming track rises with the time before this frame's step, the
    // outgoing one falls with the time after it.
    if (m_fadeTwoToOne && m_music1.hasSound()) m_music1.setVolume(fadeVolume(m_target1, m_fadeElapsed));
    if (m_fadeOneToTwo) {
        if (m_music2.hasSound()) m_music2.setVolume(fadeVolume(m_target2, m_fadeElapsed));
        m_fadeElapsed = std::min(m_fadeElapsed + elapsedMs, k_fadeMs);
        const std::uint8_t volume = fadeVolume(m_target2, k_fadeMs - m_fadeElapsed);
        m_music1.setVolume(volume);
        if (volume == 0) {
            m_fadeOneToTwo = false;
            endFade(m_music1, m_music2, "Music Track 1 OFF");
        }
    }
    if (m_fadeTwoToOne) {
        m_fadeElapsed = std::min(m_fadeElapsed + elapsedMs, k_fadeMs);
        const std::uint8_t volume = fadeVolume(m_target1, k_fadeMs - m_fadeElapsed);
        m_music2.setVolume(volume);
        if (volume == 0) {
            m_fadeTwoToOne = false;
            endFade(m_music2, m_music1, "Music Track 2 OFF");
        }
    }
}

void GameSoundChannels::endFade(SoundChannel& silent, SoundChannel& kept, const char* message)
{
    ZIBBO_LOG_PLAIN(k_logDefault, false) << message;
    silent.stop();
    silent.setVolume(0);
    kept.setVolume(m_musicVolume);
}

void GameSoundChannels::playAmbientSound(const FRefT<FAudioNode>& sound)
{
    if (sound.get() == nullptr) return;
    m_ambient.stop();
    m_ambient.play(sound, m_ambientVolume);
}

SoundChannel& GameSoundChannels::playVoice(const FRefT<FAudioNode>& sound, bool restoreMusic)
{
    if (sound.get() == nullptr) return m_voice;
    m_voice.stop();
    m_voice.play(sound, m_voiceVolume);
    const FObjectDelegate<GameSoundChannels, void()> finished(this, &GameSoundChannels::onVoiceFinished);
    m_voice.setEndCallback(&finished);
    if (restoreMusic) applyMusicVolume();
    return m_voice;
}

void GameSoundChannels::onVoiceFinished()
{
    applyMusicVolume();
    if (m_voiceFinished != nullptr) {
        Callback* callback = m_voiceFinished;
        m_voiceFinished = nullptr;
        callback->invoke();
        freeAndNull(callback);
    }
}

void GameSoundChannels::applyMusicVolume()
{
    m_music1.setVolume(m_musicVolume);
    m_music2.setVolume(m_musicVolume);
    m_ambient.setVolume(static_cast<std::uint8_t>(m_musicVolume / 2));
}

SoundChannel& GameSoundChannels::playDialogue(const FRefT<FAudioNode>& sound)
{
    if (sound.get() != nullptr) {
        m_dialogue.stop();
        m_dialogue.play(sound, m_voiceVolume);
    }
    return m_dialogue;
}

SoundChannel& GameSoundChannels::playSound(const FRefT<FAudioNode>& sound, std::int32_t volume)
{
    SoundChannel& channel = *m_effects[static_cast<std::size_t>(m_nextEffect)];
    if (sound.get() == nullptr) return channel;
    const auto scaled = static_cast<std::int32_t>(m_sfxScale / 10.0 * volume);
    channel.stop();
    channel.play(sound, static_cast<std::uint8_t>(scaled & 0xFF));
    m_nextEffect = (m_nextEffect + 1) % k_effectCount;
    return channel;
}

void GameSoundChannels::stopMusic()
{
    m_music1.stop();
    m_music2.stop();
    m_fadeOneToTwo = false;
    m_fadeTwoToOne = false;
}

void GameSoundChannels::stopVoice()
{
    m_voice.stop();
}

void GameSoundChannels::stopEffects()
{
    for (SoundChannel* effect : m_effects)
        effect->stop();
}

void GameSoundChannels::stopAllSounds()
{
    stopMusic();
    m_voice.stop();
    m_ambient.stop();
    stopEffects();
}

bool GameSoundChannels::isMusicPlaying() const
{
    return m_music1.hasSound() || m_music2.hasSound();
}

SoundChannel& GameSoundChannels::getActiveMusicChannel()
{
    if (!m_music1.hasSound() && m_music2.hasSound()) return m_music2;
    return m_music1;
}

void GameSoundChannels::setMusicVolume(std::uint8_t volume)
{
    m_musicVolume = volume;
    m_music1.setVolume(volume);
    m_music2.setVolume(volume);
    m_ambientVolume = static_cast<std::uint8_t>(volume / 2);
    m_ambient.setVolume(m_ambientVolume);
}

void GameSoundChannels::setVoiceVolume(std::uint8_t volume)
{
    m_voiceVolume = volume;
    m_voice.setVolume(volume);
    m_dialogue.setVolume(volume);
}

void GameSoundChannels::setSfxVolumeScale(std::int32_t scale)
{
    if (static_cast<std::uint32_t>(scale) > static_cast<std::uint32_t>(k_maxSfxScale)) {
        ZIBBO_LOG_PLAIN(k_logDefault, false) << "invalid SFX volume scaling factor: " << scale;
        return;
    }
    m_sfxScale = static_cast<std::int16_t>(scale);
}

void GameSoundChannels::pauseAudioAndCursor(bool stopEffectsToo)
{
    if (m_paused) return;
    m_paused = true;
    m_pauseStoppedEffects = stopEffectsToo;
    for (SoundChannel* channel : {&m_music1, &m_music2, &m_ambient, &m_voice})
        channel->pause();
    if (stopEffectsToo) {
        // The effects bus stays live, so new effects are heard.
        stopEffects();
    } else if (m_effectsBusVoice.get() != nullptr) {
        m_effectsBusVoice->pause();
    }
    m_cursors.showPauseCursor();
}

void GameSoundChannels::resumeAudioAndCursor(bool force)
{
    if (m_pauseStoppedEffects && !force) {
        // A prompt over the pause overlay leaves the overlay's pause in place.
        if (m_effectsBusVoice.get() != nullptr) m_effectsBusVoice->resume();
        return;
    }
    if (!m_paused) return;
    for (SoundChannel* channel : {&m_music1, &m_music2, &m_ambient, &m_voice})
        channel->resume();
    if (m_effectsBusVoice.get() != nullptr) m_effectsBusVoice->resume();
    m_cursors.restoreRememberedCursor();
    m_paused = false;
}

void GameSoundChannels::finishEndedSounds()
{
    forEachChannel([](SoundChannel& channel) {
        if (channel.isEnded()) channel.finish();
    });
}
