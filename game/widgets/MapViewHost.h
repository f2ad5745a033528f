#pragma once

#include "game/widgets/PlayFieldHost.h"
#include "graphics/FGeometry.h"

class SearchableSprite;

// What the map view and its tiles ask of the gameplay screen.
class MapViewHost : public virtual PlayFieldHost
{
public:
    // Takes a find that the map view reports.
    virtual void reportSpriteFound(int32_t player, SearchableSprite& sprite) = 0;
    virtual void setHintCursorMode(bool on) = 0;
    // In two-cursor play centres the player's cursor sprite on the point.
    virtual void placePlayerCursor(int32_t player, FPointI point) = 0;
    // False while the pause overlay is open.
    virtual bool isPlayActive() const = 0;
    virtual FRef missSound() = 0;
    // The fly-to point of a player's found animation, in screen coordinates.
    virtual void setFlyTarget(int32_t player, FPointI point) = 0;
    // Shifts the anchored effect point of the scene-bound power-up, so that
    // the effect stays on its scene spot while the map scrolls.
    virtual void moveEffectAnchor(FPointI delta) = 0;
};
