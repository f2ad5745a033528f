#include "game/widgets/QueuedVideoSprite.h"

#include "game/core/GameRandom.h"
#include "ui/FScreen.h"
#include "video/FVideo.h"

QueuedVideoSprite::QueuedVideoSprite(FContainer* parent) : VideoSprite(parent) {}

QueuedVideoSprite::QueuedVideoSprite(FContainer* parent, bool addToParent) : VideoSprite(parent, addToParent)
{
}

QueuedVideoSprite::~QueuedVideoSprite() = default;

void QueuedVideoSprite::setup()
{
    m_host = dynamic_cast<QueuedVideoHost*>(getScreen());
    setAlphaThreshold(0);
    m_assets = m_host != nullptr ? m_host->getQueuedVideoAssetTable() : nullptr;
    if (m_assets == nullptr) return;
    queueClip(m_assets->idleClip, false, true);
    onClipFinished(*this);
    auto* callback = makeMemberDelegate(this, &QueuedVideoSprite::onClipFinished);
    setFinishCallback(callback);
    engineFree(callback);
}

void QueuedVideoSprite::queueClip(const FRefT<FVideo>& clip, bool repeat, bool interruptible)
{
    if (m_queue.push({clip, repeat, interruptible, false})) playFront();
}

void QueuedVideoSprite::playFront()
{
    if (m_queue.empty()) return;
    setVideo(m_queue.front().clip, true);
    setAnimationFrameRate(k_frameRate);
    play(false);
    if (m_assets == nullptr || m_queue.front().clip.get() != m_assets->specialClip.get()) return;
    if (m_specialStart) {
        advanceSoundCadence();
        m_specialStart = false;
    } else {
        m_specialStart = true;
    }
}

void QueuedVideoSprite::advanceSoundCadence()
{
    // (A, B) runs (true, false) -> (false, true) -> (false, false) ->
    // (true, true) -> (true, false), sounding on the second and fourth move.
    const FRef* sound = nullptr;
    if (m_cadenceA && !m_cadenceB) {
        m_cadenceA = false;
        m_cadenceB = true;
    } else if (!m_cadenceA && m_cadenceB) {
        m_cadenceB = false;
        sound = &m_assets->specialSoundB;
    } else if (!m_cadenceA) {
        m_cadenceA = true;
        m_cadenceB = true;
    } else {
        m_cadenceB = false;
        sound = &m_assets->specialSoundA;
    }
    if (sound != nullptr && m_host != nullptr) m_host->playSound(*sound, k_soundVolume);
}

void QueuedVideoSprite::onClipFinished(VideoSprite&)
{
    setPaused(true);
    const VideoClipQueue::Entry finished = m_queue.pop();
    if (m_queue.empty()) {
        if (finished.repeat) {
            queueClip(finished.clip, true, finished.interruptible);
        } else if (m_assets != nullptr) {
            const int32_t r = GameRandom::rand() % 100;
            const FRefT<FVideo>& idle = r < 10   ? m_assets->rareIdleClipA
                                        : r < 20 ? m_assets->rareIdleClipB
                                                 : m_assets->idleClip;
            queueClip(idle, false, true);
        }
    }
    // A clip queueClip has just started is started once more here.
    playFront();
}

void QueuedVideoSprite::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    FWidget::onPointerDown(pointer, button, point);
    m_pressed = true;
    // Each press is timed from its own start.
    m_pressTime = 0;
}

void QueuedVideoSprite::update(int32_t elapsed)
{
    VideoSprite::update(elapsed);
    if (!m_pressed) return;
    m_pressTime += elapsed;
    if (m_pressTime > k_heldMs) {
        m_pressTime = 0;
        m_pressed = false;
        if (m_host != nullptr) m_host->onCharacterHeld(true);
    }
}

void QueuedVideoSprite::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    FWidget::onPointerUp(pointer, button, point);
    if (m_host == nullptr) {
        m_pressed = false;
        return;
    }
    const QueuedVideoHost::PendingSprite pending = m_host->getPendingSprite();
    const int32_t entries = m_host->panelEntryCount(0);
    if (m_host->needsActiveEntry() && pending.exists && pending.hasItem && entries > 0) {
        if (!pending.found && pending.panelEntry.get() != nullptr)
            m_host->storyHudHandleEntryEvent(pending.panelEntry);
        m_pressed = false;
        return;
    }
    if (m_pressed && entries > 0)
        m_host->storyHudHandleEntryEvent(m_host->panelEntryAt(0, GameRandom::rand() % entries));
    m_pressed = false;
}
