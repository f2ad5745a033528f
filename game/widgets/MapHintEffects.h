#pragma once

#include "game/widgets/MapHintGeometry.h"
#include "graphics/FGeometry.h"

#include <cstdint>

class MapHintHost;
class MapView;
class SearchableSprite;

// The hint and effect layer of a map view: the view-sized hint region
// around an item and the automatic scroll to it, the hint frame and the view
// frame on the screen's mini-map, the hot-and-cold proximity cursor, the
// delayed sparkle over an item and the swirl a THROW leaves at its target.
// The map view owns one and calls it from its update and pointer handlers;
// it works on the map view's own members.
class MapHintEffects
{
public:
    static constexpr int32_t k_swirlRadius = 130;
    static constexpr int32_t k_swirlEmitters = 5;
    static constexpr int32_t k_idleMs = 6000;
    // Proximity state of a cursor that shows no tier.
    static constexpr int32_t k_stateOff = 6;

    explicit MapHintEffects(MapView& view);
    ~MapHintEffects();
    MapHintEffects(const MapHintEffects&) = delete;
    MapHintEffects& operator=(const MapHintEffects&) = delete;

    void bindScreenOverlays();
    void createOverlaySprites();
    void placeHintOnSprite(SearchableSprite* sprite);
    void setHintRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void spawnSpriteEmitter(SearchableSprite* sprite, int32_t delayMs);
    void stopSpriteEmitter();
    void startThrowEffect();
    void startHintCursorClip();
    void stopHintCursorClip();

    // The mini-map frame of the window (every frame).
    void updateViewFrame();
    // The swirl, the sparkle and the sparkle's delay (every frame).
    void updateEffects(int32_t elapsedMs);
    // The proximity cursor after a pointer move (in the map view's space).
    void onPointerMoved(FPointI point);
    // The proximity cursor's step on every release.
    void onPointerReleased();

private:
    MapHintHost* host();
    // The sparkle delay's end: the sparkle starts.
    void restartSparkle();
    void queueCursorClip(MapHintGeometry::CursorClip clip, int32_t times);
    bool isThrowTarget(SearchableSprite& sprite, FPointI windowCentre, bool needsActiveEntry) const;

    MapView& m_view;
};
