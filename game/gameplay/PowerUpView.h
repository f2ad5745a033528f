#pragma once

#include "core/FRef.h"
#include "graphics/FGeometry.h"
#include "ui/FContainer.h"
#include "ui/FMoveTween.h"
#include "ui/FTimerTween.h"

#include <cstdint>

class ActivePowerUp;
class CommonUIScreen;
class FImageWidget;
class HudPanelEntry;
class MapView;
class VideoSprite;

// What a gameplay screen shows of one active power-up of the play session:
// while the power-up waits, the kind's icon sits as a badge on the HUD panel
// entry of its object; when it fires, a launch clip flies from the HUD panel
// to the middle of the map view and, once the clip has played, the kind's
// effect starts; when it ends, the view hides what it showed and the screen
// deletes it at its next update. The common gameplay screen makes one per
// active power-up, links it (host, map view, entry, unique id, state
// listener), calls `setup` and then `update` once per frame. The kinds derive
// from it. UI thread only.
class PowerUpView : public FContainer
{
public:
    static constexpr int32_t k_soundLevel = 63;
    static constexpr int32_t k_launchFps = 18;
    static constexpr int32_t k_launchFrameMs = 55;
    static constexpr int32_t k_launchDelayMs = 200;
    static constexpr int32_t k_launchFlightMs = 260;
    // The share of the badge's width that lies over its entry.
    static constexpr float k_badgeOverlap = 0.9f;

    // The view is a child of `parent` (the player's HUD panel; may be null).
    PowerUpView(FContainer* parent, int32_t kind);
    ~PowerUpView() override;

    int32_t kind() const { return m_kind; }
    // The record's unique id; -1 until linked.
    int32_t uniqueId() const { return m_uniqueId; }
    void setUniqueId(int32_t id) { m_uniqueId = id; }
    CommonUIScreen* hostScreen() const { return m_hostScreen; }
    void setHostScreen(CommonUIScreen* screen) { m_hostScreen = screen; }
    // Stores the map view and makes the launch sprite on the host screen.
    void bindMapView(const FRefT<MapView>& mapView);
    MapView* mapView() const { return m_mapView.get(); }
    // The entry is held until the view goes: a completed entry may leave its
    // panel while the view's effect still runs.
    HudPanelEntry* panelEntry() const { return m_panelEntry.get(); }
    void setPanelEntry(const FRefT<HudPanelEntry>& entry) { m_panelEntry = entry; }
    // The callback cell the screen files in the record's listener set.
    const FRef& stateListener() const { return m_stateListener; }
    int32_t state() const { return m_state; }
    int32_t player() const { return m_player; }
    FImageWidget* icon() const { return m_icon.get(); }
    VideoSprite* launchSprite() const { return m_launchSprite.get(); }
    bool isLaunching() const;
    // Whether this view started a launch for its record's firing (a view
    // linked to a record that had fired already never does).
    bool hasLaunched() const { return m_launched; }

    // Places the view on its panel entry.
    void alignWithPanel();
    // Builds the kind's widgets once the view is linked.
    virtual void setup() {}
    // Advances animations and timers; a view whose power-up has ended asks
    // the host screen to delete it and must not be touched afterwards.
    virtual void update(int32_t elapsedMs);
    // The record changed state: the view copies state and player and, when
    // the power-up fired, starts the launch.
    virtual void onPowerUpStateChanged(ActivePowerUp& record);
    // The launch clip has played to its end: the kind's effect starts.
    virtual void onLaunchFinished() = 0;
    // The Shower's catch of its falling sprite `index`, and the Splat's wipe.
    virtual void catchSprite(int32_t index);
    virtual void wipe() {}
    // The throw effect's step of the Quake and of the Splat.
    virtual void dropStep() {}
    virtual void splatStep() {}
    // One crack of the Cover's picture.
    virtual void crack() {}

protected:
    // Shows `image` as the badge, the view taking its size.
    void setIcon(const FRef& image);
    void setLaunchClip(const FRef& clip);
    // Every kind's effect starts with it: hides the launch sprite and, when
    // player 0's HUD panel has no entries, ends player 0's power-up. False
    // when the effect must not start.
    bool passLaunchCheck();
    // Ends the power-up in the player's slot, if there is one.
    void useSessionPowerUp(int32_t player);
    void playViewSound(const FRef& sound) const;
    // A hidden clip sprite on the host screen with its finish callback bound
    // to `finished` of the kind.
    template <class Kind>
    FRefT<VideoSprite> makeScreenSprite(const FRef& clip, Kind* kind, void (Kind::*finished)(VideoSprite&));
    // Whether the sprite is playing and not paused.
    static bool plays(const VideoSprite* sprite);
    // The map view's rectangle in screen space; the screen's when there is
    // no map view.
    FRectI mapRect();

private:
    FRefT<VideoSprite> makeSprite(const FRef& clip);
    void onLaunchClipFinished(VideoSprite& sprite);
    void onLaunchDelayFinished();
    void startLaunch();

    FRef m_stateListener;
    int32_t m_uniqueId = -1;
    CommonUIScreen* m_hostScreen = nullptr;
    FRefT<MapView> m_mapView;
    FRefT<HudPanelEntry> m_panelEntry;
    int32_t m_state = 0;
    int32_t m_player = 0;
    FRefT<VideoSprite> m_launchSprite;
    FTimerTween m_launchDelay;
    FMoveTween m_launchFlight;
    FRefT<FImageWidget> m_icon;
    int32_t m_kind;
    FPointI m_lastEntryPosition{0, 0};
    // Whether the record has been heard from: the first notice comes while
    // the screen links the view, before `setup` has made the icon.
    bool m_notified = false;
    bool m_launched = false;
};

#include "game/widgets/VideoSprite.h"

template <class Kind>
FRefT<VideoSprite> PowerUpView::makeScreenSprite(const FRef& clip, Kind* kind,
                                                 void (Kind::*finished)(VideoSprite&))
{
    FRefT<VideoSprite> sprite = makeSprite(clip);
    if (sprite.get() != nullptr) {
        VideoSprite::Callback* callback = makeMemberDelegate(kind, finished);
        sprite->setFinishCallback(callback);
        freeAndNull(callback);
    }
    return sprite;
}
