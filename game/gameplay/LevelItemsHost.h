#pragma once

#include "core/FRef.h"

#include <deque>

class GameSession;
class MapView;
class SearchableSprite;
class WorldScene;
struct LevelItemImages;

// What the level items ask of the screen that plays the level: its play
// session, the current world's scene, the map view that parents every sprite,
// the layout pictures, the lists that keep the sprites and the HUD panel's
// sweep.
class LevelItemsHost
{
public:
    virtual ~LevelItemsHost() = default;

    virtual GameSession* levelSession() = 0;
    // Null when no scene was built for the current world.
    virtual const WorldScene* levelWorldScene() = 0;
    virtual MapView* levelMapView() = 0;
    virtual const LevelItemImages& levelItemImages() = 0;
    virtual std::deque<FRefT<SearchableSprite>>& levelTaskSprites() = 0;
    // The common gameplay screen's hint sprite list (HintSearchableSprite handles).
    virtual std::deque<FRef>& levelHintSprites() = 0;
    // The HUD panel starts a new sweep of its entries.
    virtual void startPanelSweep() = 0;
};
