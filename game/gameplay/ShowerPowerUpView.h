#pragma once

#include "core/FRef.h"
#include "game/gameplay/PowerUpView.h"
#include "graphics/FGeometry.h"
#include "ui/FMoveTween.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <deque>
#include <vector>

class FImageWidget;
class VideoSprite;

// The Shower power-up: the map darkens and locks, the music changes, and 40
// sprites fall one after another, in random order, from 40 columns above the
// screen. A sprite the player points at flies to the lower middle of the
// screen and, on arrival, gives 400 ms back on the level timer. After the
// last fall the darkness fades out, the world's music returns and the
// power-up ends.
class ShowerPowerUpView : public PowerUpView
{
public:
    static constexpr int32_t k_spriteCount = 40;
    static constexpr int32_t k_darknessAlpha = 200;
    static constexpr int32_t k_darknessFadeMs = 250;
    static constexpr int32_t k_catchFlightMs = 350;
    static constexpr int32_t k_catchRewardMs = 400;
    static constexpr int32_t k_minFallMs = 1000;
    static constexpr int32_t k_fallSpreadMs = 3001;
    static constexpr int32_t k_minGapMs = 50;
    static constexpr int32_t k_gapSpreadMs = 151;
    // The message shown is the ComboBoost's (kind 2), as the game's tables
    // give it for the Shower.
    static constexpr int32_t k_messageKind = 2;
    static constexpr int32_t k_darknessAsset = 6674;

    explicit ShowerPowerUpView(FContainer* parent);
    ~ShowerPowerUpView() override;

    void setup() override;
    void update(int32_t elapsedMs) override;
    void onPowerUpStateChanged(ActivePowerUp& record) override;
    void onLaunchFinished() override;
    // The player points at falling sprite `index`.
    void catchSprite(int32_t index) override;

    // Starts the next fall; after the last one the darkness fades out.
    void dropNext();

    int32_t launchedCount() const { return m_launchedCount; }
    const std::deque<FRefT<VideoSprite>>& sprites() const { return m_sprites; }
    // Sprite indices in the order they fall.
    const std::vector<int32_t>& dropOrder() const { return m_dropOrder; }
    FImageWidget* darkness() const { return m_darkness.get(); }
    // Where a caught sprite flies to.
    FPointI catchPoint() const;

private:
    void onFadeOutEnd();
    FPointI screenSize() const;

    WidgetFadeTween m_darknessFade;
    FRefT<FImageWidget> m_darkness;
    std::deque<FRefT<VideoSprite>> m_sprites;
    // One flight per sprite, by sprite index; the order they start in is
    // the shuffled drop order.
    std::deque<FMoveTween> m_flights;
    std::vector<int32_t> m_dropOrder;
    int32_t m_launchedCount = 0;
    FTimerTween m_dropTimer;
};
