#pragma once

#include "core/FRef.h"
#include "game/widgets/MapAnimation.h"
#include "game/widgets/MapHintEffects.h"
#include "game/widgets/MapViewWindow.h"
#include "ui/FContainer.h"
#include "ui/FTimerTween.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class FImageWidget;
class GameSession;
class HudPanelEntry;
class MapScrollListener;
class MapTileSprite;
class MapViewAssets;
class MapViewHost;
class NamedRefMap;
class ParticleEmitter;
class ParticleGroup;
class ParticlePool;
class PlayFieldServices;
class SearchableSprite;

// The play field of a level: a window on a 2400 x 1600 scene held in one
// scaled content container (background tiles, ambient animations,
// searchable sprites, particle layers). The scene is never dragged: it moves
// only under program control (eased automatic scrolls, shakes). A press and
// release on the scene becomes a find through the sprite under the point or
// a wrong click through the play session. The gameplay screen drives it once
// a frame.
class MapView : public FContainer
{
public:
    static constexpr int32_t k_dragIdle = 0;
    static constexpr int32_t k_dragPressed = 1;
    static constexpr int32_t k_sceneWidth = 2400;
    static constexpr int32_t k_sceneHeight = 1600;
    // A press held longer than this or moved further than k_dragDistance
    // counts as a drag (for the screen's drag tutorial).
    static constexpr int32_t k_dragMs = 300;
    static constexpr double k_dragDistance = 10.0;
    // Each step of an automatic scroll comes after more than this much time.
    static constexpr int32_t k_autoScrollStepMs = 100;
    static constexpr int32_t k_autoScrollSnap = 5;
    static constexpr float k_autoScrollFactor = 0.4f;
    // A find runs the throw swirl's timer out: the same timer, the same length.
    static constexpr int32_t k_idleEmitterMs = MapHintEffects::k_idleMs;
    static constexpr int32_t k_missVolume = 63;

    explicit MapView(FContainer* parent, bool addToParent = true);
    ~MapView() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;

    void setZoom(float factor);
    // Places the content's top-left (in the map view's space), then clamps.
    void scrollTo(int32_t x, int32_t y);
    void scrollBy(int32_t dx, int32_t dy);
    // Eases the scene until content point (x, y) is at the window's top-left;
    // ignored while one runs unless forced.
    void autoScrollTo(bool force, int32_t x, int32_t y);
    // Starts an automatic scroll that shows the sprite at a random place in
    // the window; the chosen content point, or (-1, -1) without a sprite.
    FPointI focusOnSprite(SearchableSprite* sprite);
    // The first positioning of the view: at once (no easing) content point
    // `point` goes to the window's top-left; afterwards only when forced.
    void resetView(bool force, FPointI point);
    // The sprite's top-left in the scaled scene, without scrolling: the
    // content point a scroll target takes; (-1, -1) without a sprite.
    FPointI spriteScreenPoint(SearchableSprite* sprite) const;
    void shake(int32_t dx, int32_t dy);
    void unshake();
    void cancelDrag();
    // A sprite found its item during the current release.
    void noteItemFound();
    void reportSpriteFound(SearchableSprite& sprite);
    // The player's fly-to point becomes the entry's centre on the screen.
    void setFlyTarget(const HudPanelEntry& entry, int32_t player);
    void clearPendingSprite();
    // Lays the background grid out of the tiles named "WorldNNBGkk" in the
    // table. A missing or empty first tile is refused with a failure report
    // naming the world; any other missing tile is logged and left out.
    void buildBackgroundTiles(int32_t worldIndex, const NamedRefMap& table);
    // The name of tile `number` (from 1) of world `worldIndex` (0-11).
    static std::string tileName(int32_t worldIndex, int32_t number);

    // An ambient animation of the scene, advanced every frame.
    template <class Animation> void addAnimation(const FRefT<Animation>& handle)
    {
        m_animations.push_back({handle, static_cast<MapAnimation*>(handle.get())});
    }
    // The gameplay screens' name for adding an animation.
    template <class Animation> void addEmitterHandle(const FRefT<Animation>& handle) { addAnimation(handle); }
    void addMapChild(FWidget* widget);
    void removeMapChildren();

    // The hint and effect layer (the screen's overlays, the hint region of an
    // item, the sparkle and the throw swirl, the hint cursor clip).
    void bindScreenOverlays() { m_hints.bindScreenOverlays(); }
    void createOverlaySprites() { m_hints.createOverlaySprites(); }
    void placeHintOnSprite(SearchableSprite* sprite) { m_hints.placeHintOnSprite(sprite); }
    void setHintRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
    {
        m_hints.setHintRect(left, top, right, bottom);
    }
    void spawnSpriteEmitter(SearchableSprite* sprite, int32_t delayMs)
    {
        m_hints.spawnSpriteEmitter(sprite, delayMs);
    }
    void stopSpriteEmitter() { m_hints.stopSpriteEmitter(); }
    void startThrowEffect() { m_hints.startThrowEffect(); }
    void startHintCursorClip() { m_hints.startHintCursorClip(); }
    void stopHintCursorClip() { m_hints.stopHintCursorClip(); }

