#include "ui/FTween.h"

#include <cmath>

FTween::~FTween()
{
    freeAndNull(m_completion);
}

void FTween::finish()
{
    m_active = 0;
    if (m_completion != nullptr) m_completion->invoke();
}

void FTween::copyTweenBase(const FTween& other)
{
    m_active = other.m_active;
    m_speed = other.m_speed;
    Completion::assign(m_completion, other.m_completion);
}

int32_t FTween::scaled(int32_t ms) const
{
    return static_cast<int32_t>(std::trunc(static_cast<double>(m_speed) * ms));
}
