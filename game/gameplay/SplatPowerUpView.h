#pragma once

#include "core/FRef.h"
#include "game/gameplay/PowerUpView.h"
#include "graphics/FGeometry.h"
#include "ui/FScaleTween.h"
#include "ui/FTimerTween.h"

#include <array>
#include <cstdint>
#include <deque>

class FContainer;
class FImageWidget;

// The Splat power-up: three splats in three of six colours land on the map
// 500 ms apart, each turned at random, with one of five sounds and a pop.
// Pointer moves over the map wipe them: every move takes 10 of 5000 units of
// paint and, below 80 % left, fades one splat in turn. The power-up ends when
// less than 5 % is left, or 10 s after the third splat.
class SplatPowerUpView : public PowerUpView
{
public:
    static constexpr int32_t k_splatCount = 3;
    static constexpr int32_t k_splatGapMs = 500;
    static constexpr int32_t k_endMs = 10000;
    static constexpr int32_t k_popMs = 150;
    static constexpr int32_t k_fullPaint = 5000;
    static constexpr int32_t k_paintPerWipe = 10;
    static constexpr int32_t k_endPercent = 5;
    static constexpr std::array<uint32_t, 6> k_colours{0xFF0090DEu, 0xFFF2001Bu, 0xFFFFFB05u,
                                                       0xFF9F1895u, 0xFF189F95u, 0xFF9F9F18u};

    explicit SplatPowerUpView(FContainer* parent);
    ~SplatPowerUpView() override;

    void setup() override;
    void update(int32_t elapsedMs) override;
    void onPowerUpStateChanged(ActivePowerUp& record) override;
    void onLaunchFinished() override;
    // One pointer move over the map.
    void wipe() override;

    // Throws the next splat; the screen's throw effect throws one too.
    void splatStep() override;

    // The alpha a wipe leaves on a splat with `percent` of the paint left, or
    // -1 where wiping fades nothing yet.
    static int32_t alphaForPercent(int32_t percent);

    int32_t paintLeft() const { return m_paintLeft; }
    int32_t nextSplat() const { return m_nextSplat; }
    int32_t fadeTurn() const { return m_fadeTurn; }
    FImageWidget* splatImage(int32_t index) const;
    FContainer* splatHolder(int32_t index) const;
    const std::deque<uint32_t>& colours() const { return m_colours; }
    const std::deque<FRef>& sounds() const { return m_sounds; }
    bool isEndTimerRunning() const { return m_endTimer.isActive(); }

private:
    void onSplatTimer();
    void onEndTimer();

    FRefT<FContainer> m_overlay;
    std::deque<FRefT<FContainer>> m_holders;
    FTimerTween m_endTimer;
    FTimerTween m_splatTimer;
    FScaleTween m_pop;
    std::deque<FRefT<FImageWidget>> m_images;
    std::deque<FRef> m_sounds;
    std::array<FPointI, k_splatCount> m_positions{};
    int32_t m_nextSplat = -1;
    int32_t m_paintLeft = 0;
    int32_t m_fadeTurn = 0;
    std::deque<uint32_t> m_colours;
    // Wipes count only once the splats are on the map: a wipe that came
    // during the launch would find no paint and end the power-up at once.
    bool m_splatsOnMap = false;
};
