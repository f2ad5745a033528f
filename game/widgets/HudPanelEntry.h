#pragma once

#include "graphics/FGeometry.h"

// One entry of a player's HUD panel as the play field reads it: whether the
// entry is active (its item may be found) and its rectangle in the panel's
// space. The panel owns its entries and hands out counted handles to them.
class HudPanelEntry
{
public:
    virtual ~HudPanelEntry() = default;

    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }
    const FRectI& rect() const { return m_rect; }
    void setRect(const FRectI& rect) { m_rect = rect; }

private:
    bool m_active = false;
    FRectI m_rect;
};
