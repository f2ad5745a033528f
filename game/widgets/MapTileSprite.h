#pragma once

#include "ui/FImageWidget.h"

// One background tile of the map. A click that ends on the bare background
// plays the screen's miss sound.
class MapTileSprite : public FImageWidget
{
public:
    static constexpr int32_t k_missVolume = 63;

    MapTileSprite(FContainer* parent, bool addToParent = true);
    ~MapTileSprite() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    // The map view calls it after each move of the scene; a tile needs
    // nothing then.
    virtual void onMapMoved() {}
    virtual void notifyMapMoved() { onMapMoved(); }

    bool isPressed() const { return m_pressed; }

private:
    bool m_pressed = false;
};
