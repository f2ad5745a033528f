#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"

// The game module's music, ambience and voice channels as the story mode
// screen uses them. Each call does nothing (or answers false) without a
// running game module or its sound channels, as in a run without audio.
class StoryAudio
{
public:
    using Callback = FDelegate<void()>;

    static void playMusic(const FRef& track, bool loop);
    static bool isMusicPlaying();
    static void playAmbientSound(const FRef& sound);
    // True when the line plays; an empty sample or no voice channel plays
    // nothing, and then no voice-finished callback will ever come.
    static bool playVoice(const FRef& sample);
    static void stopVoice();
    // Stores a clone of the callback (null clears it).
    static void setVoiceFinishedCallback(const Callback* callback);
};
