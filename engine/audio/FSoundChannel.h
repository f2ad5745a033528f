#pragma once

#include "audio/FAudioNode.h"
#include "audio/FAudioNodeData.h"
#include "core/FRef.h"

class FMutex;

// One input of a bus: a source node played through a fader. The fader lives in
// the bus-slot context; the source's own components (a sample's voice) live in
// this channel's context and are replaced with every source.
class FSoundChannel : public FAudioNode
{
public:
    FSoundChannel() = default;
    ~FSoundChannel() override;

    void mix(FAudioNodeData& context) override;
    // Creates the channel's fader in the bus-slot context.
    void prepare(FAudioNodeData& context) override;

    // Replaces the source (an empty handle detaches it) and starts the new one
    // from its beginning. The mixer skips the channel meanwhile: the paused
    // flag is raised under `lock` for the replacement.
    void setSource(const FRefT<FAudioNode>& source, FMutex& lock);

    const FRefT<FAudioNode>& source() const { return m_source; }
    FAudioNodeData& context() { return m_context; }
    // Read and written under the audio lock.
    bool m_paused = false;

private:
    // Runs the fader's fade for one mix call of `frames` frames at `rate`.
    static void fade(struct FVolumeFader& fader, int frames, float rate);

    FRefT<FAudioNode> m_source;
    FAudioNodeData m_context;
};
