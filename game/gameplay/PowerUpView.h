#pragma once

#include "core/FRef.h"

#include <cstdint>

class ActivePowerUp;
class CommonUIScreen;
class HudPanelEntry;
class MapView;

// What a gameplay screen shows of one active power-up of the play session:
// the view of its kind follows the record's state changes, runs the effect on
// the player's map view and marks the HUD panel entry that lists the
// record's object. The common gameplay screen makes one per active power-up,
// links it (host, map view, entry, unique id, state listener), calls `setup`
// and then `update` once per frame, and deletes it. The kinds derive from it
// and override what they run. UI thread only.
class PowerUpView
{
public:
    explicit PowerUpView(int32_t kind);
    virtual ~PowerUpView();
    PowerUpView(const PowerUpView&) = delete;
    PowerUpView& operator=(const PowerUpView&) = delete;

    int32_t kind() const { return m_kind; }
    // The record's unique id; -1 until linked.
    int32_t uniqueId() const { return m_uniqueId; }
    void setUniqueId(int32_t id) { m_uniqueId = id; }
    CommonUIScreen* hostScreen() const { return m_hostScreen; }
    void setHostScreen(CommonUIScreen* screen) { m_hostScreen = screen; }
    void bindMapView(const FRefT<MapView>& mapView) { m_mapView = mapView; }
    MapView* mapView() const { return m_mapView.get(); }
    HudPanelEntry* panelEntry() const { return m_panelEntry; }
    void setPanelEntry(HudPanelEntry* entry) { m_panelEntry = entry; }
    // The callback cell the screen files in the record's listener set.
    const FRef& stateListener() const { return m_stateListener; }
    int32_t state() const { return m_state; }
    int32_t player() const { return m_player; }

    // Places the view on its panel entry.
    virtual void alignWithPanel() {}
    // Runs once the view is linked.
    virtual void setup() {}
    virtual void update(int32_t elapsedMs);
    // The record changed state: the view copies state and player.
    virtual void onPowerUpStateChanged(ActivePowerUp& record);
    // The Shower's catch of its falling sprite `index`, and the Splat's wipe.
    virtual void catchSprite(int32_t index);
    virtual void wipe() {}
    // The throw effect's step of the Quake and of the Splat.
    virtual void dropStep() {}
    virtual void splatStep() {}

private:
    int32_t m_kind;
    int32_t m_uniqueId = -1;
    int32_t m_state = 0;
    int32_t m_player = 0;
    CommonUIScreen* m_hostScreen = nullptr;
    FRefT<MapView> m_mapView;
    HudPanelEntry* m_panelEntry = nullptr;
    FRef m_stateListener;
};
