#pragma once

#include "game/widgets/QueuedVideoHost.h"
#include "game/widgets/VideoClipQueue.h"
#include "game/widgets/VideoSprite.h"

#include <cstdint>

// The story mode screen's cursor sprite: plays clips from a queue; when the
// queue runs dry it picks an idle clip at random, it plays a sound on every
// fourth start of the special clip, a long press tells the screen the
// character is held and a click makes the HUD react to a panel entry. The
// front entry of the queue is the clip that plays. The screen (a
// QueuedVideoHost) calls setup once, then update every frame.
class QueuedVideoSprite : public VideoSprite
{
public:
    static constexpr int32_t k_frameRate = 9;
    static constexpr int32_t k_heldMs = 300;
    static constexpr int32_t k_soundVolume = 63;

    explicit QueuedVideoSprite(FContainer* parent);
    QueuedVideoSprite(FContainer* parent, bool addToParent);
    ~QueuedVideoSprite() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    virtual void update(int32_t elapsed);
    // Takes the screen and its asset table and starts a random idle clip;
    // nothing on a screen without the table.
    virtual void setup();

    // A clip queued while an interruptible one is at the front (or into an
    // empty queue) replaces the whole queue and starts at once; otherwise it
    // waits behind the front clip.
    void queueClip(const FRefT<FVideo>& clip, bool repeat, bool interruptible);
    // The finish callback: the front entry leaves; a repeating clip with
    // nothing behind it is queued again, otherwise a random idle clip
    // follows; then the front clip starts.
    void onClipFinished(VideoSprite& sprite);

    std::size_t queuedClips() const { return m_queue.size(); }
    bool isPressed() const { return m_pressed; }
    int32_t pressTime() const { return m_pressTime; }
    bool isSetUp() const { return m_assets != nullptr; }

private:
    void playFront();
    void advanceSoundCadence();

    bool m_pressed = false;
    int32_t m_pressTime = 0;
    QueuedVideoHost* m_host = nullptr;
    VideoClipQueue m_queue;
    const QueuedVideoHost::AssetTable* m_assets = nullptr;
    bool m_cadenceA = true;
    bool m_cadenceB = false;
    bool m_specialStart = true;
};
