#pragma once

#include "core/FRef.h"
#include "game/widgets/HudEntryHost.h"

#include <cstdint>

class FImage;
class FWidget;

// What the HUD panel asks of the story mode screen beyond what its entries
// ask: the story's reaction to the strip's changes, the scroll tick and the
// draw order of the power-up views. The story mode screen implements it.
class HudPanelHost : public virtual HudEntryHost
{
public:
    // True when the panel drags and coasts (quest type 2).
    bool allowsPanelFlight() { return needsActiveEntry(); }
    // While set, releases over the panel reach its entries whatever its drag
    // state.
    virtual bool isPanelPassThrough() const = 0;
    virtual bool raiseStoryEvent(int32_t event) = 0;
    // The HUD-entry refreshes after a completed entry left the strip.
    virtual void refreshEntriesOnSelection(int32_t player) = 0;
    virtual void refreshEntriesNoSelection(int32_t player) = 0;
    virtual void refreshEntriesWithHint(int32_t player) = 0;
    // The bonus item's entry completed: the interrupt layout ends.
    virtual void onBonusItemDone() = 0;
    // The first power-up view the screen owns, or null; the marker is drawn
    // just below it.
    virtual FWidget* firstPowerUpView() = 0;
    // The options layer's slider tick (folder 21 asset 6163).
    virtual FRef scrollTickSound() = 0;
    // The sparkle that sweeps along the strip when a task starts (folder 23
    // asset 5687).
    virtual FRefT<FImage> sweepSparkleImage() = 0;
};
