#include "game/gameplay/FlipPowerUpView.h"

#include "core/FMemory.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/CommonUIScreen.h"
#include "ui/FImageWidget.h"

FlipPowerUpView::FlipPowerUpView(FContainer* parent) : PowerUpView(parent, k_powerUpFlip) {}

FlipPowerUpView::~FlipPowerUpView()
{
    m_flipTimer.setCompletion(nullptr);
}

void FlipPowerUpView::setup()
{
    m_flipped = false;
    if (CommonUIScreen* screen = hostScreen()) {
        setIcon(screen->m_iconFlip);
        setLaunchClip(screen->m_launchFlipClip);
    }
    auto* ended = makeMemberDelegate(this, &FlipPowerUpView::onFlipTimerFinished);
    m_flipTimer.setCompletion(ended);
    freeAndNull(ended);
    bringToFront();
}

void FlipPowerUpView::update(int32_t elapsedMs)
{
    if (m_flipTimer.isActive()) m_flipTimer.update(elapsedMs);
    PowerUpView::update(elapsedMs);
}

void FlipPowerUpView::onFlipTimerFinished()
{
    // The view's own player's slot: another player's power-up is not ours.
    useSessionPowerUp(player());
}

void FlipPowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    PowerUpView::onPowerUpStateChanged(record);
    if (state() != ActivePowerUp::k_stateEnded) return;
    setVisible(false);
    m_flipTimer.setActive(false);
    if (m_flipped) {
        m_flipped = false;
        if (CommonUIScreen* screen = hostScreen()) screen->toggleFlip(player());
    }
}

void FlipPowerUpView::onLaunchFinished()
{
    if (!passLaunchCheck()) return;
    m_flipTimer.start(k_flipMs);
    if (CommonUIScreen* screen = hostScreen()) screen->toggleFlip(player());
    m_flipped = true;
}
