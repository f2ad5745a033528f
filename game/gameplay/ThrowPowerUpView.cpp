#include "game/gameplay/ThrowPowerUpView.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/CommonUIScreen.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FImageWidget.h"

ThrowPowerUpView::ThrowPowerUpView(FContainer* parent) : PowerUpView(parent, k_powerUpThrow) {}

ThrowPowerUpView::~ThrowPowerUpView()
{
    if (VideoSprite* sprite = m_chargeSprite.get()) sprite->setFinishCallback(nullptr);
    m_chargeSprite = {};
}

void ThrowPowerUpView::setup()
{
    if (CommonUIScreen* screen = hostScreen()) {
        setIcon(screen->m_iconThrow);
        setLaunchClip(screen->m_launchThrowClip);
        m_chargeSprite = makeScreenSprite(screen->m_chargeClip, this, &ThrowPowerUpView::onChargeFinished);
    }
    if (VideoSprite* sprite = m_chargeSprite.get()) {
        const FRectI map = mapRect();
        sprite->centerWidgetOnPoint({(map.left + map.right) / 2, (map.top + map.bottom) / 2});
    }
    bringToFront();
}

void ThrowPowerUpView::update(int32_t elapsedMs)
{
    if (plays(m_chargeSprite.get())) m_chargeSprite->update(elapsedMs);
    if (m_soundSequence != 0 && hostScreen() != nullptr) {
        m_sequenceMs += elapsedMs;
        if (m_sequenceMs > k_secondSoundMs && m_secondSoundPlayed == 0) {
            m_secondSoundPlayed = 1;
            playViewSound(hostScreen()->m_chargeLoopSound);
        }
        if (m_sequenceMs > k_lastSoundMs) {
            playViewSound(hostScreen()->m_chargeEndSound);
            m_soundSequence = 0;
            m_sequenceMs = 0;
            m_secondSoundPlayed = 0;
        }
    }
    PowerUpView::update(elapsedMs);
}

void ThrowPowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    const bool launches =
        state() != ActivePowerUp::k_stateUsed && record.state() == ActivePowerUp::k_stateUsed;
    PowerUpView::onPowerUpStateChanged(record);
    if (state() == ActivePowerUp::k_stateUsed) {
        // Only the firing the view launches for is news to the story.
        if (launches && hasLaunched() && hostScreen() != nullptr) hostScreen()->raiseStoryEvent(k_firedEvent);
        return;
    }
    if (state() != ActivePowerUp::k_stateEnded) return;
    setVisible(false);
    if (VideoSprite* sprite = m_chargeSprite.get()) {
        sprite->setPlaying(false);
        sprite->setVisible(false);
    }
    m_soundSequence = 0;
    if (FImageWidget* badge = icon()) badge->setVisible(false);
}

void ThrowPowerUpView::onLaunchFinished()
{
    if (!passLaunchCheck()) return;
    if (VideoSprite* sprite = m_chargeSprite.get()) {
        sprite->setVisible(true);
        sprite->play(false);
    }
    if (CommonUIScreen* screen = hostScreen()) playViewSound(screen->m_chargeStartSound);
    m_soundSequence = 1;
    m_sequenceMs = 0;
    m_secondSoundPlayed = 0;
}

void ThrowPowerUpView::onChargeFinished(VideoSprite&)
{
    if (state() != ActivePowerUp::k_stateUsed) return;
    CommonUIScreen* screen = hostScreen();
    if (screen == nullptr) return;
    if (!screen->raiseStoryEvent(k_thrownEvent)) screen->throwAtPlayer(player());
}
