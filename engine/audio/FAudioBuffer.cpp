#include "audio/FAudioBuffer.h"

#include "audio/FAudioFrame.h"
#include "audio/FAudioSpan.h"
#include "audio/FVoiceState.h"
#include "audio/FVolumeFader.h"
#include "core/FMemory.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

inline int saturate(std::int64_t value, std::int64_t limit)
{
    return static_cast<int>(std::clamp(value, -limit, limit));
}

// Calls `call.operator()<T, Channels>()` for a buffer's format.
template <class Call> void withFormat(int kind, int channels, Call&& call)
{
    switch (kind * 2 + channels - 1) {
    case 0:
        call.template operator()<std::int8_t, 1>();
        break;
    case 1:
        call.template operator()<std::int8_t, 2>();
        break;
    case 2:
        call.template operator()<std::int16_t, 1>();
        break;
    case 3:
        call.template operator()<std::int16_t, 2>();
        break;
    case 4:
        call.template operator()<std::int32_t, 1>();
        break;
    default:
        call.template operator()<std::int32_t, 2>();
        break;
    }
}

// Everything that depends on the sample type and the channel count.
template <class T, int Channels> struct Format
{
    static constexpr bool k_mono = Channels == 1;
    // Stored values are clamped to +-limit (32-bit stereo keeps the full range).
    static constexpr std::int64_t k_limit = sizeof(T) == 1                ? 127
                                            : (sizeof(T) == 4 && !k_mono) ? INT_MAX
                                                                          : 32767;
    // From the 16-bit scale to the stored scale; mono halves each side.
    static constexpr int k_writeShift = (sizeof(T) == 1 ? 8 : 0) + (k_mono ? 1 : 0);
    // From a 12-bit gain product to the stored scale.
    static constexpr int k_mixShift = 12 + k_writeShift;

    static int widen(T sample)
    {
        if constexpr (sizeof(T) == 1)
            return (static_cast<int>(sample) << 8) | (static_cast<int>(sample) & 255);
        else
            return static_cast<int>(sample);
    }

    static void readFrame(const std::uint8_t*& pointer, FAudioFrame& frame)
    {
        T samples[Channels];
        std::memcpy(samples, pointer, sizeof(samples));
        frame.left = widen(samples[0]);
        frame.right = widen(samples[Channels - 1]);
        pointer += sizeof(samples);
    }

    static T load(const std::uint8_t* pointer, int side)
    {
        T value;
        std::memcpy(&value, pointer + side * sizeof(T), sizeof(T));
        return value;
    }
    static void store(std::uint8_t* pointer, int side, int value)
    {
        const T sample = static_cast<T>(value);
        std::memcpy(pointer + side * sizeof(T), &sample, sizeof(T));
    }

    static void writeFrame(FAudioBuffer& buffer, FAudioSpan& span)
    {
        int left = span.frame->left;
        int right = span.frame->right;
        if (FVolumeFader* fader = buffer.m_fader; fader != nullptr && fader->ramp != 0) {
            left += fader->lastLeft * fader->ramp >> 5;
            right += fader->lastRight * fader->ramp >> 5;
            --fader->ramp;
        }
        if (span.cursor == nullptr) span.cursor = buffer.frameAddress(span.done);
        if constexpr (k_mono) {
            const int value = saturate((left >> k_writeShift) + (right >> k_writeShift), k_limit);
            store(span.cursor, 0, value);
            buffer.m_lastLeft = left >> k_writeShift;
            buffer.m_lastRight = value;
        } else {
            const int storedLeft = saturate(left >> k_writeShift, k_limit);
            const int storedRight = saturate(right >> k_writeShift, k_limit);
            store(span.cursor, 0, storedLeft);
            store(span.cursor, 1, storedRight);
            buffer.m_lastLeft = storedLeft;
            buffer.m_lastRight = storedRight;
        }
        span.cursor += sizeof(T) * Channels;
        ++span.done;
    }

    // Products are taken in 64 bits: a loud scratch sum times a gain would
    // wrap around in 32 bits and click instead of saturating.
    template <bool Replace, class Source>
    static void mixFrames(std::uint8_t* out, const std::uint8_t* in, int count, int gainLeft, int gainRight)
    {
        FAudioFrame frame;
        for (int k = 0; k < count; ++k, out += sizeof(T) * Channels) {
            Source::readFrame(in, frame);
            const std::int64_t left = static_cast<std::int64_t>(gainLeft) * frame.left >> k_mixShift;
            const std::int64_t right = static_cast<std::int64_t>(gainRight) * frame.right >> k_mixShift;
            if constexpr (k_mono) {
                const std::int64_t old = Replace ? 0 : load(out, 0);
                store(out, 0, saturate(old + left + right, k_limit));
            } else {
                const std::int64_t oldLeft = Replace ? 0 : load(out, 0);
                const std::int64_t oldRight = Replace ? 0 : load(out, 1);
                store(out, 0, saturate(oldLeft + left, k_limit));
                store(out, 1, saturate(oldRight + right, k_limit));
            }
        }
    }

    static void mix(FAudioBuffer& buffer, const FAudioSpan& span, FAudioBuffer& source,
                    const FVoiceState& gain, bool replace)
    {
        if (buffer.m_silent) {
            // The old content counts as zero: clear around the span, copy into it.
            buffer.zeroFrames(0, span.start);
            buffer.zeroFrames(span.start + span.count, buffer.frames() - span.start - span.count);
            buffer.m_silent = false;
            replace = true;
        }
        const int from = gain.position - source.firstFrame();
        const int count = std::min({span.count, source.frames() - from, buffer.frames() - span.start});
        if (count <= 0 || !source.hasData()) return;
        const int gainLeft = gain.baseVolume * gain.panLeft;
        const int gainRight = gain.baseVolume * gain.panRight;
        std::uint8_t* out = buffer.frameAddress(span.start);
        const std::uint8_t* in = source.frameAddress(from);
        // The source's format is chosen once per call, not per frame.
        withFormat(source.kind(), source.channels(), [&]<class S, int C>() {
            if (replace)
                mixFrames<true, Format<S, C>>(out, in, count, gainLeft, gainRight);
            else
                mixFrames<false, Format<S, C>>(out, in, count, gainLeft, gainRight);
        });
    }

    static void mixCopy(FAudioBuffer& buffer, const FAudioSpan& span, FAudioBuffer& source,
                        const FVoiceState& gain)
    {
        if (source.m_silent) {
            buffer.silenceSpan(span.start, span.count);
            return;
        }
        mix(buffer, span, source, gain, true);
    }

    static void mixAdd(FAudioBuffer& buffer, const FAudioSpan& span, FAudioBuffer& source,
                       const FVoiceState& gain)
    {
        if (source.m_silent || gain.baseVolume == 0) return;
        mix(buffer, span, source, gain, false);
    }
};

