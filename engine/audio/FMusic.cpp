#include "audio/FMusic.h"

#include "audio/FAudioBuffer.h"
#include "audio/FAudioClock.h"
#include "audio/FAudioNodeData.h"
#include "audio/FAudioSpan.h"
#include "audio/FBusMixState.h"
#include "audio/FMusicState.h"
#include "audio/FSoundChannel.h"
#include "audio/FVoiceRenderer.h"
#include "audio/FVoiceState.h"
#include "core/FLogStream.h"

namespace {

constexpr float k_beatThreshold = 0.995f;

void setPan(FVoiceState& voice, int pan)
{
    voice.panLeft = (256 - pan) >> 2;
    voice.panRight = (pan + 1) >> 2;
}

} // namespace

FMusic::FMusic(FMutex& lock) : m_lock(lock) {}

void FMusic::setSong(FMusicSong song)
{
    m_song = static_cast<FMusicSong&&>(song);
    m_haveSong = true;
}

int FMusic::framesPerTick(int tempo, float rate, float speedFactor)
{
    return static_cast<int>(2.5f / static_cast<float>(tempo) * rate * speedFactor);
}

float FMusic::framesPerBeat(int beatTempo, float rate, float speedFactor)
{
    return 60.0f / (static_cast<float>(beatTempo) / 256.0f) * rate * speedFactor;
}

void FMusic::prepare(FAudioNodeData& context)
{
    complete();
    auto* state = engineNew<FMusicState>(k_memObject);
    context.component(FAudioNodeData::k_music) = makeRef(state);
    if (state == nullptr) return;
    state->bus = makeRef(engineNew<FAudioBus>(k_memObject));
    if (state->bus.get() == nullptr) return;
    state->bus->prepare(context);
    state->busMix = context.busState();
    if (m_haveSong) state->bus->addChannels(m_song.channels);
}

const FMusicPattern* FMusic::pattern(const FMusicState& state) const
{
    if (state.order < 0 || state.order >= static_cast<int>(m_song.orders.size())) return nullptr;
    const int index = m_song.orders[static_cast<size_t>(state.order)];
    if (index >= static_cast<int>(m_song.patterns.size())) return nullptr;
    const FMusicPattern& p = m_song.patterns[static_cast<size_t>(index)];
    // A pattern without rows, or with fewer cells than its rows need, cannot be read.
    if (p.rows < 1 || p.cells.size() < static_cast<size_t>(p.rows) * static_cast<size_t>(m_song.channels))
        return nullptr;
    return &p;
}

FVoiceState* FMusic::channelVoice(FMusicState& state, int channel)
{
    FRefT<FAudioNode> node = state.bus->getChannelNode(channel);
    auto* soundChannel = dynamic_cast<FSoundChannel*>(node.get());
    if (soundChannel == nullptr || soundChannel->source().get() == nullptr) return nullptr;
    return soundChannel->context().voice();
}

void FMusic::mix(FAudioNodeData& context)
{
    ensureLoaded();
    FAudioBuffer* out = context.output();
    FAudioSpan* span = context.span();
    auto* state = static_cast<FMusicState*>(context.component(FAudioNodeData::k_music).get());
    // Without a song (nothing loaded it) or a sensible tempo there is nothing
    // to sequence: silence, instead of reading missing tables.
    if (state == nullptr || state->bus.get() == nullptr || !m_haveSong || m_song.tempo < 1 ||
        m_song.speed < 1 || m_song.length < 1 || m_song.channels < 1) {
        out->finishSpan(*span);
        return;
    }
    if (state->tempo == 0) {
        state->tempo = m_song.tempo;
        state->speed = m_song.speed;
        state->instruments.assign(static_cast<size_t>(m_song.channels), -1);
        state->bus->clearSources(m_lock);
    }
    FAudioNodeData local;
    local.m_parent = &context;
    FRefT<FAudioSpan> localSpan = makeRef(engineNew<FAudioSpan>(k_memObject));
    local.component(FAudioNodeData::k_span) = localSpan;
    const float rate = out->rate();
    const int total = span->count - span->done;
    for (int done = 0; done < total;) {
        const int position = span->start + done;
        const int left = total - done;
        int w = framesPerTick(state->tempo, rate, state->speedFactor);
        if (w < 1) w = 1;
        if (state->tickFramesDone == 0 && state->tick == 0) startRow(*state, context, position);
        if (state->tickFramesDone >= w) state->tickFramesDone = w - 1; // a tempo change shortened the tick
        w -= state->tickFramesDone;
        int n;
        bool tickComplete = false;
        if (left < w) {
            n = left;
            state->tickFramesDone += left;
        } else {
            n = w;
            tickComplete = true;
        }
        done += n;
        const float perBeat = framesPerBeat(m_song.beatTempo, rate, state->speedFactor);
        if (m_song.beatTempo > 0) state->beatPhase += static_cast<float>(n) / perBeat;
        if (tickComplete) {
            state->tickFramesDone = 0;
            if (++state->tick >= state->speed) {
                state->tick = 0;
                const FMusicPattern* current = pattern(*state);
                ++state->row;
                if (current == nullptr || state->row >= current->rows || state->jumpOrder >= 0) {
                    state->row = 0;
                    state->order = state->jumpOrder >= 0 ? state->jumpOrder : state->order + 1;
                    state->jumpOrder = -1;
                    if (state->order >= m_song.length) state->order = m_song.restart;
                }
            }
        }
        localSpan->reset(position, n);
        state->bus->mix(local);
    }
    local.m_parent = nullptr;
    local.release();
    span->done = span->count;
}

