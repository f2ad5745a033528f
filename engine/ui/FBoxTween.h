#pragma once

#include "graphics/FGeometry.h"
#include "ui/FTween.h"

class FWidget;

// Tweens a widget's whole rectangle between two boxes: centre and size are
// interpolated. A looping box tween starts over instead of finishing.
class FBoxTween : public FTween
{
public:
    void start(FWidget* target, const FRectI& from, const FRectI& to, int32_t duration, bool loop = false);
    void update(int32_t ms) override;
    // Sets the end box.
    void finish() override;
    void setEasing(int32_t easing) { m_easing = easing; }
    int32_t elapsed() const { return m_elapsed; }

private:
    FWidget* m_target = nullptr;
    bool m_loop = false;
    FRectI m_start;
    FRectI m_end;
    int32_t m_elapsed = 0;
    int32_t m_duration = 0;
    int32_t m_easing = 0;
};
