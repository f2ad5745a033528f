#pragma once

#include "core/FRef.h"
#include "ui/FContainer.h"

#include <cstdint>

class CommonUIScreen;
class FImage;
class FImageWidget;
class SearchableObject;
class VideoSprite;

// The found item's picture popping up over the map: it swells in small steps
// to 1.38 times its size and back, flashes white and darkens while the burst
// clip plays above it, then vanishes, and only then is the item marked found.
// The burst clip's frame drives the steps on a 42 ms clock. The common
// gameplay screen owns one per player and advances it every frame; a find
// that arrives while the player's pop still runs finishes the pop first
// (`finishNow`, then `rewindBurst`). UI thread only.
class FoundItemPop : public FContainer
{
public:
    static constexpr int32_t k_idleStep = -3;
    static constexpr int32_t k_lastStep = 13;
    static constexpr int32_t k_stepMs = 42;
    static constexpr int32_t k_startFps = 12;
    static constexpr int32_t k_startFrameMs = 83;
    static constexpr int32_t k_burstFps = 24;
    static constexpr int32_t k_burstFrameMs = 41;
    static constexpr int32_t k_photoTaskType = 9;
    static constexpr int32_t k_scrollTaskType = 7;

    explicit FoundItemPop(CommonUIScreen* screen);
    ~FoundItemPop() override;

    // Shows the pop for a found item of the player; tiers 2 and 3 add the
    // sparkle.
    void start(SearchableObject* item, int32_t player, int32_t tier);
    void update(int32_t ms);
    // Ends a running pop at once and marks its item found.
    void finishNow();
    // Back to the burst clip's first frame, decoded.
    void rewindBurst();

    // Set before `start`: the picture to show, and the photo (1 for the
    // first step image; -1 for none).
    void setItemPicture(const FRefT<FImage>& picture) { m_itemPicture = picture; }
    void setPhotoNumber(int32_t photo) { m_photoNumber = photo; }

    bool isRunning() const { return m_running; }
    bool isBright() const { return m_bright; }
    int32_t step() const { return m_step; }
    int32_t photoNumber() const { return m_photoNumber; }
    SearchableObject* item() const { return m_item; }
    FContainer* zoom() const { return m_zoom.get(); }
    FImageWidget* itemImage() const { return m_itemImage.get(); }
    FImageWidget* photoImage() const { return m_photoImage.get(); }
    VideoSprite* burst() const { return m_burst.get(); }
    VideoSprite* sparkle() const { return m_sparkle.get(); }

private:
    void applyStep();
    // Hides the pop, goes idle and marks the item found; `rewind` also shows
    // the burst's first frame again.
    void finish(bool rewind);
    // The burst's run ended before the last step: a clip shorter than the
    // step table still ends the pop.
    bool burstRunEnded() const;
    void showPhoto();

    CommonUIScreen* m_screen;
    FRefT<FImageWidget> m_itemImage;
    FRefT<FContainer> m_zoom;
    FRefT<VideoSprite> m_burst;
    int32_t m_step = k_idleStep;
    int32_t m_stepClock = 0;
    bool m_running = false;
    bool m_bright = false;
    FRefT<FImage> m_itemPicture;
    SearchableObject* m_item = nullptr;
    FRefT<VideoSprite> m_sparkle;
    FRefT<FImageWidget> m_photoImage;
    int32_t m_photoNumber = -1;
    // Step 1 set the burst playing in this run.
    bool m_burstStarted = false;
};
