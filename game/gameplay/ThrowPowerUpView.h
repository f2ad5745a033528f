#pragma once

#include "game/gameplay/PowerUpView.h"

// The Throw power-up: once launched, a charge clip plays over the map with
// three sounds (at its start, past 500 ms and past 2000 ms); when it ends the
// story may take the throw (event 9), else the screen throws at the player.
// The power-up stays in the slot until the player finds an item.
class ThrowPowerUpView : public PowerUpView
{
public:
    static constexpr int32_t k_firedEvent = 8;
    static constexpr int32_t k_thrownEvent = 9;
    static constexpr int32_t k_secondSoundMs = 500;
    static constexpr int32_t k_lastSoundMs = 2000;

    explicit ThrowPowerUpView(FContainer* parent);
    ~ThrowPowerUpView() override;

    void setup() override;
    void update(int32_t elapsedMs) override;
    void onPowerUpStateChanged(ActivePowerUp& record) override;
    void onLaunchFinished() override;

    VideoSprite* chargeSprite() const { return m_chargeSprite.get(); }
    bool isSoundSequenceRunning() const { return m_soundSequence != 0; }

private:
    void onChargeFinished(VideoSprite& sprite);

    FRefT<VideoSprite> m_chargeSprite;
    uint8_t m_soundSequence = 0;
    int32_t m_sequenceMs = 0;
    uint8_t m_secondSoundPlayed = 0;
};
