#include "ui/FTimerTween.h"

void FTimerTween::start(int32_t remaining)
{
    m_remaining = remaining;
    setActive(true);
}

void FTimerTween::update(int32_t ms)
{
    if (!isActive() || m_remaining < 0) return;
    m_remaining -= scaled(ms);
    if (m_remaining <= 0) {
        m_remaining = 0;
        finish();
    }
}
