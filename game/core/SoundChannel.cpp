#include "game/core/SoundChannel.h"

#include "audio/FAudioListener.h"
#include "audio/FAudioLock.h"
#include "audio/FAudioService.h"
#include "audio/FSound.h"
#include "audio/FSoundChannel.h"
#include "core/FMemory.h"

SoundChannel::SoundChannel(FAudioService& service) : m_service(service)
{
    auto* cell = engineNew<FAudioListener>(k_memObject);
    cell->onNotify = makeObjectDelegate(this, &SoundChannel::onSoundEnded);
    m_endListener = makeRef(cell);
}

SoundChannel::~SoundChannel()
{
    if (m_voice.get() != nullptr) {
        m_voice->removeListener(m_endListener);
        m_voice->clearSample();
    }
    freeAndNull(m_endCallback);
}

void SoundChannel::createVoice(const FRefT<FAudioNode>& bus)
{
    if (bus.get() != nullptr) {
        m_service.createSoundInBus(bus, m_voice);
    } else {
        m_service.createSound(m_voice);
    }
}

void SoundChannel::play(const FRefT<FAudioNode>& sound, std::uint8_t volume)
{
    if (hasSound() || sound.get() == nullptr || m_voice.get() == nullptr) return;
    // Loaded before the lock is taken: decoding never holds up the mixer.
    sound->complete();
    FMutexLock guard(*m_service.getAudioLock());
    m_voice->setVolume(volume);
    m_voice->playSample(sound);
    m_voice->addListener(m_endListener);
    m_sound = m_voice->channel()->source();
}

void SoundChannel::stop()
{
    if (!hasSound()) return;
    m_voice->clearSample();
    m_ended.store(false, std::memory_order_release);
    m_sound.release();
    freeAndNull(m_endCallback);
}

void SoundChannel::finish()
{
    m_voice->clearSample();
    m_sound.release();
    m_ended.store(false, std::memory_order_release);
    if (m_endCallback != nullptr) {
        // The stored callback is dropped first: the callback may set a new one.
        EndCallback* callback = m_endCallback;
        m_endCallback = nullptr;
        callback->invoke();
        freeAndNull(callback);
    }
}

void SoundChannel::onSoundEnded(std::intptr_t)
{
    {
        FMutexLock guard(*m_service.getAudioLock());
        m_voice->removeListener(m_endListener);
    }
    m_ended.store(true, std::memory_order_release);
}

void SoundChannel::setVolume(std::uint8_t volume)
{
    if (m_voice.get() != nullptr) m_voice->setVolume(volume);
}

void SoundChannel::pause()
{
    if (m_voice.get() != nullptr) m_voice->pause();
}

void SoundChannel::resume()
{
    if (m_voice.get() != nullptr) m_voice->resume();
}
