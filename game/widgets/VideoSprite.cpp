#include "game/widgets/VideoSprite.h"

#include "game/widgets/VideoFrameImage.h"
#include "video/FVideo.h"
#include "video/FVideoPlayer.h"

#include <algorithm>
#include <cmath>

VideoSprite::VideoSprite(FContainer* parent) : FImageWidget(parent) {}

VideoSprite::VideoSprite(FContainer* parent, bool addToParent) : FImageWidget(parent, addToParent) {}

VideoSprite::~VideoSprite()
{
    freeAndNull(m_onFinish);
    freeAndNull(m_onLoop);
}

void VideoSprite::setFinishCallback(const Callback* callback)
{
    Callback::assign(m_onFinish, callback);
}

void VideoSprite::setLoopCallback(const Callback* callback)
{
    Callback::assign(m_onLoop, callback);
}

int32_t VideoSprite::currentFrame() const
{
    return m_frameImage.get() != nullptr ? m_frameImage->currentFrame() : -1;
}

void VideoSprite::setAnimationFrameRate(int32_t fps)
{
    m_frameRate = fps;
    if (fps > 0) m_frameTime = 1000 / fps;
}

void VideoSprite::setVideo(const FRefT<FVideo>& video, bool resize)
{
    if (video.get() == m_video.get()) return;
    m_playing = false;
    m_video = video;
    FRefT<VideoFrameImage> image;
    if (m_video.get() != nullptr) image = makeRef(engineNew<VideoFrameImage>(k_memObject, m_video));
    m_frameImage = image;
    setImageByValue(FRefT<FImage>(FRef(m_frameImage)), resize);
}

void VideoSprite::finish()
{
    if (VideoFrameImage* image = m_frameImage.get()) image->complete();
}

void VideoSprite::play(bool reverse)
{
    VideoFrameImage* image = m_frameImage.get();
    if (image == nullptr) return;
    m_playing = true;
    m_reverse = reverse;
    m_accumulator = 0;
    image->ensureLoaded();
    const int32_t count = image->frameCount();
    m_lengthUnknown = count == FVideoPlayer::k_endOfVideo;
    m_emptyRun = count < 1;
    // Without a known last frame a reversed run would have to decode up to
    // the largest frame number first: such a video plays forwards.
    if (m_lengthUnknown || m_emptyRun) m_reverse = false;
    const int32_t last = m_emptyRun ? 0 : count - 1;
    m_startFrame = m_reverse ? last : 0;
    m_endFrame = m_reverse ? 0 : last;
    if (!m_emptyRun) {
        seekFrame(m_startFrame);
        finish();
        image->decodeFrame(m_startFrame, false);
    }
    m_paused = false;
}

void VideoSprite::seekFrame(int32_t target)
{
    VideoFrameImage* image = m_frameImage.get();
    if (image == nullptr || target <= 0) return;
    if (!m_lengthUnknown) {
        const int32_t count = image->frameCount();
        if (count != FVideoPlayer::k_endOfVideo) target = std::min(target, count - 1);
    }
    const int32_t current = image->currentFrame();
    if (target <= 0 || target == current) return;
    finish();
    const int32_t from = current < target ? std::max(image->currentFrame(), 0) : 0;
    for (int32_t frame = from; frame < target; ++frame) {
        // A player that cannot tell the length reports its end instead.
        if (image->decodeFrame(frame, true) == FVideoPlayer::k_endOfVideo) break;
    }
}

void VideoSprite::seekAndShow(int32_t frame)
{
    VideoFrameImage* image = m_frameImage.get();
    if (image == nullptr) return;
    const int32_t count = image->frameCount();
    if (count < 1) return;
    if (count != FVideoPlayer::k_endOfVideo) frame = std::clamp(frame, 0, count - 1);
    seekFrame(frame);
    finish();
    if (image->currentFrame() == FVideoPlayer::k_endOfVideo) return;
    image->decodeFrame(frame, false);
}

void VideoSprite::step(bool skip)
{
    VideoFrameImage* image = m_frameImage.get();
    finish();
    const int32_t current = image->currentFrame();
    image->decodeFrame(m_reverse ? current - 1 : current + 1, skip);
    image->releaseFrames(current, current + 1);
}

bool VideoSprite::runEnded()
{
    const int32_t current = m_frameImage->currentFrame();
    if (current == m_endFrame) return true;
    return m_lengthUnknown && current >= m_frameImage->frameCount() - 1;
}

void VideoSprite::endRun()
{
    m_accumulator -= m_frameTime;
    if (m_loops == 0 || m_emptyRun) {
        m_playing = false;
        if (m_onFinish != nullptr) m_onFinish->invoke(*this);
        return;
    }
    if (m_loops > 0) --m_loops;
    VideoFrameImage* image = m_frameImage.get();
    finish();
    const int32_t current = image->currentFrame();
    image->decodeFrame(m_startFrame, false);
    image->releaseFrames(current, current + 1);
    if (m_onLoop != nullptr) m_onLoop->invoke(*this);
}

void VideoSprite::update(int32_t elapsed)
{
    if (!m_playing || m_paused || m_frameImage.get() == nullptr) return;
    if (m_emptyRun) {
        endRun();
        return;
    }
    // A frame time below 1 ms would divide by zero: it counts as 1 ms.
    const int32_t frameTime = std::max(m_frameTime, 1);
    m_accumulator += std::min(elapsed, 2 * frameTime);
    if (m_accumulator < frameTime) return;
    int32_t frames =
        static_cast<int32_t>(std::floor(static_cast<float>(m_accumulator) / static_cast<float>(frameTime)));
    m_accumulator -= frames * frameTime;
    if (!m_lengthUnknown) {
        while (frames > 1 && (m_reverse ? currentFrame() > m_endFrame : currentFrame() < m_endFrame)) {
            step(true);
            --frames;
        }
    }
    if (runEnded()) {
        endRun();
        return;
    }
    step(false);
}
