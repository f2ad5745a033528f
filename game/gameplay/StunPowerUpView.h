#pragma once

#include "game/gameplay/PowerUpView.h"

// The Stun power-up: once launched, the player gets the wrong-hit penalty
// (stunned cursor, locked map) until a shake ends the power-up; its end
// lifts the penalty.
class StunPowerUpView : public PowerUpView
{
public:
    explicit StunPowerUpView(FContainer* parent);
    ~StunPowerUpView() override;

    void setup() override;
    void update(int32_t elapsedMs) override;
    void onPowerUpStateChanged(ActivePowerUp& record) override;
    void onLaunchFinished() override;
};
