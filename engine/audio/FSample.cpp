#include "audio/FSample.h"

#include "asset/FAssetLoader.h"
#include "audio/FAudioNodeData.h"
#include "audio/FAudioSpan.h"
#include "audio/FAudioStreamTask.h"
#include "audio/FVoiceRenderer.h"
#include "audio/FVoiceState.h"
#include "core/FApplication.h"
#include "core/FServiceSlots.h"

#include <cstdint>

FSample::FSample() = default;

FSample::~FSample()
{
    m_streamDecoder = nullptr;
    m_streamSource.release();
    m_data.release();
}

void FSample::readKindData(FInStream&)
{
    // Exact comparison, case included. No loader fills the Speex slot, so
    // such a sample gets no content.
    struct Choice
    {
        const char16_t* extension;
        int slot;
    };
    static constexpr Choice k_choices[] = {
        {u".gwsample", k_slotGwSampleLoader},
        {u".vorbis", k_slotVorbisLoader},
        {u".speex", k_slotSpeexLoader},
    };
    const FString extension = firstExtension();
    for (const Choice& choice : k_choices) {
        if (extension == choice.extension) {
            setLoader(findService<FAssetLoader>(choice.slot));
            return;
        }
    }
}

void FSample::releaseData(bool)
{
    m_data.release();
    m_streamSource.release();
}

void FSample::setLoop(bool loops, bool secondFlag, int loopStart, int loopLength)
{
    m_loops = loops;
    m_secondFlag = secondFlag;
    m_loopStart = loopStart;
    m_loopLength = loopLength;
}

void FSample::setStreamDecoder(StreamDecoder decoder, FRefT<FInStream> source)
{
    m_streamDecoder = static_cast<StreamDecoder&&>(decoder);
    m_streamSource = static_cast<FRefT<FInStream>&&>(source);
}

void FSample::decodeStream(FAudioStreamTask& task)
{
    if (m_streamDecoder) m_streamDecoder(task);
}

int64_t FSample::readStream(int64_t offset, void* buffer, int64_t size)
{
    FMutexLock guard(m_streamLock);
    FInStream* stream = m_streamSource.isNull() ? nullptr : waitForRefTarget(m_streamSource);
    if (stream == nullptr || size <= 0) return 0;
    stream->clear();
    stream->seekg(offset);
    if (!*stream) return 0;
    stream->read(static_cast<char*>(buffer), size);
    return stream->gcount();
}

void FSample::prepare(FAudioNodeData& context)
{
    complete();
    auto* voice = engineNew<FVoiceState>(k_memObject);
    context.component(FAudioNodeData::k_voice) = makeRef(voice);
    if (voice != nullptr && m_data.get() == nullptr && isStreamed()) {
        voice->streamTask = makeRef(engineNew<FAudioStreamTask>(k_memObject, voice, this));
        if (voice->streamTask.get() != nullptr) voice->streamTask->start();
    }
}

void FSample::mix(FAudioNodeData& context)
{
    if (m_data.get() != nullptr || context.voice()->streamTask.get() != nullptr) {
        if (m_data.get() != nullptr)
            FVoiceRenderer::mixBuffer(context, *this, m_data.get(), m_loops, m_loopStart, m_loopLength);
        else
            mixStream(context);
        return;
    }
    // Nothing to play (no loader, or a failed load): the voice ends at once,
    // so whoever waits for its end is not left waiting forever.
    const FRef keepVoice = context.component(FAudioNodeData::k_voice);
    FVoiceState* voice = context.voice();
    FAudioSpan* span = context.span();
    if (span->count - span->done < 1) return;
    if (!voice->ended) {
        voice->ended = true;
        voice->m_ended.notify(reinterpret_cast<std::intptr_t>(static_cast<FAsset*>(this)));
    }
    context.output()->finishSpan(*span);
}

void FSample::mixStream(FAudioNodeData& context)
{
    const FRef keepVoice = context.component(FAudioNodeData::k_voice);
    FVoiceState* voice = context.voice();
    FAudioBuffer* out = context.output();
    FAudioSpan* span = context.span();
    voice->volume = context.effectiveVolume();
    FVoiceRenderer::updateGains(*voice);
    int remaining = span->count - span->done;
    if (remaining < 1) return;
    if (voice->ended) {
        out->finishSpan(*span);
        return;
    }
    FAudioStreamTask& task = *voice->streamTask;
    const FAudioBuffer* previous = nullptr;
    for (;;) {
        FAudioBuffer* d = task.current();
        voice->readPointer = nullptr;
        voice->loopStartPointer = nullptr;
        if (d == nullptr) {
            if (!task.stopped()) {
                out->finishSpan(*span); // the decoder is behind: silence, no wait
                return;
            }
            break;
        }
        if (d == previous) {
            out->finishSpan(*span);
            return;
        }
        previous = d;
        if (m_loops) FVoiceRenderer::enterLoop(*voice, m_loopStart, m_loopLength);
        FVoiceRenderer::playPass(context, *this, *d, remaining);
        if (remaining > 0) task.requestNext();
        if (remaining < 1) return;
    }
    voice->ended = true;
    voice->m_ended.notify(reinterpret_cast<std::intptr_t>(static_cast<FAsset*>(this)));
    out->finishSpan(*span);
}
