#pragma once

#include "game/widgets/MapView.h"

// A second map view of the gameplay screen that passes its pointer input on
// to the main map view, shifted left by its own width: a press here acts on
// the main view as if it had been made there. The screen sets the main view
// right after building it.
class ForwardingMapView : public MapView
{
public:
    explicit ForwardingMapView(FContainer* parent, bool addToParent = true);
    ~ForwardingMapView() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;

    MapView* mainView() const { return m_mainView; }
    void setMainView(MapView* view) { m_mainView = view; }

private:
    FPointI forwarded(const FPointI& point) const { return {point.x - width(), point.y}; }

    MapView* m_mainView = nullptr;
};
