#pragma once

#include "graphics/FGeometry.h"
#include "ui/FTween.h"

class FContainer;
class FWidget;

// Scales a widget about its captured centre, or, in container mode, sets a
// container's uniform scale.
class FScaleTween : public FTween
{
public:
    FScaleTween() { setTarget(nullptr); }

    // Factors back to 1; captures the widget's rectangle and centre.
    void setTarget(FWidget* widget);
    void setContainer(FContainer* container);
    void start(float from, float to, int32_t duration, bool loop = false);
    void update(int32_t ms) override;
    void finish() override;
    void setEasing(int32_t easing) { m_easing = easing; }
    void apply(float factor);

private:
    FWidget* m_target = nullptr;
    FContainer* m_container = nullptr;
    bool m_loop = false;
    FRectI m_captured;
    FPointI m_centre;
    float m_from = 1.0f;
    float m_to = 1.0f;
    int32_t m_elapsed = 0;
    int32_t m_duration = 0;
    int32_t m_easing = 0;
    bool m_containerMode = false;
};
