#pragma once

#include "core/FRef.h"
#include "game/gameplay/PowerUpView.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>

class CommonUIScreen;
class FContainer;
class FImageWidget;
class VideoSprite;

// The Cover power-up: a picture fades in over the map in 2 s and hides it;
// the first crack comes by itself when the fade ends, each click on the map
// cracks it further, and the fifth click, or 10 s after the fade, breaks it.
// The power-up ends when the break clip has played.
class CoverPowerUpView : public PowerUpView
{
public:
    static constexpr int32_t k_fadeInMs = 2000;
    static constexpr int32_t k_breakMs = 10000;
    static constexpr int32_t k_fullCounter = 12;
    static constexpr int32_t k_crackStep = 2;
    static constexpr int32_t k_breakClipFps = 12;
    static constexpr int32_t k_breakClipFrameMs = 83;

    explicit CoverPowerUpView(FContainer* parent);
    ~CoverPowerUpView() override;

    void setup() override;
    void update(int32_t elapsedMs) override;
    void onPowerUpStateChanged(ActivePowerUp& record) override;
    void onLaunchFinished() override;

    // One crack step: a click on the map, or the screen's throw effect.
    void crack() override;
    // The story screen's crack: of the Cover power-up in the player's slot,
    // when that slot holds one.
    static void crackInSlot(CommonUIScreen& screen, int32_t player);

    int32_t crackCounter() const { return m_crackCounter; }
    FImageWidget* overlayImage() const { return m_overlayImage.get(); }
    VideoSprite* crackSprite() const { return m_crackSprite.get(); }
    bool isFading() const { return m_fade.isActive(); }
    bool isBreakTimerRunning() const { return m_breakTimer.isActive(); }

private:
    void onFadeInEnd();
    void breakCover();
    void onBreakClipEnd(VideoSprite& sprite);

    FTimerTween m_breakTimer;
    FRefT<FContainer> m_overlay;
    FRefT<VideoSprite> m_crackSprite;
    WidgetFadeTween m_fade;
    FRefT<FImageWidget> m_overlayImage;
    int32_t m_crackCounter = k_fullCounter;
};