bool inside(const FAudioBuffer& buffer, int position)
{
    const int index = position - buffer.firstFrame();
    return index >= 0 && index < buffer.frames();
}

bool readsSilence(const FAudioBuffer& buffer, const FVoiceState& voice)
{
    return (voice.gainLeft == 0 && voice.gainRight == 0) || !inside(buffer, voice.position) ||
           buffer.m_silent || !buffer.hasData();
}

// One step of a voice with its loop rules; false when it leaves the buffer.
bool stepVoice(FAudioBuffer& buffer, FVoiceState& voice)
{
    if (voice.loopMode != FVoiceState::k_noLoop && (!voice.released || voice.step < 0)) {
        if (voice.position == voice.loopEnd) {
            if (voice.loopMode == FVoiceState::k_loop) {
                voice.position = voice.loopStart;
                // A streamed chunk may not hold the loop start: the voice then
                // leaves it and goes on in the chunk that does.
                if (!inside(buffer, voice.position)) {
                    voice.readPointer = nullptr;
                    return false;
                }
                if (voice.loopStartPointer == nullptr)
                    voice.loopStartPointer = buffer.frameAddress(voice.loopStart - buffer.firstFrame());
                voice.readPointer = voice.loopStartPointer;
                return true;
            }
            voice.step = -voice.step;
        } else if (voice.step < 0 && voice.position == voice.loopStart) {
            voice.step = -voice.step;
        }
    }
    voice.position += voice.step;
    if (voice.readPointer != nullptr) voice.readPointer += voice.step * buffer.bytesPerFrame();
    return inside(buffer, voice.position);
}

