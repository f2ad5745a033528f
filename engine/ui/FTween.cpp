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

bool FTween::advanceElapsed(int32_t& elapsed, int32_t duration, bool loop, int32_t ms)
{
    elapsed += scaled(ms);
    if (elapsed < duration) return true;
    // A looping tween of no length has nowhere to go: it finishes too.
    if (!loop || duration <= 0) {
        finish();
        return false;
    }
    elapsed %= duration;
    return true;
}
