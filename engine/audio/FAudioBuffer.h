#pragma once

#include "core/FRef.h"

#include <cstddef>
#include <cstdint>

struct FAudioFrame;
struct FAudioSpan;
struct FVoiceState;
struct FVolumeFader;

// A block of sample frames with its format and the converters chosen once for
// that format, so that the mixer never tests formats per frame. All arithmetic
// is integer: gains are 12-bit fixed point (4096 = unity) and values saturate
// only where a narrow format is stored.
class FAudioBuffer
{
public:
    enum Kind : int { k_int8 = 0, k_int16 = 1, k_int32 = 2 };

    using ReadFrame = void (*)(const std::uint8_t*& pointer, FAudioFrame& frame);
    using FetchVoice = bool (*)(FAudioBuffer& buffer, FVoiceState& voice);
    using SkipVoice = bool (*)(FAudioBuffer& buffer, FVoiceState& voice, int steps);
    using WriteFrame = void (*)(FAudioBuffer& buffer, FAudioSpan& span);
    using Mix = void (*)(FAudioBuffer& buffer, const FAudioSpan& span, FAudioBuffer& source,
                         const FVoiceState& gain);

    // Over existing bytes: frame 0 at `offset` in `data`.
    FAudioBuffer(FRef data, std::size_t offset, int channels, float rate, int frames, int firstFrame,
                 Kind kind = k_int16);
    FAudioBuffer(const FAudioBuffer&) = delete;
    FAudioBuffer& operator=(const FAudioBuffer&) = delete;

    // A new 32-bit scratch buffer shaped like `model` (frames, channels, rate),
    // marked silent; a null handle when no memory is left.
    static FRefT<FAudioBuffer> makeScratch(const FAudioBuffer& model);
    // A new zeroed buffer of its own memory (not marked silent).
    static FRefT<FAudioBuffer> make(Kind kind, int channels, float rate, int frames, int firstFrame = 0);

    std::uint8_t* frameAddress(int frame) const
    {
        return static_cast<std::uint8_t*>(m_data.get()) + m_offset +
               (static_cast<std::size_t>(frame) << m_shift);
    }
    bool hasData() const { return m_data.get() != nullptr; }
    int frames() const { return m_frames; }
    int firstFrame() const { return m_firstFrame; }
    int channels() const { return m_channels; }
    float rate() const { return m_rate; }
    Kind kind() const { return m_kind; }
    int shift() const { return m_shift; }
    int bytesPerFrame() const { return 1 << m_shift; }

    // Nothing when marked silent; only the mark when the span covers the
    // buffer; else zero bytes.
    void silenceSpan(int start, int count);
    // Zeroes what the writers left of the span (or only marks a whole untouched
    // buffer silent) and closes the span.
    void finishSpan(FAudioSpan& span);
    // Zeroes frames [start, start + count) whatever the mark says.
    void zeroFrames(int start, int count);

    // The converters.
    void readFrame(const std::uint8_t*& pointer, FAudioFrame& frame) const { m_readFrame(pointer, frame); }
    bool fetchVoice(FVoiceState& voice) { return m_fetchVoice(*this, voice); }
    bool skipVoice(FVoiceState& voice, int steps) { return m_skipVoice(*this, voice, steps); }
    void writeFrame(FAudioSpan& span) { m_writeFrame(*this, span); }
    void mixAdd(const FAudioSpan& span, FAudioBuffer& source, const FVoiceState& gain)
    {
        m_mixAdd(*this, span, source, gain);
    }
    void mixCopy(const FAudioSpan& span, FAudioBuffer& source, const FVoiceState& gain)
    {
        m_mixCopy(*this, span, source, gain);
    }

    FVolumeFader* m_fader = nullptr; // the channel rendering into this buffer
    bool m_silent = false;
    int m_lastLeft = 0;
    int m_lastRight = 0;

private:
    void chooseConverters();

    FRef m_data;
    std::size_t m_offset;
    int m_frames;
    int m_firstFrame;
    int m_channels;
    float m_rate;
    Kind m_kind;
    ReadFrame m_readFrame = nullptr;
    FetchVoice m_fetchVoice = nullptr;
    SkipVoice m_skipVoice = nullptr;
    WriteFrame m_writeFrame = nullptr;
    Mix m_mixAdd = nullptr;
    Mix m_mixCopy = nullptr;
    int m_shift = 0;
};
