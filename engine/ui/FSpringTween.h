#pragma once

#include "ui/FMoveTween.h"

// A damped spring towards the end point: it overshoots and settles. Time is
// not scaled by the speed.
class FSpringTween : public FMoveTween
{
public:
    using FMoveTween::FMoveTween;

    void update(int32_t ms) override;

protected:
    FPointI positionNow() const override;
};
