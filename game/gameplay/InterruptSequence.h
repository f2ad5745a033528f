#pragma once

#include "core/FRef.h"

#include <cstdint>

class HudPanelEntry;
class StoryModeScreen;
class VideoSprite;

// The story screen's side of the quest's interruption: the overlay clip
// that opens it, the bonus item (the interrupt item the search-list
// generator appended to the search list) with its single strip entry and
// the dial, and the outcome clip after the find or the time-out. The
// generator's step record drives it: 1 overlay, 3 interrupt running, 2
// outcome, 0 done. Every clip's end advances the record.
class InterruptSequence
{
public:
    // The overlay's place is given in 640 x 480 units of the logical screen.
    static constexpr int32_t k_overlayX = 137;
    static constexpr int32_t k_overlayY = 67;
    static constexpr int32_t k_unitsWide = 640;
    static constexpr int32_t k_unitsHigh = 480;
    static constexpr int32_t k_overlayFps = 12;
    static constexpr int32_t k_overlayFrameMs = 83;
    static constexpr int32_t k_beginEvent = 17;
    static constexpr int32_t k_worriedPose = 4;
    static constexpr int32_t k_listeningPose = 1;
    static constexpr int32_t k_restPose = 0;
    static constexpr float k_firstPointerRestDegrees = 180.0f;

    explicit InterruptSequence(StoryModeScreen& screen) : m_screen(screen) {}

    void showOverlay();
    void begin();
    void show();
    void spawnItem();
    void end(bool timedOut);
    void checkTimeout();
    void run();
    void finish();
    void dismissClickCover();
    // The overlay clip ended: the next step.
    void onOverlayDone(VideoSprite& sprite);

private:
    void showOverlayWidgets(bool shown);
    // The turning points of the dial's hands, from the first frame image.
    void placeDialPivots();
    void playOverlayClip(const FRef& clip);
    void setLevelTimerRunning(bool running);
    void playPose(int32_t pose, bool repeat);
    // The strip's entry of the bonus item while it is the last one, or null.
    HudPanelEntry* bonusEntry() const;

    StoryModeScreen& m_screen;
};
