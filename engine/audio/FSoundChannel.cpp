#include "audio/FSoundChannel.h"

#include "audio/FAudioBuffer.h"
#include "audio/FAudioSpan.h"
#include "audio/FVolumeFader.h"
#include "core/FMemory.h"
#include "core/FMutex.h"

FSoundChannel::~FSoundChannel()
{
    if (m_source.get() != nullptr) m_source->detach();
    m_context.release();
    m_source.release();
}

void FSoundChannel::prepare(FAudioNodeData& context)
{
    context.component(FAudioNodeData::k_fader) = makeRef(engineNew<FVolumeFader>(k_memObject));
}

void FSoundChannel::setSource(const FRefT<FAudioNode>& source, FMutex& lock)
{
    bool wasPaused;
    {
        FMutexLock guard(lock);
        wasPaused = m_paused;
        m_paused = true;
    }
    FRefT<FAudioNode> old = m_source;
    if (source.get() != m_source.get()) m_source = source;
    m_context.reset();
    if (source.get() != nullptr) {
        source->attach();
        source->prepare(m_context);
    }
    {
        // The mixer reads the flag under the lock, so it is restored there too.
        FMutexLock guard(lock);
        m_paused = wasPaused;
    }
    if (old.get() != nullptr) old->detach();
}

void FSoundChannel::fade(FVolumeFader& fader, int frames, float rate)
{
    if (fader.fadeTime > 0) {
        const double callMs = frames * 1000.0 / rate;
        fader.step = static_cast<int>((fader.target - fader.current) / (fader.fadeTime / callMs));
        if (fader.step == 0) fader.step = fader.target > fader.current ? 1 : -1;
        fader.fadeTime = FVolumeFader::k_fading;
    }
    if (fader.fadeTime < 0) {
        fader.current += fader.step;
        if ((fader.step < 0 && fader.current <= fader.target) ||
            (fader.step > 0 && fader.current >= fader.target)) {
            fader.current = fader.target;
            fader.fadeTime = 0;
            fader.m_fadeEnded.notify(fader.target >> 8);
        }
    }
}

void FSoundChannel::mix(FAudioNodeData& context)
{
    context.countVisited();
    FAudioBuffer* out = context.output();
    FAudioSpan* span = context.span();
    // The flag first: while it is raised, another thread may be replacing the
    // source and this channel's context.
    if (m_paused || m_source.get() == nullptr) {
        out->silenceSpan(span->start, span->count);
        return;
    }
    FVolumeFader* fader = context.fader();
    fade(*fader, span->count, out->rate());
    context.m_volume = fader->muted ? 0 : fader->current >> 8;
    context.countPlaying();
    m_context.m_parent = &context;
    out->m_fader = fader;
    m_source->mix(m_context);
    m_context.m_parent = nullptr;
}
