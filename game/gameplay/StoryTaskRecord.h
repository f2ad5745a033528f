#pragma once

#include "core/FRef.h"

#include <cstdint>

// What a story step does to the play when it is presented; the story screen
// gives each kind its meaning.
enum class StoryCallback : int32_t {
    k_none,
    // The tutorial begins: the search waits, the level timer pauses and a
    // wrong click costs nothing.
    k_tutorialStart,
    k_resumeTimer,
    // As k_resumeTimer; the next click on the strip also ends the reminder.
    k_resumeTimerAndCancelReminder,
    k_penaltyOn,
    // The hint items appear and the hint stock grows.
    k_hintSprites,
    // The cursor shows where to click.
    k_cursorClip
};

// One scripted story step: the line it says, the story event it waits for
// and how it is presented.
class StoryTaskRecord
{
public:
    enum State : int32_t { k_waiting = 1, k_running = 2, k_done = 3 };

    // Queues the voice for loading ahead of its step (nothing without one).
    void preloadVoice() const;
    const FRef& getVoice() const { return m_voice; }
    const FRef& getAnimation() const { return m_animation; }

    FRef m_voice;
    FRef m_animation;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_trigger = 0;
    int32_t m_state = k_waiting;
    int32_t m_artKind = 0;
    StoryCallback m_callback = StoryCallback::k_none;
    int32_t m_orderKey = 0;
    int32_t m_delay = 0;
    bool m_speaker = false;
    bool m_video = false;
    bool m_reminder = false;
};
