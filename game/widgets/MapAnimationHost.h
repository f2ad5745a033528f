#pragma once

#include "core/FRef.h"
#include "game/widgets/MapViewWindow.h"

#include <cstdint>

class SoundChannel;

// What the scene's ambient animations need of the gameplay screen that owns
// them: the window of a player's map view for their range tests, the effect
// sound of the game module and the current task type of the play session.
// The gameplay screen implements it.
class MapAnimationHost
{
public:
    virtual ~MapAnimationHost() = default;

    virtual MapViewWindow getMapViewWindow(int32_t player) = 0;
    // Plays an effect sound at `volume`; the channel it plays on (null when
    // none could take it).
    virtual SoundChannel* playSound(const FRef& sound, int32_t volume) = 0;
    virtual int32_t getCurrentTaskType() = 0;
};
