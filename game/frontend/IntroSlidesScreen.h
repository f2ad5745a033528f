#pragma once

#include "ScreenLayout10.h"
#include "ui/FadeTween.h"

#include <cstdint>

class VideoSprite;

// The second start-up screen (kind 5): the slide fades in over the cover,
// stays and fades out; then the cover fades out and the intro animation
// follows.
class IntroSlidesScreen : public ScreenLayout10
{
public:
    static constexpr int32_t k_fadeMs = 350;
    static constexpr int32_t k_holdMs = 2300;
    static constexpr int32_t k_coverFadeMs = 250;

    IntroSlidesScreen();
    ~IntroSlidesScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;

    void onSlideShown();
    void onSlideHidden();
    void onSlidesDone();

    VideoSprite& slide() const { return *m_slideSprite; }

    WidgetFadeTween m_slideFade;
    WidgetFadeTween m_coverFade;

private:
    VideoSprite* m_slideSprite = nullptr;
};
