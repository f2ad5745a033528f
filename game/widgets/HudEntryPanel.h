#pragma once

#include "core/FRef.h"
#include "graphics/FGeometry.h"

#include <cstdint>

class FImage;
class FString;
class HudPanelEntry;
class SearchableObject;
class SearchableSprite;

// What the play field asks of a player's HUD panel (the list of items to
// find beside the map). The HUD panel implements it.
class HudEntryPanel
{
public:
    virtual ~HudEntryPanel() = default;

    // The entry of a listed item, or null (the panel makes none for an item
    // in state 1). The panel keeps the entry; the caller borrows it.
    virtual HudPanelEntry* createEntry(SearchableObject& item, SearchableSprite& sprite,
                                       const FRefT<FImage>& panelImage, const FRefT<FImage>& secondPanelImage,
                                       int32_t count, const FRefT<FString>& panelText) = 0;
    virtual int32_t entryCount() const = 0;
    virtual FRefT<HudPanelEntry> entryAt(int32_t index) const = 0;
    // Scrolls the panel so that the entry is in view.
    virtual void scrollToEntry(HudPanelEntry& entry) = 0;
    // The panel's top-left in screen coordinates (its widget's absolute
    // position), from which entry rectangles are measured.
    virtual FPointI panelPosition() = 0;

    // What the entries ask of their panel. The marker follows a selected
    // entry; a completed entry asks for the strip to be laid out again.
    virtual void selectEntry(HudPanelEntry*) {}
    virtual void refreshSelection() {}
    virtual void placeMarker() {}
    virtual void requestRelayout() {}
    // 0 idle, 1 pressed, 2 dragging, 3 coasting.
    virtual int32_t dragState() const { return 0; }
};