template <class F> bool fetchVoice(FAudioBuffer& buffer, FVoiceState& voice)
{
    FAudioFrame& out = *voice.outFrame;
    if (readsSilence(buffer, voice)) {
        voice.silent = true;
        out = FAudioFrame{};
    } else {
        voice.silent = false;
        if (voice.readPointer == nullptr)
            voice.readPointer = buffer.frameAddress(voice.position - buffer.firstFrame());
        const std::uint8_t* pointer = voice.readPointer;
        FAudioFrame frame;
        F::readFrame(pointer, frame);
        out.left = frame.left * voice.gainLeft >> 12;
        out.right = frame.right * voice.gainRight >> 12;
    }
    return stepVoice(buffer, voice);
}

bool skipVoice(FAudioBuffer& buffer, FVoiceState& voice, int steps)
{
    for (int n = 0; n < steps; ++n) {
        voice.silent = readsSilence(buffer, voice);
        if (!stepVoice(buffer, voice)) return false;
    }
    return true;
}

} // namespace

FAudioBuffer::FAudioBuffer(FRef data, std::size_t offset, int channels, float rate, int frames,
                           int firstFrame, Kind kind)
    : m_data(static_cast<FRef&&>(data)), m_offset(offset), m_frames(frames), m_firstFrame(firstFrame),
      m_channels(channels == 1 ? 1 : 2), m_rate(rate), m_kind(kind)
{
    chooseConverters();
}

FRefT<FAudioBuffer> FAudioBuffer::make(Kind kind, int channels, float rate, int frames, int firstFrame)
{
    const int bytesPerSample = kind == k_int8 ? 1 : kind == k_int16 ? 2 : 4;
    const std::size_t bytes =
        static_cast<std::size_t>(std::max(frames, 0)) * bytesPerSample * (channels == 1 ? 1 : 2);
    void* block = engineAlloc(k_memAudio, std::max<std::size_t>(bytes, 1));
    if (block == nullptr) return {};
    std::memset(block, 0, bytes);
    FRef data = makeRefHolder(block);
    if (data.isNull()) return {};
    return makeRef(
        engineNew<FAudioBuffer>(k_memObject, data, 0, channels, rate, std::max(frames, 0), firstFrame, kind));
}

FRefT<FAudioBuffer> FAudioBuffer::makeScratch(const FAudioBuffer& model)
{
    FRefT<FAudioBuffer> scratch = make(k_int32, model.channels(), model.rate(), model.frames());
    if (scratch.get() != nullptr) scratch->m_silent = true;
    return scratch;
}

void FAudioBuffer::chooseConverters()
{
    auto use = [this]<class T, int Channels>() {
        using F = Format<T, Channels>;
        m_readFrame = &F::readFrame;
        m_writeFrame = &F::writeFrame;
        m_mixAdd = &F::mixAdd;
        m_mixCopy = &F::mixCopy;
        m_fetchVoice = &::fetchVoice<F>;
        m_shift = (sizeof(T) == 1 ? 0 : sizeof(T) == 2 ? 1 : 2) + (Channels == 2 ? 1 : 0);
    };
    withFormat(m_kind, m_channels, use);
    m_skipVoice = &::skipVoice;
}

void FAudioBuffer::zeroFrames(int start, int count)
{
    start = std::max(start, 0);
    count = std::min(count, m_frames - start);
    if (count <= 0 || !hasData()) return;
    std::memset(frameAddress(start), 0, static_cast<std::size_t>(count) << m_shift);
}

void FAudioBuffer::silenceSpan(int start, int count)
{
    if (m_silent) return;
    if (start == 0 && count == m_frames)
        m_silent = true;
    else
        zeroFrames(start, count);
}

void FAudioBuffer::finishSpan(FAudioSpan& span)
{
    if (span.done > 0 || span.count != m_frames) {
        if (!m_silent) zeroFrames(span.start + span.done, span.count - span.done);
    } else {
        m_silent = true;
    }
    span.done = span.count;
    span.cursor = nullptr;
    m_lastLeft = 0;
    m_lastRight = 0;
}
