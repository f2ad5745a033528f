#pragma once

#include "ScreenLayout09.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>

class VideoSprite;

// The closing animation (kind 4): the clip and its music start with the
// first update outside a system pause; at the clip's end every sound stops,
// the last frame holds 800 ms, fades out over 800 ms, and after 3000 ms more
// the legal notice follows through the loading screen. Presses and keys do
// not skip it.
class AnimationScreen : public ScreenLayout09
{
public:
    static constexpr int32_t k_holdMs = 800;
    static constexpr int32_t k_fadeMs = 800;
    static constexpr int32_t k_waitMs = 3000;
    static constexpr int32_t k_frameRate = 24;
    static constexpr int32_t k_frameTimeMs = 41;

    AnimationScreen();
    ~AnimationScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;

    VideoSprite& playerSprite() const { return *m_playerSprite; }

    bool m_started = false;
    FTimerTween m_holdTimer;
    WidgetFadeTween m_fade;
    FTimerTween m_waitTimer;

private:
    void onAnimationFinished(VideoSprite&);
    void onHoldDone();
    void onFadedOut();
    void onWaitDone();

    VideoSprite* m_playerSprite = nullptr;
};
