#pragma once

#include "core/FRef.h"

#include <cstdint>

class HudEntryPanel;
class MapView;

// What both the map view and the searchable sprites ask of the gameplay
// screen that owns them. The gameplay screens implement it (through
// MapViewHost and SearchableSpriteHost).
class PlayFieldHost
{
public:
    virtual ~PlayFieldHost() = default;

    // A new counted handle to the screen's map view (there is one).
    virtual FRefT<MapView> getMapView(int32_t player) = 0;
    // The HUD panel of the player, or null.
    virtual HudEntryPanel* getPlayerPanel(int32_t player) = 0;
    // True unless the level's quest type is 2: finds then need an active
    // panel entry and the window is held on the hint rectangle.
    virtual bool needsActiveEntry() const = 0;
};
