#pragma once

#include "core/FRef.h"
#include "game/widgets/HudEntryPanel.h"
#include "ui/FContainer.h"
#include "ui/FMoveTween.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <deque>

class FImageWidget;
class HudPanelHost;
class ParticleEmitter;
class ParticleGroup;
class ParticlePool;

// The strip of task entries along the bottom of a level. Entries overlap by
// 7 pixels; the selected one carries a pulsing marker; the strip centres
// itself when the entries are few, is dragged and coasts in quest type 2,
// snaps an entry to its middle when one of its items is found, and lets
// completed entries leave one per frame while those behind slide into place.
class HudPanel : public FContainer, public HudEntryPanel
{
public:
    static constexpr int32_t k_overlap = 7;
    static constexpr int32_t k_entryTop = -2;
    static constexpr int32_t k_dragIdle = 0;
    static constexpr int32_t k_dragPressed = 1;
    static constexpr int32_t k_dragDragging = 2;
    static constexpr int32_t k_dragCoasting = 3;
    static constexpr int32_t k_pressMs = 300;
    static constexpr double k_pressDistance = 5.0;
    static constexpr int32_t k_coastStepMs = 150;
    static constexpr int32_t k_snapStepMs = 50;
    static constexpr int32_t k_selectionMs = 900;
    static constexpr int32_t k_centringMs = 250;
    static constexpr int32_t k_pulseMs = 750;
    static constexpr int32_t k_tickSpacing = 85;
    static constexpr int32_t k_tickLevel = 63;
    static constexpr int32_t k_bonusDoneTaskType = 6;
    static constexpr int32_t k_completedStoryEvent = 7;
    static constexpr int32_t k_groupedTaskType = 9;
    static constexpr int32_t k_particleRecords = 128;
    static constexpr int32_t k_particles = 2;
    static constexpr int32_t k_sweepMs = 300;

    HudPanel(FContainer* parent, bool addToParent);
    ~HudPanel() override;

    // The screen is the one reported by the widget tree; tests give their own.
    void setHost(HudPanelHost* host) { m_host = host; }
    HudPanelHost* host() const { return m_host; }

    void setUp();
    void update(int32_t elapsedMs);

    // HudEntryPanel: the play field's view (createEntry adds an item,
    // scrollToEntry snaps to an entry).
    HudPanelEntry* createEntry(SearchableObject& item, SearchableSprite& sprite,
                               const FRefT<FImage>& panelImage, const FRefT<FImage>& secondPanelImage,
                               int32_t groupKey, const FRefT<FString>& panelText) override;
    int32_t entryCount() const override { return static_cast<int32_t>(m_entries.size()); }
    FRefT<HudPanelEntry> entryAt(int32_t index) const override;
    void scrollToEntry(HudPanelEntry& entry) override { snapToEntry(&entry); }
    FPointI panelPosition() override { return getAbsolutePosition(); }
    void selectEntry(HudPanelEntry* entry) override;
    void refreshSelection() override;
    void placeMarker() override;
    void requestRelayout() override { m_relayoutPending = true; }
    int32_t dragState() const override { return m_dragState; }

    HudPanelEntry* findEntryByKey(const SearchableObject* item) const;
    void snapToEntry(HudPanelEntry* entry);
    void selectEntryOfSprite(SearchableSprite* sprite);
    void deselectPictureEntries();
    void setMarkerShown(bool on);
    void centreEntries(int32_t count, int32_t extra);
    void holdAtRest();
    void releaseHold();
    void returnToRestPosition();
    void showOnlyLastEntry();
    void showAllEntries();
    void onSelectionTimer();
    void fadeMarkerOut();
    void fadeMarkerIn();
    void startSweep();

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;

    void setInputLocked(bool locked) { m_inputLocked = locked; }
    void setDragVelocity(int32_t v) { m_velocity = v; }
    void setDragStateForTest(int32_t state) { m_dragState = state; }
    int32_t dragVelocity() const { return m_velocity; }
    bool isSnapping() const { return m_snapping; }
    int32_t snapDistance() const { return m_snapDistance; }
    bool isStripReady() const { return m_stripReady; }
    bool isDragEnabled() const { return m_dragEnabled; }
    bool isRelayoutPending() const { return m_relayoutPending; }
    bool isHeldAtRest() const { return m_heldAtRest; }
    HudPanelEntry* selectedEntry() const { return m_selected.get(); }
    FImageWidget* marker() const { return m_marker.get(); }
    FImageWidget* cover() const { return m_cover.get(); }
    FPointI restPosition() const { return m_restPosition; }
    FPointI centredPosition() const { return m_centredPosition; }
    bool isCentring() const { return m_centring.isActive(); }
    bool isSelectionTimerRunning() const { return m_selectionTimer.isActive(); }
    bool isMarkerPulsing() const { return m_markerFade.isActive(); }
    ParticleEmitter* sweep() const { return m_sweep.get(); }
    ParticleGroup* particleLayer() const { return m_particleGroup.get(); }

private:
    int32_t taskType() const;
    bool panelFlight() const;
    int32_t halfWidth() const { return width() / 2; }
    void removeEntry(std::size_t position);
    void moveEntriesBy(int32_t dx);
    // Moves the strip by v within its bounds; a coasting stop at the end
    // zeroes the velocity. True when the strip moved.
    bool moveWithinBounds(int32_t v, bool coasting);
    void playTick(int32_t v);
    void placeEntriesFromLeft();
    void releasePointerCapture();
    void centreMarkerOn(HudPanelEntry& entry);
    // One half of the marker's pulse: a fade to `alpha`, then `next`.
    void pulseMarkerTo(int32_t alpha, void (HudPanel::*next)());

    HudPanelHost* m_host = nullptr;
    std::deque<FRefT<HudPanelEntry>> m_entries;
    bool m_relayoutPending = false;
    int32_t m_dragState = k_dragIdle;
    FPointI m_pressPoint;
    FPointI m_previousPoint;
    FPointI m_lastPoint;
    int32_t m_pressTime = 0;
    int32_t m_coastClock = 0;
    bool m_stripReady = false;
    bool m_dragEnabled = true;
    int32_t m_velocity = 0;
    FRefT<FImageWidget> m_cover;
    bool m_snapping = false;
    int32_t m_snapDistance = 0;
    int32_t m_snapClock = 0;
    bool m_shown = false;
    bool m_inputLocked = false;
    int32_t m_playerIndex = 0;
    FTimerTween m_selectionTimer;
    WidgetFadeTween m_markerFade;
    FMoveTween m_centring;
    FRefT<FImageWidget> m_marker;
    FRefT<HudPanelEntry> m_selected;
    FPointI m_restPosition{-1, -1};
    FPointI m_centredPosition{-1, -1};
    bool m_heldAtRest = false;
    FRefT<ParticleGroup> m_particleGroup;
    FRefT<ParticlePool> m_particlePool;
    FRefT<ParticleEmitter> m_sweep;
};
