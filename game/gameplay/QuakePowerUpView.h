#pragma once

#include "core/FRef.h"
#include "game/gameplay/PowerUpView.h"
#include "ui/FMoveTween.h"
#include "ui/FTimerTween.h"

#include <cstdint>

class VideoSprite;

// The Quake power-up: a heavy object drops from above the screen onto the
// middle of the map (400 ms), bounces 30 pixels up (200 ms) and down again
// (50 ms) and vanishes; then the screen's map quake shakes the map for 7 s.
class QuakePowerUpView : public PowerUpView
{
public:
    static constexpr int32_t k_fallMs = 400;
    static constexpr int32_t k_bounceUpMs = 200;
    static constexpr int32_t k_bounceDownMs = 50;
    static constexpr int32_t k_bounce = 30;
    static constexpr int32_t k_quakeMs = 7000;
    static constexpr int32_t k_dropClipFps = 12;
    static constexpr int32_t k_dropClipFrameMs = 83;

    explicit QuakePowerUpView(FContainer* parent);
    ~QuakePowerUpView() override;

    void setup() override;
    void update(int32_t elapsedMs) override;
    void onPowerUpStateChanged(ActivePowerUp& record) override;
    void onLaunchFinished() override;

    // One step of the drop; the screen's throw effect starts the drop again.
    void dropStep() override;

    int32_t dropPhase() const { return m_dropPhase; }
    VideoSprite* dropSprite() const { return m_dropSprite.get(); }
    bool isQuakeTimerRunning() const { return m_quakeTimer.isActive(); }

private:
    void onQuakeEnd();

    int32_t m_dropPhase = 0;
    FRefT<VideoSprite> m_dropSprite;
    FMoveTween m_dropMove;
    FTimerTween m_quakeTimer;
};
