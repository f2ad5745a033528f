#include "audio/FVoiceRenderer.h"

#include "audio/FAudioBuffer.h"
#include "audio/FAudioClock.h"
#include "audio/FAudioNodeData.h"
#include "audio/FAudioSpan.h"
#include "audio/FVoiceState.h"
#include "audio/FVolumeFader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int k_advanceChunk = 32766;

// Fetches frame A and, when that stayed inside the source, frame B.
bool fetchPair(FVoiceState& voice, FAudioBuffer& source)
{
    voice.outFrame = &voice.frames[voice.toggle];
    if (!source.fetchVoice(voice)) return false;
    voice.outFrame = &voice.frames[voice.toggle ^ 1];
    return source.fetchVoice(voice);
}

void prime(FVoiceState& voice, FAudioBuffer& source)
{
    if (voice.primed) return;
    voice.outFrame = &voice.frames[voice.toggle];
    source.fetchVoice(voice);
    voice.outFrame = &voice.frames[voice.toggle ^ 1];
    source.fetchVoice(voice);
    voice.primed = true;
}

} // namespace

int FVoiceRenderer::pitchStep(const FVoiceState& voice, float sourceRate, float outputRate)
{
    const float semitones = static_cast<float>(voice.fineTune) / 128.0f + static_cast<float>(voice.note - 48);
    const auto ratio = static_cast<float>(std::pow(2.0, static_cast<double>(semitones / 12.0f)));
    return static_cast<int>(static_cast<float>(ratio * sourceRate / outputRate) * 65536.0f);
}

bool FVoiceRenderer::render(FVoiceState& voice, FAudioBuffer& source, FAudioBuffer& out, FAudioSpan& span,
                            int& remaining)
{
    const int step = pitchStep(voice, source.rate(), out.rate());
    FAudioFrame local;
    span.frame = &local;
    if (out.m_silent) {
        out.zeroFrames(0, out.frames());
        out.m_silent = false;
    }
    prime(voice, source);
    bool inside = true;
    while (remaining > 0 && inside) {
        const FAudioFrame& a = voice.frames[voice.toggle];
        const FAudioFrame& b = voice.frames[voice.toggle ^ 1];
        const std::int64_t t = voice.phase;
        voice.phase += step;
        // Weights t and 65535 - t; 64-bit products, as a loud voice times the
        // phase does not fit in 32 bits.
        local.left = static_cast<int>((t * b.left + a.left * (65535 - t)) >> 16);
        local.right = static_cast<int>((a.right * (65535 - t) + t * b.right) >> 16);
        out.writeFrame(span);
        if (voice.phase > 65535) {
            const int p = voice.phase;
            voice.phase = p & 65535;
            if (p - 65536 > 65535) {
                if (p > 196607) inside = source.skipVoice(voice, (p >> 16) - 2);
                if (inside) inside = fetchPair(voice, source);
            } else {
                voice.toggle ^= 1;
                voice.outFrame = &voice.frames[voice.toggle ^ 1];
                inside = source.fetchVoice(voice);
            }
        }
        --remaining;
    }
    span.frame = nullptr;
    if (out.m_fader != nullptr && out.m_fader->ramp == 0) {
        out.m_fader->lastLeft = out.m_lastLeft;
        out.m_fader->lastRight = out.m_lastRight;
    }
    return inside;
}

bool FVoiceRenderer::advance(FVoiceState& voice, FAudioBuffer& source, float outputRate, int& remaining)
{
    const int step = pitchStep(voice, source.rate(), outputRate);
    prime(voice, source);
    bool inside = true;
    while (remaining > 0 && inside) {
        const int chunk = std::min(remaining, k_advanceChunk);
        // 64 bits: a fast step times a whole chunk overflows 32.
        const std::int64_t q = static_cast<std::int64_t>(step) * chunk + voice.phase;
        voice.phase = static_cast<int>(q & 65535);
        if (q > 196607) inside = source.skipVoice(voice, static_cast<int>((q >> 16) - 2));
        if (inside) inside = fetchPair(voice, source);
        remaining -= chunk;
    }
    return inside;
}

void FVoiceRenderer::updateGains(FVoiceState& voice)
{
    const int level = voice.volume * voice.baseVolume >> 6;
    voice.gainLeft = voice.panLeft * level;
    voice.gainRight = voice.panRight * level;
}

void FVoiceRenderer::enterLoop(FVoiceState& voice, int loopStart, int loopLength)
{
    if (voice.loopMode == FVoiceState::k_loop) return;
    voice.loopMode = FVoiceState::k_loop;
    voice.loopStart = loopStart;
    voice.loopEnd = loopStart + loopLength - 1;
    voice.loopStartPointer = nullptr;
}

void FVoiceRenderer::playPass(FAudioNodeData& context, FAudioNode& sender, FAudioBuffer& data, int& remaining)
{
    FVoiceState* voice = context.voice();
    FAudioBuffer* out = context.output();
    FAudioSpan* span = context.span();
    const int before = voice->position;
    if (voice->baseVolume * voice->volume >= 64 && !data.m_silent && voice->position + span->count >= 0) {
        render(*voice, data, *out, *span, remaining);
    } else {
        out->silenceSpan(span->start, span->count);
        advance(*voice, data, out->rate(), remaining);
    }
    if (!voice->m_progress.empty()) {
        const FAudioClock* clock = context.root().clock();
        const int milliseconds = clock != nullptr ? clock->latency(clock->frames + span->start) : 0;
        voice->m_progress.notifyProgress(&sender, before, voice->position, milliseconds);
    }
}

void FVoiceRenderer::mixBuffer(FAudioNodeData& context, FAudioNode& sender, FAudioBuffer* data, bool loops,
                               int loopStart, int loopLength)
{
    // Held for the whole call: an end listener may replace the source, which
    // drops the voice from the context.
    const FRef keepVoice = context.component(FAudioNodeData::k_voice);
    FVoiceState* voice = context.voice();
    FAudioBuffer* out = context.output();
    FAudioSpan* span = context.span();
    voice->volume = context.effectiveVolume();
    updateGains(*voice);
    int remaining = span->count - span->done;
    if (remaining < 1) return;
    // A voice that has ended stays silent until its source is replaced; its
    // end listeners have been told once.
    if (data == nullptr || voice->ended) {
        out->finishSpan(*span);
        return;
    }
    if (loops) enterLoop(*voice, loopStart, loopLength);
    playPass(context, sender, *data, remaining);
    if (voice->position >= data->frames()) {
        voice->ended = true;
        voice->m_ended.notify(reinterpret_cast<std::intptr_t>(&sender));
        out->finishSpan(*span);
        return;
    }
    // The whole source is one buffer: what it could not fill is silence.
    if (remaining > 0) out->finishSpan(*span);
}
