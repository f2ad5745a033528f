#include "game/widgets/VideoFrameImage.h"

#include "core/FMutex.h"
#include "video/FVideo.h"
#include "video/FVideoPlayer.h"

VideoFrameImage::VideoFrameImage(FRefT<FVideo> video) : m_video(std::move(video)) {}

VideoFrameImage::~VideoFrameImage()
{
    if (FVideo* video = m_video.get()) {
        for (int32_t n = users(); n > 0; --n)
            video->dropUser();
        for (int32_t n = references(); n > 0; --n)
            video->release();
        if (FVideoPlayer* videoPlayer = video->player()) videoPlayer->releaseTarget(*this);
    }
    m_video.release();
}

FVideoPlayer* VideoFrameImage::player() const
{
    return m_video.get() != nullptr ? m_video->player() : nullptr;
}

void VideoFrameImage::complete()
{
    FMutexLock lock(this->lock());
    if (m_video.get() == nullptr || state() == k_loaded) return;
    setState(k_loaded);
    // A video without frames has no frame 0 to show.
    if (frameCount() > 0) decodeFrame(0, false);
}

void VideoFrameImage::ensureLoaded()
{
    complete();
}

int32_t VideoFrameImage::addRef()
{
    const int32_t count = countReferences(1);
    if (FVideo* video = m_video.get()) video->addRef();
    return count;
}

int32_t VideoFrameImage::release()
{
    const int32_t count = countReferences(-1);
    if (FVideo* video = m_video.get()) video->release();
    return count;
}

void VideoFrameImage::addUser()
{
    countUsers(1);
    if (FVideo* video = m_video.get()) video->addUser();
    ensureLoaded();
}

void VideoFrameImage::dropUser()
{
    countUsers(-1);
    onUserDropped();
    if (FVideo* video = m_video.get()) video->dropUser();
}

void VideoFrameImage::releaseDecodeState()
{
    {
        FMutexLock lock(this->lock());
        setState(k_unloaded);
    }
    if (FVideoPlayer* videoPlayer = player()) videoPlayer->releaseTarget(*this);
}

void VideoFrameImage::onUserDropped()
{
    releaseDecodeState();
}

int32_t VideoFrameImage::decodeFrame(int32_t frame, bool skip)
{
    FVideoPlayer* videoPlayer = player();
    if (videoPlayer == nullptr) return currentFrame();
    const int32_t shown = videoPlayer->seekFrame(*this, frame, skip);
    setCurrentFrame(shown);
    return shown;
}

int32_t VideoFrameImage::frameCount() const
{
    FVideoPlayer* videoPlayer = player();
    return videoPlayer != nullptr ? videoPlayer->frameCount() : 0;
}

void VideoFrameImage::releaseFrames(int32_t first, int32_t last)
{
    if (FVideoPlayer* videoPlayer = player()) videoPlayer->dropFrames(first, last);
}
