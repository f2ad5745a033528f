#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"

class FScreen;
class SoundChannel;

// The game module's music, voice and controller calls the front-end screens
// make; each does nothing (or answers null) without a running game module or
// its sound channels (a headless run without audio).
namespace FrontEndSounds {
// The channel the track plays on.
SoundChannel* playMusic(const FRef& track, bool loop);
void stopMusic();
// The voice line plays on the voice channel, whose end runs the callback
// set below (a clone is kept; null clears it). False when nothing plays it.
bool playVoice(const FRef& line);
void stopVoice();
void setVoiceFinishedCallback(const FDelegate<void()>* callback);
bool isGamePaused();
bool isQuitPending();
// The screen becomes the controllers' current screen, every flag back at its
// value from construction.
void takeControllers(FScreen* screen);
} // namespace FrontEndSounds
