#include "game/gameplay/ComboBoostPowerUpView.h"

#include "core/FMemory.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/CommonUIScreen.h"
#include "game/widgets/VideoSprite.h"

ComboBoostPowerUpView::ComboBoostPowerUpView(FContainer* parent) : PowerUpView(parent, k_powerUpComboBoost) {}

ComboBoostPowerUpView::~ComboBoostPowerUpView()
{
    m_boostTimer.setCompletion(nullptr);
    if (VideoSprite* sprite = m_bonusSprite.get()) sprite->setFinishCallback(nullptr);
    m_bonusSprite = {};
}

void ComboBoostPowerUpView::setup()
{
    CommonUIScreen* screen = hostScreen();
    if (screen != nullptr) {
        setIcon(screen->m_iconComboBoost);
        setLaunchClip(screen->m_launchComboClip);
        m_bonusSprite =
            makeScreenSprite(screen->m_comboBonusClip, this, &ComboBoostPowerUpView::onBonusFinished);
    }
    if (VideoSprite* sprite = m_bonusSprite.get()) {
        sprite->setFrameRate(k_bonusFps);
        sprite->setFrameTime(k_bonusFrameMs);
        // Centred in a rectangle of the map view's size at the screen's origin.
        const FRectI map = mapRect();
        sprite->centerWidgetOnPoint({(map.right - map.left) / 2, (map.bottom - map.top) / 2});
        sprite->setHitTestDisabled(true);
    }
    auto* step = makeMemberDelegate(this, &ComboBoostPowerUpView::boostStep);
    m_boostTimer.setCompletion(step);
    freeAndNull(step);
    bringToFront();
}

void ComboBoostPowerUpView::update(int32_t elapsedMs)
{
    if (plays(m_bonusSprite.get())) m_bonusSprite->update(elapsedMs);
    if (m_boostTimer.isActive()) m_boostTimer.update(elapsedMs);
    PowerUpView::update(elapsedMs);
}

void ComboBoostPowerUpView::onLaunchFinished()
{
    if (!passLaunchCheck()) return;
    m_boostCount = 0;
    VideoSprite* sprite = m_bonusSprite.get();
    if (sprite == nullptr) {
        // Without a bonus clip the raises start at once.
        boostStep();
        return;
    }
    sprite->setVisible(true);
    sprite->play(false);
    sprite->bringToFront();
}

void ComboBoostPowerUpView::onBonusFinished(VideoSprite& sprite)
{
    sprite.setVisible(false);
    boostStep();
}

void ComboBoostPowerUpView::boostStep()
{
    if (state() != ActivePowerUp::k_stateUsed) return;
    if (m_boostCount >= k_boosts) {
        useSessionPowerUp(0);
        return;
    }
    ++m_boostCount;
    if (CommonUIScreen* screen = hostScreen()) screen->addComboStep();
    m_boostTimer.start(k_boostMs);
}

void ComboBoostPowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    PowerUpView::onPowerUpStateChanged(record);
    if (state() != ActivePowerUp::k_stateEnded) return;
    setVisible(false);
    if (VideoSprite* sprite = m_bonusSprite.get()) {
        sprite->setPlaying(false);
        sprite->setVisible(false);
    }
    m_boostTimer.setActive(false);
}
