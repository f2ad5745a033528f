#pragma once

#include "audio/FAudioBusSlot.h"
#include "audio/FAudioNode.h"
#include "core/FRef.h"

#include <cstdint>

class FAudioLock;
class FAudioService;
class FSoundChannel;
struct FVoiceState;
struct FVolumeFader;

// What game and UI code play sounds through: one channel of a bus, driven by a
// few operations under the audio lock. A sound lives as long as its handle;
// then its channel leaves the bus.
class FSound
{
public:
    static constexpr int k_fadeOutMs = 600;

    FSound(FAudioService& service, FRefT<FAudioBusSlot> channel, FRefT<FAudioNode> bus);
    ~FSound();
    FSound(const FSound&) = delete;
    FSound& operator=(const FSound&) = delete;

    void pause();
    void resume();
    // Stops: the voice is discarded without telling its end listeners.
    void clearSample();
    // Loads `sample` if it is still loading and plays it from its beginning.
    void playSample(const FRefT<FAudioNode>& sample);
    // Plays any node (a sample, or a bus routed into this channel) as it is.
    void setSample(const FRefT<FAudioNode>& node);
    // 64 = unity; cancels a running fade.
    void setVolume(std::uint8_t volume);
    // Down to 0 over 600 ms without stopping the sample.
    void fadeOut();
    void setMuted(int muted);
    // Adds an end listener to the playing voice (a cell FAudioListener);
    // false when nothing is playing: listeners belong to the voice they were
    // added to, so there is nothing to attach it to.
    bool addListener(const FRef& listener);
    // Marks the listener removed (erased at the next notification).
    void removeListener(const FRef& listener);

    const FRefT<FAudioBusSlot>& channelSlot() const { return m_channel; }
    const FRefT<FAudioNode>& bus() const { return m_bus; }
    FSoundChannel* channel() const;
    FVolumeFader* fader() const;
    // The voice of the channel's own context (null when nothing is attached).
    FVoiceState* voice() const;

private:
    FAudioLock& lock() const;

    FAudioService& m_service;
    FRefT<FAudioBusSlot> m_channel;
    FRefT<FAudioNode> m_bus;
    bool m_registered = true;
};
