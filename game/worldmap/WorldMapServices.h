#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"

#include <cstdint>

class FScreen;
class GameParams;
class GameSession;
class PlayerProfile;

// What the world map asks of the game module: the play session and tuning
// values, the kind of the screen left last, sounds, the pause flag, the
// controller record and the screen changes (directly, or through the
// loading screen with a pending screen). The game module installs an
// implementation when it launches; tests install a fake. UI thread only.
class WorldMapServices
{
public:
    virtual ~WorldMapServices() = default;

    // Null while none exists.
    virtual GameSession* gameSession() = 0;
    virtual GameParams* params() = 0;
    // The current profile of the session's profile manager, or null.
    PlayerProfile* currentProfile();
    // The kind of the last screen left through the game module's screen
    // change, not counting the loading screen and the story prologue.
    virtual int32_t previousScreenKind() const = 0;
    virtual bool isGamePaused() const = 0;
    // Plays a sound at a base volume (0-127).
    virtual void playSound(const FRef& sound, int32_t volume) = 0;
    virtual void stopAllSounds() = 0;
    // The screen the loading screen continues to.
    virtual void setPendingScreen(int32_t kind) = 0;
    virtual void setScreen(int32_t kind, bool async) = 0;
    // Makes the screen the controller record's current screen with its four
    // enable flags, shows the system pointer and the default cursor.
    virtual void prepareScreen(FScreen* screen) = 0;
    // The guides' and the quests' voice lines: one at a time on the voice
    // channel, whose end calls the registered callback (a clone is kept;
    // null clears it). Stopping a line does not call it. False when the line
    // cannot be heard (no sound output), so no end will come.
    virtual bool playVoice(const FRef&) { return false; }
    virtual void stopVoice() {}
    virtual void setVoiceFinishedCallback(const FDelegate<void()>*) {}
    virtual void playMusic(const FRef&, bool) {}
    virtual void stopAmbientSound() {}
    // Writes the current profile's file when it changed.
    void saveProfile();

    // The installed services, or null.
    static WorldMapServices* instance();
    static void setInstance(WorldMapServices* services);
};
