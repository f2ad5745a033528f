#pragma once

#include "core/FDelegate.h"

#include <cstdint>

// The base of every tween: an owner calls update with each frame's elapsed
// milliseconds; a finished tween runs its completion callback once, after
// its final state is applied (so the callback may start the next one).
class FTween
{
public:
    using Completion = FDelegate<void()>;

    FTween() = default;
    virtual ~FTween();
    FTween(const FTween&) = delete;
    FTween& operator=(const FTween&) = delete;

    virtual void update(int32_t) {}
    // Inactive, then the completion callback.
    virtual void finish();

    bool isActive() const { return m_active != 0; }
    void setActive(bool active) { m_active = active ? 1 : 0; }
    float speed() const { return m_speed; }
    void setSpeed(float speed) { m_speed = speed; }
    // Stores a clone of the callback (null clears it).
    void setCompletion(const Completion* completion) { Completion::assign(m_completion, completion); }
    // Copies active and speed and clones the completion callback.
    void copyTweenBase(const FTween& other);

protected:
    // trunc(speed x ms), formed in double precision.
    int32_t scaled(int32_t ms) const;
    // Adds the scaled time to elapsed; at the duration a looping tween wraps
    // around, any other finishes. False when the tween finished.
    bool advanceElapsed(int32_t& elapsed, int32_t duration, bool loop, int32_t ms);

private:
    int32_t m_active = 0;
    Completion* m_completion = nullptr;
    float m_speed = 1.0f;
};
