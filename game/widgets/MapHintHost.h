#pragma once

#include "core/FRef.h"
#include "game/widgets/PlayFieldHost.h"

#include <cstdint>
#include <vector>

class FContainer;
class FImage;
class FVideo;
class FWidget;
class MapViewAssets;
class SearchableSprite;

// What the map view's hints and effects ask of the gameplay screen: its
// overlay widgets (mini-map, view frame, marker), the pictures of the hint
// frame, sparkles and swirls, the hot-and-cold cursor and its tier effect,
// and the screen's hint operation. The gameplay screens implement it.
class MapHintHost : public virtual PlayFieldHost
{
public:
    // The cursor clips (null on a screen without them).
    virtual const MapViewAssets* getAssetTable() = 0;
    // Each may be null where the screen has none.
    virtual FContainer* getOverlayLayer() = 0;
    virtual FWidget* getMarkerWidget() = 0;
    virtual FWidget* getMiniMap() = 0;
    virtual FWidget* getViewFrame() = 0;

    virtual FRefT<FImage> getFramePicture() = 0;
    // The two sparkle pictures and the two swirl pictures (index 0 or 1).
    virtual FRefT<FImage> getSparklePicture(int32_t index) = 0;
    virtual FRefT<FImage> getSwirlPicture(int32_t index) = 0;

    virtual bool isHintCursorMode() const = 0;
    virtual bool isHintRadarOn() const = 0;
    // Queues a clip on the player's cursor sprite (getCursorSprite).
    virtual void queueCursorClip(int32_t player, const FRefT<FVideo>& clip, bool repeat,
                                 bool interruptible) = 0;
    // The cursor tier effect for proximity state 0-6.
    virtual void playTierEffect(int32_t tier) = 0;
    // Shows the hint on the sprite (through the map view's
    // placeHintOnSprite) when the screen needs active entries.
    virtual void showHintOnSprite(SearchableSprite* sprite, int32_t player) = 0;
    // The screen's searchable sprites, in order.
    virtual std::vector<SearchableSprite*> getSpriteList() = 0;
};
