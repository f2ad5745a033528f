#pragma once

#include "core/FRef.h"

#include <cstdint>

class GameSession;
class SoundChannel;

// What the play field (map view, searchable sprites, tiles) asks of the game
// module: the play session, the paused flag, sounds and each player's
// default cursor. The game module installs itself as the instance when it
// launches; tests install a fake. UI thread only.
class PlayFieldServices
{
public:
    virtual ~PlayFieldServices() = default;

    // Null while no session exists.
    virtual GameSession* gameSession() = 0;
    virtual bool isGamePaused() const = 0;
    // Plays a sound at a base volume (0-127).
    virtual void playSound(const FRef& sound, int32_t volume) = 0;
    // Plays a sound as playSound does and gives the channel it plays on, for
    // a caller that wants to hear of its end (null when none takes it).
    virtual SoundChannel* playSoundOnChannel(const FRef& sound, int32_t volume)
    {
        playSound(sound, volume);
        return nullptr;
    }
    // Puts the player's cursor back to its default image.
    virtual void setDefaultCursor(int32_t player) = 0;

    // The installed services, or null.
    static PlayFieldServices* instance();
    static void setInstance(PlayFieldServices* services);
};
