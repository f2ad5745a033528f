#pragma once

#include "ScreenLayout04.h"
#include "ui/FadeTween.h"

#include <cstdint>

// The first screen of every run (kind 1): the window takes its title, the
// studio card fades in and stays, the title card fades in over it, stays and
// fades out, then the slides follow. Presses change nothing.
class IntroScreen : public ScreenLayout04
{
public:
    static constexpr int32_t k_fadeMs = 350;
    static constexpr int32_t k_holdMs = 2300;

    IntroScreen();
    ~IntroScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;

    void onPictureAShown();
    void onPictureBShown();
    void onIntroDone();

    bool m_titleSet = false;
    WidgetFadeTween m_pictureBFade;
    WidgetFadeTween m_pictureAFade;
};
