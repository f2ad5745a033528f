#include "game/gameplay/QuakePowerUpView.h"

#include "core/FMemory.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/CommonUIScreen.h"
#include "game/widgets/VideoSprite.h"
#include "video/FVideo.h"

QuakePowerUpView::QuakePowerUpView(FContainer* parent) : PowerUpView(parent, k_powerUpQuake)
{
    m_dropMove.setSpeed(1.0f);
    m_quakeTimer.setSpeed(1.0f);
}

QuakePowerUpView::~QuakePowerUpView()
{
    m_quakeTimer.setCompletion(nullptr);
    m_dropMove.setCompletion(nullptr);
    m_dropMove.setTarget(nullptr);
    m_dropSprite = {};
}

void QuakePowerUpView::setup()
{
    CommonUIScreen* host = hostScreen();
    if (host == nullptr) return;
    setIcon(host->m_iconQuake);
    setLaunchClip(host->m_launchQuakeClip);
    m_dropSprite = makeRef(engineNew<VideoSprite>(k_memObject, host));
    VideoSprite* sprite = m_dropSprite.get();
    sprite->setVideo(FRefT<FVideo>(host->m_dropClip), true);
    sprite->setFrameRate(k_dropClipFps);
    sprite->setFrameTime(k_dropClipFrameMs);
    sprite->setLoops(-1);
    const FRectI map = mapRect();
    sprite->setWidgetPosition((map.left + map.right) / 2 - sprite->width() / 2, -sprite->height());
    sprite->setVisible(false);
    sprite->setHitTestDisabled(true);

    m_dropMove.setTarget(sprite);
    FTween::Completion* step = makeMemberDelegate(this, &QuakePowerUpView::dropStep);
    m_dropMove.setCompletion(step);
    freeAndNull(step);
    FTween::Completion* ended = makeMemberDelegate(this, &QuakePowerUpView::onQuakeEnd);
    m_quakeTimer.setCompletion(ended);
    freeAndNull(ended);
    bringToFront();
}

void QuakePowerUpView::onLaunchFinished()
{
    if (!passLaunchCheck()) return;
    m_dropPhase = 0;
    dropStep();
}

void QuakePowerUpView::dropStep()
{
    VideoSprite* sprite = m_dropSprite.get();
    CommonUIScreen* host = hostScreen();
    if (sprite == nullptr || host == nullptr) return;
    const FRectI r = sprite->rect();
    m_dropMove.setEasing(0);
    switch (m_dropPhase) {
    case 0: {
        sprite->setVisible(true);
        sprite->play(false);
        playViewSound(host->m_dropSound);
        const FRectI map = mapRect();
        const int32_t centreY = (map.top + map.bottom) / 2;
        m_dropMove.start({r.left, centreY - sprite->height() / 2}, k_fallMs);
        m_dropPhase = 1;
        break;
    }
    case 1: {
        const int32_t w = sprite->width();
        const int32_t h = sprite->height();
        host->startImpactBurst(r.left + w / 2 - w / 4, r.bottom - h / 8);
        m_dropMove.start({r.left, r.top - k_bounce}, k_bounceUpMs);
        m_dropPhase = 2;
        break;
    }
    case 2:
        m_dropMove.start({r.left, r.top + k_bounce}, k_bounceDownMs);
        m_dropPhase = 3;
        break;
    default:
        sprite->setVisible(false);
        sprite->setPlaying(false);
        host->setMapQuake(player(), true);
        m_quakeTimer.start(k_quakeMs);
        m_dropPhase = 0;
        break;
    }
}

void QuakePowerUpView::onQuakeEnd()
{
    useSessionPowerUp(player());
}

void QuakePowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    PowerUpView::onPowerUpStateChanged(record);
    if (state() != ActivePowerUp::k_stateEnded) return;
    setVisible(false);
    if (VideoSprite* sprite = m_dropSprite.get()) {
        sprite->setPlaying(false);
        sprite->setVisible(false);
    }
    m_dropMove.setActive(false);
    m_quakeTimer.setActive(false);
    if (CommonUIScreen* host = hostScreen()) host->setMapQuake(player(), false);
}

void QuakePowerUpView::update(int32_t elapsedMs)
{
    if (plays(m_dropSprite.get())) m_dropSprite->update(elapsedMs);
    if (m_dropMove.isActive()) m_dropMove.update(elapsedMs);
    if (m_quakeTimer.isActive()) m_quakeTimer.update(elapsedMs);
    PowerUpView::update(elapsedMs);
}
