#pragma once

#include "ui/FTween.h"

// A countdown; a negative remaining time never runs out.
class FTimerTween : public FTween
{
public:
    void start(int32_t remaining);
    void update(int32_t ms) override;
    int32_t remaining() const { return m_remaining; }

private:
    int32_t m_remaining = 0;
};
