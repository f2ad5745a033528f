#include "ui/FSpringTween.h"

#include <cmath>

void FSpringTween::update(int32_t ms)
{
    if (!isActive()) return;
    advance(ms);
}

FPointI FSpringTween::positionNow() const
{
    const double c = 3.9 * m_elapsed / m_duration;
    const double v = 1.0 - std::cos(-2.0 * c) * std::pow(2.71828, -c);
    return {static_cast<int32_t>(std::trunc(v * (m_end.x - m_start.x) + m_start.x)),
            static_cast<int32_t>(std::trunc(v * (m_end.y - m_start.y) + m_start.y))};
}
