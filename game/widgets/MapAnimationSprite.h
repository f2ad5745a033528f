#pragma once

#include "core/FRef.h"
#include "game/core/TaskType.h"
#include "game/widgets/MapAnimation.h"
#include "game/widgets/VideoSprite.h"

#include <cstdint>

class FAudioNode;
class FVideo;
class MapView;
class SoundChannel;

// An ambient animation of the scene, placed in the map view's content. It
// plays while its centre is near the centre of the view, with an optional
// companion sound whose volume falls with that distance. A continuous
// animation runs again and again while in range and freezes when it leaves
// it; an occasional one tries to start every two seconds, with a chance of
// 40 in 100, and surely once about four seconds passed since its last start.
// The companion sound is kept loaded only while the animation is near the
// view. It never takes pointer input.
class MapAnimationSprite : public VideoSprite, public MapAnimation
{
public:
    static constexpr int32_t k_frameRate = 12;
    static constexpr int32_t k_frameTime = 83;
    static constexpr int32_t k_maxVolume = 25;
    // The task type during which companion sounds stay silent.
    static constexpr int32_t k_silentTaskType = k_taskDimmedPause;

    explicit MapAnimationSprite(FContainer* parent);
    ~MapAnimationSprite() override;

    // Shows the clip at its own size and takes the companion sound (may be
    // empty). The occasional flag must be set before.
    virtual void setClips(const FRefT<FVideo>& video, const FRefT<FAudioNode>& companion);
    void update(int32_t elapsed) override;
    // Loads the companion sound while the sprite is near the view, unloads it
    // otherwise; the map view calls it after each move of its content.
    void updateCompanionLoad() override;
    virtual void playLooped(int32_t loops);
    // Freezes the picture on its frame.
    virtual void stop();
    virtual void play();
    virtual void rewind();
    virtual bool isCentreNearView();
    virtual bool isCentreInView();
    virtual int32_t distanceFromViewCentre();

    void playCompanionSound(int32_t volume);
    // The finish callback of a continuous animation: sometimes the companion
    // sound follows a run.
    void onRunFinished(VideoSprite& sprite);
    // The end callback of the companion sound's channel.
    void onSoundFinished();

    // The range is 350 / 640 of the scene's width around the view centre.
    bool isInRange();
    // 25 at the view centre, falling to 0 at the edge of the range.
    int32_t rangeVolume();

    bool isOccasional() const { return m_occasional; }
    void setOccasional(bool occasional) { m_occasional = occasional; }
    bool isSoundPlaying() const { return m_soundPlaying; }
    bool isCompanionInUse() const { return m_companionInUse; }
    const FRefT<FAudioNode>& companion() const { return m_companion; }
    int32_t playerIndex() const { return m_playerIndex; }
    void setPlayerIndex(int32_t player) { m_playerIndex = player; }

private:
    // The map view of the sprite's player (empty without a screen).
    FRefT<MapView> mapView();
    // The radius of the range in the content's space (0 without a parent).
    double range() const;
    FPointI centre() const;
    // Whether the held channel still carries this sprite's end callback: the
    // ring of effect channels may have handed it to another sound, which
    // drops the callback without running it.
    bool holdsChannel() const;
    void useCompanion(bool use);

    FRefT<FAudioNode> m_companion;
    bool m_occasional = false;
    int32_t m_idleTime = 0;
    int32_t m_sinceStart = 0;
    SoundChannel* m_channel = nullptr;
    bool m_soundPlaying = false;
    bool m_companionInUse = false;
    int32_t m_playerIndex = 0;
};
