#pragma once

#include "core/FRef.h"

#include <cstdint>

class FAudioBuffer;
class FAudioClock;
struct FAudioSpan;
struct FBusMixState;
struct FVoiceState;
struct FVolumeFader;

// The context of one attachment point in the mix graph. A node finds what it
// needs (clock, span, output buffer, voice, fader ...) in its own context or in
// the nearest ancestor that has it, so it can be placed under any parent.
class FAudioNodeData
{
public:
    enum Component : int {
        k_clock = 0,
        k_span,
        k_output,
        k_voice,
        k_music,
        k_busState,
        k_fader,
        k_componentCount
    };

    FAudioNodeData() = default;
    ~FAudioNodeData() { release(); }
    FAudioNodeData(const FAudioNodeData&) = delete;
    FAudioNodeData& operator=(const FAudioNodeData&) = delete;

    // All components empty and the volume back to unity; counters kept.
    void reset();
    // Releases the components, the fader first.
    void release();

    FRef& component(Component k) { return m_components[k]; }
    // The component k seen from here: own, else the nearest ancestor's.
    void* find(Component k) const;
    FAudioNodeData& root();

    FAudioClock* clock() const { return static_cast<FAudioClock*>(find(k_clock)); }
    FAudioSpan* span() const { return static_cast<FAudioSpan*>(find(k_span)); }
    FAudioBuffer* output() const { return static_cast<FAudioBuffer*>(find(k_output)); }
    FVoiceState* voice() const { return static_cast<FVoiceState*>(find(k_voice)); }
    FBusMixState* busState() const { return static_cast<FBusMixState*>(find(k_busState)); }
    FVolumeFader* fader() const { return static_cast<FVolumeFader*>(find(k_fader)); }

    // 0 when this volume is 0; else the product of the volumes up to the root
    // (64 = unity at each level).
    int effectiveVolume() const;

    void countPlaying() { ++root().m_playing; }
    void countVisited() { ++root().m_visited; }

    FAudioNodeData* m_parent = nullptr;
    int m_volume = 64;
    int m_playing = 0;
    int m_visited = 0;

private:
    FRef m_components[k_componentCount];
};
