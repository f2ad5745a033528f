#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"

#include <atomic>
#include <cstdint>

class FAudioNode;
class FAudioService;
class FSound;

// One playable line of the game's sound graph: a voice in the mixer and the
// sound attached to it. The mixer thread only raises the ended flag (through
// the end listener); the UI thread frees the channel in `finish` on its next
// frame, so the end callback always runs on the UI thread.
class SoundChannel
{
public:
    using EndCallback = FDelegate<void()>;

    explicit SoundChannel(FAudioService& service);
    ~SoundChannel();
    SoundChannel(const SoundChannel&) = delete;
    SoundChannel& operator=(const SoundChannel&) = delete;

    // Makes the channel's voice as a new input of `bus` (the root bus when
    // `bus` is empty).
    void createVoice(const FRefT<FAudioNode>& bus);
    // Starts `sound` from its beginning at `volume` (64 = unity), only when
    // the channel is free; a busy channel ignores the call.
    void play(const FRefT<FAudioNode>& sound, std::uint8_t volume);
    // Detaches the sound; its end callback is dropped without running.
    void stop();
    // Frees an ended channel and runs its end callback once (UI thread).
    void finish();
    // The voice's end listener (mixer thread).
    void onSoundEnded(std::intptr_t sender);

    // Takes a copy of `callback` (null clears it).
    void setEndCallback(const EndCallback* callback) { EndCallback::assign(m_endCallback, callback); }
    // The stored end callback (null when none): a user can tell whether the
    // channel still plays its sound or was handed to another.
    const EndCallback* endCallback() const { return m_endCallback; }
    void setVolume(std::uint8_t volume);
    void pause();
    void resume();

    bool hasSound() const { return m_sound.get() != nullptr; }
    bool isEnded() const { return m_ended.load(std::memory_order_acquire); }
    const FRefT<FAudioNode>& sound() const { return m_sound; }
    const FRefT<FSound>& voice() const { return m_voice; }

private:
    FAudioService& m_service;
    FRefT<FSound> m_voice;
    FRefT<FAudioNode> m_sound;
    FRef m_endListener;
    EndCallback* m_endCallback = nullptr;
    // Written by the mixer thread, read and cleared by the UI thread.
    std::atomic<bool> m_ended{false};
};
