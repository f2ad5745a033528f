#pragma once

#include "ScreenLayout17.h"

#include <cstdint>

class VideoSprite;

// The third start-up screen (kind 10): the intro animation plays once at its
// own frame rate with its music, then the splash screen follows.
class IntroAnimationScreen : public ScreenLayout17
{
public:
    // A video that reports no frame rate cannot be timed: the report names
    // the asset instead of dividing by zero.
    IntroAnimationScreen();
    ~IntroAnimationScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;

    void onAnimationDone();

    VideoSprite& player() const { return *m_playerSprite; }

private:
    void onPlayerFinished(VideoSprite&) { onAnimationDone(); }

    VideoSprite* m_playerSprite = nullptr;
};
