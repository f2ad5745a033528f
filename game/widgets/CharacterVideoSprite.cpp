#include "game/widgets/CharacterVideoSprite.h"

#include "ui/FScreen.h"
#include "video/FVideo.h"

namespace {

// Clips of the character play at this rate whatever their own rate.
constexpr int32_t k_clipFrameRate = 12;
constexpr int32_t k_clipFrameTime = 83;
// The pose that is left by playing its lead-in backwards.
constexpr int32_t k_heldPose = 2;
constexpr int32_t k_lastPose = 6;

} // namespace

CharacterVideoSprite::CharacterVideoSprite(FContainer* parent) : VideoSprite(parent) {}

CharacterVideoSprite::CharacterVideoSprite(FContainer* parent, bool addToParent)
    : VideoSprite(parent, addToParent)
{
}

CharacterVideoSprite::~CharacterVideoSprite() = default;

FRefT<FVideo> CharacterVideoSprite::clip(CharacterClipHost::Clip which) const
{
    return m_host != nullptr ? m_host->characterClip(m_alternateSet, which) : FRefT<FVideo>();
}

void CharacterVideoSprite::attach()
{
    m_host = dynamic_cast<CharacterClipHost*>(getScreen());
    if (m_host == nullptr) return;
    m_savedWidth = width();
    m_savedHeight = height();
    queueClip(clip(CharacterClipHost::k_idle), false, true, false);
    onClipFinished(*this);
    auto* callback = makeMemberDelegate(this, &CharacterVideoSprite::onClipFinished);
    setFinishCallback(callback);
    engineFree(callback);
}

void CharacterVideoSprite::update(int32_t elapsed)
{
    VideoSprite::update(elapsed);
    if (!m_queue.empty() && (!isPlaying() || isPaused())) onClipFinished(*this);
}

void CharacterVideoSprite::queueClip(const FRefT<FVideo>& video, bool repeat, bool interruptible,
                                     bool reverse)
{
    if (m_queue.push({video, repeat, interruptible, reverse})) startFrontClip();
}

void CharacterVideoSprite::startFrontClip()
{
    if (m_queue.empty()) return;
    setVideo(m_queue.front().clip, true);
    setWidgetSize(m_savedWidth, m_savedHeight);
    setAnimationFrameRate(k_clipFrameRate);
    setFrameTime(k_clipFrameTime);
    play(m_queue.front().reverse);
}

void CharacterVideoSprite::onClipFinished(VideoSprite&)
{
    setPaused(true);
    const VideoClipQueue::Entry finished = m_queue.pop();
    if (!m_queue.empty()) {
        startFrontClip();
    } else if (finished.repeat) {
        // Queueing into the empty queue starts the clip.
        queueClip(finished.clip, true, finished.interruptible, finished.reverse);
    } else {
        queueClip(clip(CharacterClipHost::k_idle), false, true, false);
    }
}

void CharacterVideoSprite::playPose(int32_t kind, bool repeat)
{
    if (kind == m_poseKind || m_host == nullptr) return;
    if (kind == 0) repeat = false;
    m_queue.clear();
    using Host = CharacterClipHost;
    if (m_poseKind == k_heldPose && !m_alternateSet) queueClip(clip(Host::k_leadIn), false, false, true);
    m_poseKind = kind;
    if (kind < 0 || kind > k_lastPose) return;
    const auto pose = [&](Host::Clip which) { queueClip(clip(which), repeat, true, false); };
    const auto chain = [&](Host::Clip which, bool backwards) {
        queueClip(clip(which), false, false, backwards);
    };
    switch (kind) {
    case 0:
        pose(Host::k_idle);
        break;
    case 1:
        pose(Host::k_pose1);
        break;
    case 2:
        if (m_alternateSet) {
            pose(Host::k_pose1);
        } else {
            chain(Host::k_leadIn, false);
            queueClip(clip(Host::k_pose2Hold), repeat, !repeat, false);
        }
        break;
    case 3:
        pose(Host::k_pose3);
        break;
    case 4:
        pose(Host::k_pose4);
        break;
    case 5:
        pose(Host::k_pose5);
        break;
    default:
        if (m_alternateSet) {
            queueClip(clip(Host::k_idle), false, true, false);
        } else {
            chain(Host::k_leadIn, false);
            chain(Host::k_pose6, false);
            chain(Host::k_leadIn, true);
        }
        break;
    }
}
