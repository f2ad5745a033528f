#pragma once

#include "core/FRef.h"
#include "video/FVideoTarget.h"

#include <cstdint>

class FVideo;
class FVideoPlayer;

// The picture of a video sprite: an image that asks its video's player to
// decode frames into itself. Its reference and user counts are mirrored onto
// the video, so the shared video is loaded exactly while some frame image
// over it has a user. Finishing the image decodes frame 0.
class VideoFrameImage : public FVideoTarget
{
public:
    explicit VideoFrameImage(FRefT<FVideo> video);
    ~VideoFrameImage() override;

    // Finish: once per load, decodes frame 0 (the loaded state marks it).
    void complete() override;
    // Always finishes (the asset form skips it once completed).
    void ensureLoaded() override;
    int32_t addRef() override;
    int32_t release() override;
    void addUser() override;
    void dropUser() override;

    // Lets go of the player's decoder state; the next finish decodes frame 0 again.
    virtual void releaseDecodeState();
    // Runs when a user has been dropped, before the video loses it.
    virtual void onUserDropped();

    // Decodes `frame` into the image (skip: no picture needed) and keeps the
    // answered frame as the current one. Nothing without a player.
    int32_t decodeFrame(int32_t frame, bool skip);
    // The player's frame count; 0 without a player.
    int32_t frameCount() const;
    // Lets the player drop the frames first .. last - 1.
    void releaseFrames(int32_t first, int32_t last);

    const FRefT<FVideo>& video() const { return m_video; }
    FVideoPlayer* player() const;

private:
    FRefT<FVideo> m_video;
};
