#include "ui/FScaleTween.h"

#include "ui/FContainer.h"
#include "ui/FEasing.h"

#include <cmath>

void FScaleTween::setTarget(FWidget* widget)
{
    m_from = 1.0f;
    m_to = 1.0f;
    m_target = widget;
    m_containerMode = false;
    if (widget != nullptr) {
        m_captured = widget->rect();
        m_centre = widget->getWidgetCenter();
    }
}

void FScaleTween::setContainer(FContainer* container)
{
    m_container = container;
    m_containerMode = container != nullptr;
}

void FScaleTween::start(float from, float to, int32_t duration, bool loop)
{
    m_from = from;
    m_to = to;
    m_duration = duration;
    m_elapsed = 0;
    m_loop = loop;
    setActive(true);
}

void FScaleTween::update(int32_t ms)
{
    if (!isActive()) return;
    if (!advanceElapsed(m_elapsed, m_duration, m_loop, ms)) return;
    float e = 1.0f;
    if (m_easing == FEasing::k_linear) {
        e = m_from + (m_to - m_from) * float(m_elapsed) / float(m_duration);
    } else if (m_easing == FEasing::k_easeOut || m_easing == FEasing::k_easeIn) {
        e = static_cast<float>(m_from +
                               FEasing::value(m_easing, double(m_elapsed) / m_duration) * (m_to - m_from));
    }
    apply(e);
}

void FScaleTween::finish()
{
    apply(m_to);
    FTween::finish();
}

void FScaleTween::apply(float factor)
{
    if (m_containerMode) {
        // Later steps go on from the last applied value.
        m_from = factor;
        m_container->setUniformScale(factor);
        return;
    }
    if (m_target == nullptr) return;
    const int32_t w = m_captured.right - m_captured.left;
    const int32_t h = m_captured.bottom - m_captured.top;
    const FRectI scaled{0, 0, static_cast<int32_t>(std::trunc(w * factor)),
                        static_cast<int32_t>(std::trunc(factor * h))};
    // Scaled and centred on the captured centre in one change.
    m_target->setWidgetRect(FWidget::centerRectOn(scaled, m_centre));
}
