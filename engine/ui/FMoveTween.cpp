#include "ui/FMoveTween.h"

#include "ui/FEasing.h"
#include "ui/FWidget.h"

#include <cmath>

void FMoveTween::start(FPointI point, int32_t duration)
{
    m_start = m_target != nullptr ? FPointI{m_target->rect().left, m_target->rect().top} : FPointI{};
    m_end = point;
    m_duration = duration;
    m_elapsed = 0;
    m_easing = FEasing::k_linear;
    setActive(true);
}

void FMoveTween::setPoints(FPointI from, FPointI to)
{
    m_start = from;
    m_end = to;
}

void FMoveTween::update(int32_t ms)
{
    if (!isActive()) return;
    advance(scaled(ms));
}

void FMoveTween::advance(int32_t ms)
{
    m_elapsed += ms;
    if (m_elapsed >= m_duration) {
        finish();
        return;
    }
    const FPointI p = positionNow();
    if (m_target != nullptr) m_target->setWidgetPosition(p.x, p.y);
}

FPointI FMoveTween::positionNow() const
{
    if (m_easing != FEasing::k_easeOut && m_easing != FEasing::k_easeIn) {
        return {static_cast<int32_t>(m_start.x + int64_t(m_end.x - m_start.x) * m_elapsed / m_duration),
                static_cast<int32_t>(m_start.y + int64_t(m_elapsed) * (m_end.y - m_start.y) / m_duration)};
    }
    const double v = FEasing::value(m_easing, double(m_elapsed) / m_duration);
    return {static_cast<int32_t>(std::trunc((m_end.x - m_start.x) * v + m_start.x)),
            static_cast<int32_t>(std::trunc((m_end.y - m_start.y) * v + m_start.y))};
}

void FMoveTween::finish()
{
    if (m_target != nullptr) m_target->setWidgetPosition(m_end.x, m_end.y);
    FTween::finish();
}

void FMoveTween::cloneTween(const FMoveTween& other)
{
    copyTweenBase(other);
    m_target = other.m_target;
    m_start = other.m_start;
    m_end = other.m_end;
    m_duration = other.m_duration;
    m_elapsed = other.m_elapsed;
    m_easing = other.m_easing;
}
