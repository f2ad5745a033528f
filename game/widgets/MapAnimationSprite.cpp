#include "game/widgets/MapAnimationSprite.h"

#include "audio/FAudioNode.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/SoundChannel.h"
#include "game/widgets/MapView.h"
#include "game/widgets/PlayFieldHost.h"
#include "game/widgets/PlayFieldServices.h"
#include "ui/FContainer.h"
#include "ui/FScreen.h"
#include "video/FVideo.h"

namespace {

using SoundEnd = FObjectDelegate<MapAnimationSprite, void()>;

// An occasional animation waits this long between its tries.
constexpr int32_t k_tryInterval = 2000;
// Chance in 100 of a try to start the animation.
constexpr int32_t k_startChance = 40;
// After this long since its last start, a try starts it for certain.
constexpr int32_t k_sureStartMs = 3998;
// Chance in 100 that the companion sound follows a continuous run.
constexpr int32_t k_runSoundChance = 50;

} // namespace

MapAnimationSprite::MapAnimationSprite(FContainer* parent) : VideoSprite(parent) {}

MapAnimationSprite::~MapAnimationSprite()
{
    // A sound that ends later must not call into a sprite that is gone.
    if (holdsChannel()) m_channel->setEndCallback(nullptr);
    m_channel = nullptr;
    useCompanion(false);
    if (m_companion.get() != nullptr) m_companion->release();
}

FRefT<MapView> MapAnimationSprite::mapView()
{
    auto* screen = dynamic_cast<PlayFieldHost*>(getScreen());
    return screen != nullptr ? screen->getMapView(m_playerIndex) : FRefT<MapView>();
}

bool MapAnimationSprite::holdsChannel() const
{
    if (m_channel == nullptr) return false;
    const auto* callback = dynamic_cast<const SoundEnd*>(m_channel->endCallback());
    return callback != nullptr && callback->object() == this;
}

void MapAnimationSprite::useCompanion(bool use)
{
    if (m_companion.get() == nullptr || use == m_companionInUse) return;
    if (use) {
        m_companion->addUser();
    } else {
        m_companion->dropUser();
    }
    m_companionInUse = use;
}

void MapAnimationSprite::setClips(const FRefT<FVideo>& video, const FRefT<FAudioNode>& companion)
{
    setVideo(video, true);
    // A second set-up lets the previous sound go, or it would stay loaded.
    useCompanion(false);
    if (m_companion.get() != nullptr) m_companion->release();
    m_companion = companion;
    if (m_companion.get() != nullptr) m_companion->addRef();
    m_companionInUse = false;
    setFrameRate(k_frameRate);
    setFrameTime(k_frameTime);
    setHitTestDisabled(true);
    bringToFront();
    if (!m_occasional) {
        auto* callback = makeMemberDelegate(this, &MapAnimationSprite::onRunFinished);
        setFinishCallback(callback);
        engineFree(callback);
    }
}

double MapAnimationSprite::range() const
{
    return parent() != nullptr ? parent()->width() * 350.0 / 640.0 : 0.0;
}

bool MapAnimationSprite::isInRange()
{
    if (parent() == nullptr || mapView().get() == nullptr) return false;
    return range() > distanceFromViewCentre();
}

int32_t MapAnimationSprite::rangeVolume()
{
    const double range = this->range();
    if (range <= 0.0) return 0;
    return static_cast<int32_t>((1.0 - distanceFromViewCentre() / range) * k_maxVolume);
}

void MapAnimationSprite::update(int32_t elapsed)
{
    VideoSprite::update(elapsed);
    if (m_occasional && (!isPlaying() || isPaused())) {
        m_idleTime += elapsed;
        m_sinceStart += elapsed;
        if (m_idleTime <= k_tryInterval) return;
        if (isInRange() && (GameRandom::rand() % 100 < k_startChance || m_sinceStart > k_sureStartMs)) {
            if (m_companion.get() != nullptr) playCompanionSound(rangeVolume());
            playLooped(0);
            m_sinceStart = 0;
        }
        m_idleTime = 0;
        return;
    }
    if (!isInRange()) {
        stop();
        return;
    }
    if (isPlaying() && !isPaused()) return;
    if (m_companion.get() != nullptr) playCompanionSound(rangeVolume());
    playLooped(0);
}

void MapAnimationSprite::updateCompanionLoad()
{
    const FRefT<MapView> view = mapView();
    if (view.get() == nullptr) return;
    const FRectI& r = rect();
    useCompanion(view->isRectNearView(r.left, r.top, r.right, r.bottom));
}

void MapAnimationSprite::playLooped(int32_t loops)
{
    setLoops(loops);
    VideoSprite::play(false);
}

void MapAnimationSprite::play()
{
    VideoSprite::play(false);
}

void MapAnimationSprite::stop()
{
    setPaused(true);
}

void MapAnimationSprite::rewind()
{
    setPlaying(false);
    seekAndShow(0);
}

FPointI MapAnimationSprite::centre() const
{
    return {rect().left + width() / 2, rect().top + height() / 2};
}

bool MapAnimationSprite::isCentreNearView()
{
    const FRefT<MapView> view = mapView();
    const FPointI c = centre();
    return view.get() != nullptr && view->isRectNearView(c.x, c.y, c.x, c.y);
}

bool MapAnimationSprite::isCentreInView()
{
    const FRefT<MapView> view = mapView();
    const FPointI c = centre();
    return view.get() != nullptr && view->isRectInView(c.x, c.y, c.x, c.y);
}

int32_t MapAnimationSprite::distanceFromViewCentre()
{
    const FRefT<MapView> view = mapView();
    return view.get() != nullptr ? view->distanceFromViewCentre(*this) : 0;
}

void MapAnimationSprite::playCompanionSound(int32_t volume)
{
    PlayFieldServices* services = PlayFieldServices::instance();
    if (m_companion.get() == nullptr || services == nullptr) return;
    // The channel was taken by another sound: this one is no longer heard.
    if (m_soundPlaying && !holdsChannel()) m_soundPlaying = false;
    const GameSession* session = services->gameSession();
    if (m_soundPlaying || (session != nullptr && session->getCurrentTaskType() == k_silentTaskType)) return;
    m_soundPlaying = true;
    m_channel = services->playSoundOnChannel(FRef(m_companion), volume);
    if (m_channel != nullptr) {
        auto* callback = makeObjectDelegate(this, &MapAnimationSprite::onSoundFinished);
        m_channel->setEndCallback(callback);
        engineFree(callback);
    }
    useCompanion(true);
}

void MapAnimationSprite::onRunFinished(VideoSprite&)
{
    if (m_companion.get() != nullptr && isInRange() && GameRandom::rand() % 100 >= k_runSoundChance)
        playCompanionSound(rangeVolume());
}

void MapAnimationSprite::onSoundFinished()
{
    m_soundPlaying = false;
}
