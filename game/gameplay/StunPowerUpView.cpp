#include "game/gameplay/StunPowerUpView.h"

#include "game/core/ActivePowerUp.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/CommonUIScreen.h"
#include "ui/FImageWidget.h"

StunPowerUpView::StunPowerUpView(FContainer* parent) : PowerUpView(parent, k_powerUpStun) {}

StunPowerUpView::~StunPowerUpView() = default;

void StunPowerUpView::setup()
{
    if (CommonUIScreen* screen = hostScreen()) {
        setIcon(screen->m_iconStun);
        setLaunchClip(screen->m_launchStunClip);
    }
    bringToFront();
}

void StunPowerUpView::update(int32_t elapsedMs)
{
    PowerUpView::update(elapsedMs);
}

void StunPowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    PowerUpView::onPowerUpStateChanged(record);
    if (state() != ActivePowerUp::k_stateEnded) return;
    setVisible(false);
    if (FImageWidget* badge = icon()) badge->setVisible(false);
    if (CommonUIScreen* screen = hostScreen()) screen->endWrongHitPenalty(player());
}

void StunPowerUpView::onLaunchFinished()
{
    if (!passLaunchCheck()) return;
    if (CommonUIScreen* screen = hostScreen()) screen->playWrongHitPenalty(player());
}