    // What the window shows of the scene, and the range tests of the scene's
    // ambient animations against it (rectangles in the content's space).
    MapViewWindow window() const;
    bool isRectNearView(int32_t left, int32_t top, int32_t right, int32_t bottom) const
    {
        return window().isRectNearView(left, top, right, bottom);
    }
    bool isRectInView(int32_t left, int32_t top, int32_t right, int32_t bottom) const
    {
        return window().isRectInView(left, top, right, bottom);
    }
    int32_t distanceFromViewCentre(const FWidget& widget) const
    {
        return window().distanceFromViewCentre(widget);
    }

    // The frame step; the gameplay screen calls it once a frame.
    virtual void update(int32_t elapsedMs);

    FContainer* content() const { return m_content.get(); }
    int32_t dragState() const { return m_dragState; }
    int32_t dragCount() const { return m_dragCount; }
    int32_t pressTimer() const { return m_pressTimer; }
    FPointI lastPoint() const { return m_lastPoint; }
    bool isAutoScrolling() const { return m_autoScrolling; }
    bool isThrowEffectRunning() const { return m_effectRunning; }
    FPointI autoScrollTarget() const { return m_autoScrollTarget; }
    float zoom() const { return m_currentZoom; }
    const std::vector<float>& zoomLevels() const { return m_zoomLevels; }
    bool isFoundInClick() const { return m_foundInClick; }
    bool isInputBlocked() const { return m_inputBlocked; }
    void setInputBlocked(bool blocked) { m_inputBlocked = blocked; }
    bool isDragCountingOff() const { return m_dragCountingOff; }
    void setDragCountingOff(bool off) { m_dragCountingOff = off; }
    SearchableSprite* pendingSprite() const { return m_pendingSprite; }
    void setPendingSprite(SearchableSprite* sprite) { m_pendingSprite = sprite; }
    void setAutoScrollListener(MapScrollListener* listener) { m_autoScrollListener = listener; }
    int32_t playerIndex() const { return m_playerIndex; }
    const FRectI& hintRect() const { return m_hintRect; }
    FPointI recordedShake() const { return m_recordedShake; }
    bool isPositioned() const { return m_positioned; }
    int32_t idleTimer() const { return m_idleTimer; }
    const std::vector<FRefT<MapTileSprite>>& tiles() const { return m_tiles; }
    const std::vector<FWidget*>& mapChildren() const { return m_mapChildren; }

protected:
    MapViewHost* host();
    PlayFieldServices* services() const;
    // Holds the content inside the window (or on the hint rectangle), then
    // tells the tiles and animations that the scene moved.
    void clamp();
    void moveContentTo(int32_t x, int32_t y);
    void resetPointerToDefault();
    void stepAutoScroll(int32_t elapsedMs);
    void endAutoScroll();

    struct AnimationLink
    {
        FRef handle;
        MapAnimation* animation = nullptr;
    };

    int32_t m_dragState = k_dragIdle;
    FPointI m_lastPoint;
    FPointI m_pressPoint;
    int32_t m_pressTimer = 0;
    GameSession* m_session = nullptr;
    FScreen* m_screen = nullptr;
    std::vector<FRefT<MapTileSprite>> m_tiles;
    std::vector<AnimationLink> m_animations;
    bool m_effectRunning = false;
    int32_t m_idleTimer = 0;
    SearchableSprite* m_pendingSprite = nullptr;
    int32_t m_proximityLevel = -1;
    int32_t m_proximityState = 0;
    FPointI m_autoScrollTarget;
    int32_t m_autoScrollTime = 0;
    bool m_autoScrolling = false;
    std::vector<float> m_zoomLevels;
    float m_currentZoom = 1.0f;
    bool m_foundInClick = false;
    bool m_inputBlocked = false;
    bool m_dragCountingOff = false;
    FRefT<ParticleGroup> m_groupA;
    FRefT<ParticlePool> m_poolA;
    FRefT<ParticleGroup> m_groupB;
    FRefT<ParticlePool> m_poolB;
    std::vector<FRefT<ParticleEmitter>> m_idleEmitters;
    FRefT<ParticleEmitter> m_sparkleEmitter;
    FTimerTween m_sparkleDelayTimer;
    bool m_hintClipActive = false;
    int32_t m_savedProximityState = 0;
    int32_t m_playerIndex = 0;
    const MapViewAssets* m_screenAssets = nullptr;
    MapScrollListener* m_autoScrollListener = nullptr;
    std::vector<FWidget*> m_mapChildren;
    FRefT<FContainer> m_content;
    FRectI m_hintRect;
    std::array<FRefT<FImageWidget>, 4> m_hintFrames;
    int32_t m_dragCount = 0;
    bool m_shaking = false;
    FPointI m_recordedShake;
    bool m_positioned = false;
    // Last: it works on the members above from its construction on.
    MapHintEffects m_hints{*this};

    friend class MapHintEffects;
};
