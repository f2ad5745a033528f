#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"
#include "ui/FImageWidget.h"

#include <cstdint>

class FVideo;
class VideoFrameImage;

// An image widget whose picture is the current frame of a video asset. It
// plays the video forwards or backwards at a fixed frame time, advancing at
// most two frames per update, repeats it a number of times or without end
// and calls a finish or a loop callback. Users call update every frame.
class VideoSprite : public FImageWidget
{
public:
    using Callback = FDelegate<void(VideoSprite&)>;

    explicit VideoSprite(FContainer* parent);
    // The parent argument form the widget factory uses.
    VideoSprite(FContainer* parent, bool addToParent);
    ~VideoSprite() override;

    virtual const char* getTypeName() const { return "VideoSprite"; }

    // Shows a new video (the same one again changes nothing) and stops play;
    // with resize the sprite takes the size of the video picture.
    void setVideo(const FRefT<FVideo>& video, bool resize);
    // Starts a run from the first frame (the last one when reversed). A video
    // of unknown length has no known last frame and plays forwards; a video
    // of no frames ends its run at the next update.
    void play(bool reverse);
    void update(int32_t elapsed);
    // Prepares the player so that `target` can be decoded next. Targets are
    // bounded by the video's length; with an unknown length the seek stops
    // where the player reports the end.
    void seekFrame(int32_t target);
    void seekAndShow(int32_t frame);
    // Frame rate = fps, frame time = 1000 / fps (a rate below 1 keeps the time).
    void setAnimationFrameRate(int32_t fps);

    // Each stores a clone of the callback (null clears it).
    void setFinishCallback(const Callback* callback);
    void setLoopCallback(const Callback* callback);

    bool isPlaying() const { return m_playing; }
    void setPlaying(bool playing) { m_playing = playing; }
    bool isPaused() const { return m_paused; }
    void setPaused(bool paused) { m_paused = paused; }
    bool isReversed() const { return m_reverse; }
    int32_t loops() const { return m_loops; }
    void setLoops(int32_t loops) { m_loops = loops; }
    int32_t frameRate() const { return m_frameRate; }
    void setFrameRate(int32_t fps) { m_frameRate = fps; }
    int32_t frameTime() const { return m_frameTime; }
    void setFrameTime(int32_t ms) { m_frameTime = ms; }
    int32_t startFrame() const { return m_startFrame; }
    int32_t endFrame() const { return m_endFrame; }
    bool isLengthUnknown() const { return m_lengthUnknown; }
    // The frame the picture holds (-1 before the first decode).
    int32_t currentFrame() const;
    const FRefT<FVideo>& video() const { return m_video; }
    const FRefT<VideoFrameImage>& frameImage() const { return m_frameImage; }

private:
    // The frame image's finish, which runs before every decode.
    void finish();
    // Decodes the frame after (or before, reversed) the current one.
    void step(bool skip);
    bool runEnded();
    void endRun();

    FRefT<VideoFrameImage> m_frameImage;
    FRefT<FVideo> m_video;
    bool m_playing = false;
    bool m_paused = false;
    bool m_reverse = false;
    int32_t m_frameRate = 20;
    int32_t m_frameTime = 50;
    int32_t m_accumulator = 0;
    int32_t m_startFrame = 0;
    int32_t m_endFrame = 0;
    int32_t m_loops = 0;
    bool m_lengthUnknown = false;
    // A run over a video without frames: the next update ends it.
    bool m_emptyRun = false;
    Callback* m_onFinish = nullptr;
    Callback* m_onLoop = nullptr;
};
