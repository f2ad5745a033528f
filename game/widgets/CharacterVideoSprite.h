#pragma once

#include "game/widgets/CharacterClipHost.h"
#include "game/widgets/VideoClipQueue.h"
#include "game/widgets/VideoSprite.h"

#include <cstdint>

// The story character of the gameplay screen: plays pose clips from a queue
// at the size it had when attached. The front entry of the queue is the clip
// that plays; when the queue runs dry the idle clip (or a repeating pose)
// follows, so once attached it always plays something.
class CharacterVideoSprite : public VideoSprite
{
public:
    explicit CharacterVideoSprite(FContainer* parent);
    CharacterVideoSprite(FContainer* parent, bool addToParent);
    ~CharacterVideoSprite() override;

    virtual void update(int32_t elapsed);
    // Takes the owning screen (it must provide the clips), keeps the current
    // size and starts the idle clip.
    virtual void attach();

    void playPose(int32_t kind, bool repeat);
    void queueClip(const FRefT<FVideo>& clip, bool repeat, bool interruptible, bool reverse);
    // The finish callback: moves the queue on and starts its front clip.
    void onClipFinished(VideoSprite& sprite);

    bool isAlternateSet() const { return m_alternateSet; }
    void setAlternateSet(bool alternate) { m_alternateSet = alternate; }
    int32_t poseKind() const { return m_poseKind; }
    std::size_t queuedClips() const { return m_queue.size(); }
    bool isAttached() const { return m_host != nullptr; }

private:
    void startFrontClip();
    FRefT<FVideo> clip(CharacterClipHost::Clip clip) const;

    int32_t m_savedWidth = 0;
    int32_t m_savedHeight = 0;
    CharacterClipHost* m_host = nullptr;
    VideoClipQueue m_queue;
    int32_t m_poseKind = -1;
    bool m_alternateSet = false;
};
