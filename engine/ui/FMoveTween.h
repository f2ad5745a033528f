#pragma once

#include "graphics/FGeometry.h"
#include "ui/FTween.h"

class FWidget;

// Moves a widget's top-left corner to an end point along one of the easing
// courses.
class FMoveTween : public FTween
{
public:
    explicit FMoveTween(FWidget* target = nullptr) : m_target(target) {}

    // From the target's current top-left to point, linear.
    void start(FPointI point, int32_t duration);
    void update(int32_t ms) override;
    // Puts the target at the end point.
    void finish() override;
    // A complete copy: base, target, points, times and easing.
    void cloneTween(const FMoveTween& other);

    void setTarget(FWidget* target) { m_target = target; }
    void setEasing(int32_t easing) { m_easing = easing; }
    void setPoints(FPointI from, FPointI to);
    void setDuration(int32_t duration) { m_duration = duration; }
    int32_t elapsed() const { return m_elapsed; }

protected:
    // The position at the current elapsed time.
    virtual FPointI positionNow() const;
    void advance(int32_t ms);

    FWidget* m_target;
    FPointI m_start;
    FPointI m_end;
    int32_t m_duration = 0;
    int32_t m_elapsed = 0;
    int32_t m_easing = 0;
};
