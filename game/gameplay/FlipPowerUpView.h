#pragma once

#include "game/gameplay/PowerUpView.h"
#include "ui/FTimerTween.h"

// The Flip power-up: once launched, the player's map view turns upside down
// for 10 s; however the power-up ends, a turned map is turned back.
class FlipPowerUpView : public PowerUpView
{
public:
    static constexpr int32_t k_flipMs = 10000;

    explicit FlipPowerUpView(FContainer* parent);
    ~FlipPowerUpView() override;

    void setup() override;
    void update(int32_t elapsedMs) override;
    void onPowerUpStateChanged(ActivePowerUp& record) override;
    void onLaunchFinished() override;

    bool isFlipped() const { return m_flipped; }
    bool isTimerRunning() const { return m_flipTimer.isActive(); }

private:
    void onFlipTimerFinished();

    FTimerTween m_flipTimer;
    bool m_flipped = false;
};
