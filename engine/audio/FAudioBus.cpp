#include "audio/FAudioBus.h"

#include "audio/FAudioBuffer.h"
#include "audio/FAudioSpan.h"
#include "audio/FBusMixState.h"
#include "audio/FSoundChannel.h"
#include "audio/FVolumeFader.h"
#include "core/FMemory.h"

FAudioBus::~FAudioBus()
{
    m_context.release();
    m_slots.clear();
    m_released.clear();
}

void FAudioBus::prepare(FAudioNodeData& context)
{
    auto* state = engineNew<FBusMixState>(k_memObject);
    if (state != nullptr) state->scratchSpan = makeRef(engineNew<FAudioSpan>(k_memObject));
    context.component(FAudioNodeData::k_busState) = makeRef(state);
}

int FAudioBus::addChannels(int count)
{
    int last = -1;
    for (int n = 0; n < count; ++n)
        last = addChild(makeRef<FAudioNode>(engineNew<FSoundChannel>(k_memObject)));
    return last;
}

int FAudioBus::addChild(const FRefT<FAudioNode>& node)
{
    FRefT<FAudioBusSlot> slot = makeRef(engineNew<FAudioBusSlot>(k_memObject, node));
    if (slot.get() != nullptr && node.get() != nullptr) node->prepare(slot->context);
    for (int index = slotCount() - 1; index >= 0; --index) {
        if (m_slots[index].get() == nullptr) {
            m_slots[index] = slot;
            return index;
        }
    }
    m_slots.push_back(slot);
    return slotCount() - 1;
}

void FAudioBus::removeChild(int index)
{
    if (index < 0 || index >= slotCount()) return;
    m_released.push_back(static_cast<FRefT<FAudioBusSlot>&&>(m_slots[index]));
    m_slots[index] = FRefT<FAudioBusSlot>();
}

int FAudioBus::indexOf(const FRef& slot) const
{
    for (int index = 0; index < slotCount(); ++index) {
        if (!slot.isNull() && m_slots[index].holder() == slot.holder()) return index;
    }
    return -1;
}

FRefT<FAudioBusSlot> FAudioBus::getChild(int index) const
{
    return index >= 0 && index < slotCount() ? m_slots[index] : FRefT<FAudioBusSlot>();
}

FRefT<FAudioNode> FAudioBus::getChannelNode(int index) const
{
    FRefT<FAudioBusSlot> slot = getChild(index);
    return slot.get() != nullptr ? slot->node : FRefT<FAudioNode>();
}

void FAudioBus::setChannelSource(int index, const FRefT<FAudioNode>& node, FMutex& lock)
{
    FRefT<FAudioBusSlot> slot = getChild(index);
    auto* channel = slot.get() != nullptr ? dynamic_cast<FSoundChannel*>(slot->node.get()) : nullptr;
    if (channel == nullptr) return;
    channel->setSource(node, lock);
    FVolumeFader* fader = slot->context.fader();
    if (fader != nullptr && (fader->lastLeft != 0 || fader->lastRight != 0))
        fader->ramp = FVolumeFader::k_rampFrames;
}

void FAudioBus::clearSources(FMutex& lock)
{
    for (int index = slotCount() - 1; index >= 0; --index) {
        if (m_slots[index].get() != nullptr) setChannelSource(index, FRefT<FAudioNode>(), lock);
    }
}

int FAudioBus::gainOf(int level)
{
    if (level < 0) return 0;
    if (level <= 64) return level - (level >> 4);
    return 60;
}

void FAudioBus::mix(FAudioNodeData& context)
{
    FAudioBuffer* out = context.output();
    FAudioSpan* span = context.span();
    m_released.clear();
    if (m_paused) {
        out->silenceSpan(span->start, span->count);
        return;
    }
    FBusMixState* state = context.busState();
    state->gain.baseVolume = gainOf(state->level);
    m_context.m_parent = &context;
    if (state->scratch.get() == nullptr || state->scratch->frames() < out->frames())
        state->scratch = FAudioBuffer::makeScratch(*out);
    FRef& output = m_context.component(FAudioNodeData::k_output);
    if (output.holder() != state->scratch.holder()) output = state->scratch;
    FRef& scratchSpan = m_context.component(FAudioNodeData::k_span);
    if (scratchSpan.holder() != state->scratchSpan.holder()) scratchSpan = state->scratchSpan;

    FAudioBuffer& scratch = *state->scratch;
    const FAudioSpan target{span->start, span->count};
    bool mixed = false;
    // By index and through a copy of the handle: a listener called during the
    // child's mix may add or remove slots.
    for (int index = 0; index < slotCount(); ++index) {
        const FRefT<FAudioBusSlot> slot = m_slots[index];
        if (slot.get() == nullptr || slot->node.get() == nullptr) continue;
        slot->context.m_parent = &m_context;
        state->scratchSpan->reset(0, span->count);
        slot->node->mix(slot->context);
        if (mixed)
            out->mixAdd(target, scratch, state->gain);
        else
            out->mixCopy(target, scratch, state->gain);
        slot->context.m_parent = nullptr;
        mixed = true;
    }
    if (!mixed) out->silenceSpan(span->start, span->count);
    m_context.m_parent = nullptr;
}
