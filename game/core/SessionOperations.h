#pragma once

// Small operations on the play session and on the sprites of the awards
// sequence.

#include <cstdint>

class GameSession;

// Ends the power-up in `slot` of the session (nothing for an empty slot or an
// index outside the slot table); when the session's screen plays a picture
// search, its search-list generator is told. True when a power-up ended.
bool cancelSessionPowerUp(GameSession& session, std::int32_t slot);

// True while the sprite plays and is not held paused: the awards sequence
// asks it of the clip it is about to show. `Sprite` answers isPlaying() and
// isPaused().
template <class Sprite> bool isFlagSetAndNotCleared(const Sprite& sprite)
{
    return sprite.isPlaying() && !sprite.isPaused();
}
