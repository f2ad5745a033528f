#include "audio/FSound.h"

#include "audio/FAudioLock.h"
#include "audio/FAudioService.h"
#include "audio/FSoundChannel.h"
#include "audio/FVoiceState.h"
#include "audio/FVolumeFader.h"

FSound::FSound(FAudioService& service, FRefT<FAudioBusSlot> channel, FRefT<FAudioNode> bus)
    : m_service(service), m_channel(static_cast<FRefT<FAudioBusSlot>&&>(channel)),
      m_bus(static_cast<FRefT<FAudioNode>&&>(bus))
{
}

FSound::~FSound()
{
    if (m_registered) m_service.releaseSound(m_bus, this);
    m_bus.release();
    m_channel.release();
}

FAudioLock& FSound::lock() const
{
    return *m_service.getAudioLock();
}

FSoundChannel* FSound::channel() const
{
    return static_cast<FSoundChannel*>(m_channel->node.get());
}

FVolumeFader* FSound::fader() const
{
    return m_channel->context.fader();
}

FVoiceState* FSound::voice() const
{
    return static_cast<FVoiceState*>(channel()->context().component(FAudioNodeData::k_voice).get());
}

void FSound::pause()
{
    FMutexLock guard(lock());
    channel()->m_paused = true;
}

void FSound::resume()
{
    FMutexLock guard(lock());
    channel()->m_paused = false;
}

void FSound::clearSample()
{
    channel()->setSource(FRefT<FAudioNode>(), lock());
}

void FSound::playSample(const FRefT<FAudioNode>& sample)
{
    if (sample.get() != nullptr) sample->complete();
    channel()->setSource(sample, lock());
}

void FSound::setSample(const FRefT<FAudioNode>& node)
{
    channel()->setSource(node, lock());
}

void FSound::setVolume(std::uint8_t volume)
{
    FMutexLock guard(lock());
    FVolumeFader* level = fader();
    level->current = volume * 256;
    level->fadeTime = 0;
}

void FSound::fadeOut()
{
    FMutexLock guard(lock());
    FVolumeFader* level = fader();
    level->target = 0;
    level->fadeTime = k_fadeOutMs;
}

void FSound::setMuted(int muted)
{
    FMutexLock guard(lock());
    FVolumeFader* level = fader();
    level->muted = muted != 0;
    level->fadeTime = 0;
}

bool FSound::addListener(const FRef& listener)
{
    FMutexLock guard(lock());
    FVoiceState* playing = voice();
    if (playing == nullptr) return false;
    playing->m_ended.insert(listener);
    return true;
}

void FSound::removeListener(const FRef& listener)
{
    FMutexLock guard(lock());
    if (FVoiceState* playing = voice()) playing->m_ended.remove(listener);
}
