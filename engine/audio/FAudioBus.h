#pragma once

#include "audio/FAudioBusSlot.h"
#include "audio/FAudioNode.h"
#include "audio/FAudioNodeData.h"
#include "core/FRef.h"

#include <vector>

class FMutex;

// Mixes its children into its parent's span: each child renders into the bus's
// 32-bit scratch buffer, which is added into the output with the bus gain (the
// bus level less 1/16 headroom). Slot indices never change; a removed slot is
// released at the start of the next mix, on the mixer thread. A paused bus
// silences its span without mixing its children, so everything below it keeps
// its place until the pause ends (the root bus paused silences the mixer).
class FAudioBus : public FAudioNode
{
public:
    FAudioBus() = default;
    ~FAudioBus() override;

    void mix(FAudioNodeData& context) override;
    // Creates the bus's mixing state in the context it is attached in.
    void prepare(FAudioNodeData& context) override;

    // Adds `count` new channels; the index of the last one, -1 when count <= 0.
    int addChannels(int count);
    // Adds a child in a new slot (reusing the last free index); its index.
    int addChild(const FRefT<FAudioNode>& node);
    void removeChild(int index);
    // The index of the entry holding this very slot handle, or -1.
    int indexOf(const FRef& slot) const;
    FRefT<FAudioBusSlot> getChild(int index) const;
    FRefT<FAudioNode> getChannelNode(int index) const;
    // Replaces the source of a channel; a channel that was sounding fades its
    // last frame out over the de-click ramp.
    void setChannelSource(int index, const FRefT<FAudioNode>& node, FMutex& lock);
    void clearSources(FMutex& lock);

    int slotCount() const { return static_cast<int>(m_slots.size()); }
    // Under the audio lock.
    void setPaused(bool paused) { m_paused = paused; }
    bool isPaused() const { return m_paused; }
    // The gain a bus of this level applies (64 = unity level gives 60).
    static int gainOf(int level);

private:
    std::vector<FRefT<FAudioBusSlot>> m_slots;
    std::vector<FRefT<FAudioBusSlot>> m_released;
    FAudioNodeData m_context;
    bool m_paused = false;
};
