#pragma once

#include "core/FRef.h"

#include <cstdint>

class FImage;
class FWidget;

// What the level timer bar asks of the story mode screen: the widgets of its
// layout it works on (by widget id), its images and sounds (by asset id) and
// the comment that follows the time warning. The story mode screen
// implements it.
class TimerBarHost
{
public:
    virtual ~TimerBarHost() = default;

    virtual FWidget* timerBarWidget(uint32_t widgetId) = 0;
    virtual FRefT<FImage> timerBarImage(int32_t assetId) = 0;
    virtual FRef timerBarSound(int32_t assetId) = 0;
    virtual void playRandomComment() = 0;
};