void FMusic::startRow(FMusicState& state, FAudioNodeData& context, int position)
{
    const bool beat = state.beatPhase >= k_beatThreshold;
    const FMusicPattern* current = pattern(state);
    if (state.row == 0 || beat) {
        const FAudioClock* clock = context.root().clock();
        const int ms = clock != nullptr ? clock->latency(clock->frames + position) : 0;
        const int beats = current != nullptr ? current->beats : 0;
        if (state.row == 0) {
            if (state.beatCount != 0 && state.beatCount < beats - 1 && current != nullptr &&
                !current->irregularBeats) {
                ZIBBO_LOG(k_logWarn, false) << "Inconsistent number of beats played. Might be nothing...";
            }
            state.m_patternStart.notifyProgress(this, state.order, state.row, ms);
            state.beatPhase = 0.0f;
            state.beatCount = 0;
            state.m_beat.notifyProgress(this, state.order, state.beatCount, ms);
        } else if (state.beatCount < beats - 1) {
            state.m_beat.notifyProgress(this, state.order, state.beatCount + 1, ms);
            ++state.beatCount;
            state.beatPhase = 0.0f;
        } else {
            state.beatPhase = 0.0f;
        }
    }
    processRow(state);
}

void FMusic::processRow(FMusicState& state)
{
    const FMusicPattern* current = pattern(state);
    if (current == nullptr) return;
    for (int i = 0; i < m_song.channels; ++i) {
        const FMusicCell& cell =
            current->cells[static_cast<size_t>(state.row) * static_cast<size_t>(m_song.channels) + i];
        if (cell.instrument != FMusicCell::k_keepInstrument)
            state.instruments[static_cast<size_t>(i)] = cell.instrument;
        if (cell.note == FMusicCell::k_keyOff) {
            if (FVoiceState* voice = channelVoice(state, i)) voice->released = true;
        } else if (cell.note != FMusicCell::k_noNote) {
            trigger(state, i, cell.note);
        }
        applyEffect(state, i, cell.command2, cell.parameter2);
        applyEffect(state, i, cell.command1, cell.parameter1);
    }
}

void FMusic::trigger(FMusicState& state, int channel, int note)
{
    const int instrument = state.instruments[static_cast<size_t>(channel)];
    if (instrument < 0 || instrument >= static_cast<int>(m_song.instruments.size())) return;
    const FMusicInstrument& table = m_song.instruments[static_cast<size_t>(instrument)];
    if (note >= static_cast<int>(table.noteToSample.size())) return;
    const int index = table.noteToSample[static_cast<size_t>(note)];
    if (index >= static_cast<int>(table.samples.size())) return;
    const FMusicSampleEntry& entry = table.samples[static_cast<size_t>(index)];
    state.bus->setChannelSource(channel, entry.sample, m_lock);
    FVoiceState* voice = channelVoice(state, channel);
    if (voice == nullptr) return;
    voice->fineTune = entry.fineTune;
    voice->note = entry.relativeNote + note - 1;
    voice->baseVolume = entry.volume;
    setPan(*voice, entry.pan);
    FVoiceRenderer::updateGains(*voice);
}

void FMusic::applyEffect(FMusicState& state, int channel, int command, int parameter)
{
    switch (command) {
    case k_pan:
        if (FVoiceState* voice = channelVoice(state, channel)) {
            setPan(*voice, parameter);
            FVoiceRenderer::updateGains(*voice);
        }
        break;
    case k_jump:
        state.jumpOrder = parameter;
        break;
    case k_volume:
        if (FVoiceState* voice = channelVoice(state, channel)) {
            voice->baseVolume = parameter;
            FVoiceRenderer::updateGains(*voice);
        }
        break;
    case k_speedOrTempo:
        // Speed 0 would stall the song on its row for ever.
        if (parameter == 0) break;
        if (parameter < 32)
            state.speed = parameter;
        else
            state.tempo = parameter;
        break;
    case k_busLevel:
        if (state.busMix != nullptr) state.busMix->level = parameter;
        break;
    case k_keyOff:
        if (FVoiceState* voice = channelVoice(state, channel)) voice->released = true;
        break;
    default:
        break;
    }
}
