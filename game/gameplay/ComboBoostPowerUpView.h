#pragma once

#include "game/gameplay/PowerUpView.h"
#include "ui/FTimerTween.h"

// The ComboBoost power-up: once launched, a bonus clip plays over the map;
// when it ends the combo level rises, and twice more 750 ms apart; the
// power-up ends 750 ms after the third raise.
class ComboBoostPowerUpView : public PowerUpView
{
public:
    static constexpr int32_t k_bonusFps = 12;
    static constexpr int32_t k_bonusFrameMs = 83;
    static constexpr int32_t k_boostMs = 750;
    static constexpr int32_t k_boosts = 3;

    explicit ComboBoostPowerUpView(FContainer* parent);
    ~ComboBoostPowerUpView() override;

    void setup() override;
    void update(int32_t elapsedMs) override;
    void onPowerUpStateChanged(ActivePowerUp& record) override;
    void onLaunchFinished() override;

    VideoSprite* bonusSprite() const { return m_bonusSprite.get(); }
    int32_t boostCount() const { return m_boostCount; }

private:
    void onBonusFinished(VideoSprite& sprite);
    void boostStep();

    FRefT<VideoSprite> m_bonusSprite;
    FTimerTween m_boostTimer;
    int32_t m_boostCount = 0;
};
