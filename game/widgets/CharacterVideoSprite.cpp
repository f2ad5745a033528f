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

void CharacterVideoSprite::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    FWidget::onPointerDown(pointer, button, point);
}

void CharacterVideoSprite::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    FWidget::onPointerUp(pointer, button, point);
}

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
    if (!m_clips.empty() && (!isPlaying() || isPaused())) onClipFinished(*this);
}

void CharacterVideoSprite::clearQueue()
{
    m_clips.clear();
    m_repeat.clear();
    m_interruptible.clear();
    m_reverse.clear();
}

void CharacterVideoSprite::queueClip(const FRefT<FVideo>& video, bool repeat, bool interruptible,
                                     bool reverse)
{
    const bool restart = m_clips.empty() || m_interruptible.front();
    if (restart) clearQueue();
    m_clips.push_back(video);
    m_repeat.push_back(repeat);
    m_interruptible.push_back(interruptible);
    m_reverse.push_back(reverse);
    if (restart) startFrontClip();
}

void CharacterVideoSprite::startFrontClip()
{
    if (m_clips.empty()) return;
    setVideo(m_clips.front(), true);
    setWidgetSize(m_savedWidth, m_savedHeight);
    setAnimationFrameRate(k_clipFrameRate);
    setFrameTime(k_clipFrameTime);
    play(m_reverse.front());
}

void CharacterVideoSprite::onClipFinished(VideoSprite&)
{
    setPaused(true);
    FRefT<FVideo> finished;
    bool repeat = false;
    bool interruptible = false;
    bool reverse = false;
    if (!m_clips.empty()) {
        finished = m_clips.front();
        repeat = m_repeat.front();
        interruptible = m_interruptible.front();
        reverse = m_reverse.front();
        m_clips.pop_front();
        m_repeat.pop_front();
        m_interruptible.pop_front();
        m_reverse.pop_front();
    }
    if (!m_clips.empty()) {
        startFrontClip();
    } else if (repeat) {
        // Queueing into the empty queue starts the clip.
        queueClip(finished, true, interruptible, reverse);
    } else {
        queueClip(clip(CharacterClipHost::k_idle), false, true, false);
    }
}

void CharacterVideoSprite::playPose(int32_t kind, bool repeat)
{
    if (kind == m_poseKind || m_host == nullptr) return;
    if (kind == 0) repeat = false;
    clearQueue();
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
