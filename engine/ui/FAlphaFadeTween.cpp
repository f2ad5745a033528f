#include "ui/FAlphaFadeTween.h"

#include "ui/FEasing.h"

void FAlphaFadeTween::startFrom(int32_t alpha, int32_t toValue, int32_t durationMs)
{
    from = alpha;
    to = toValue;
    duration = durationMs;
    elapsed = 0;
    easing = FEasing::k_linear;
    setActive(true);
}

void FAlphaFadeTween::update(int32_t ms)
{
    if (!isActive()) return;
    if (delay > 0) {
        delay -= ms;
        return;
    }
    elapsed += scaled(ms);
    if (elapsed >= duration) {
        finish();
        return;
    }
    if (hasList()) {
        applyToList(linearValue());
        return;
    }
    applyToTarget(targetValue());
}

int32_t FAlphaFadeTween::linearValue() const
{
    // The product in 64 bits: large values must not overflow.
    return static_cast<int32_t>(from + int64_t(to - from) * elapsed / duration);
}

int32_t FAlphaFadeTween::targetValue() const
{
    if (easing != FEasing::k_easeOut && easing != FEasing::k_easeIn) return linearValue();
    const double l = FEasing::raw(easing, double(elapsed) / duration);
    if (l > 1.0) return to;
    if (l < 0.0) return from;
    return static_cast<int32_t>(static_cast<float>(from + (to - from) * l));
}

void FAlphaFadeTween::finish()
{
    if (hasList()) {
        applyToList(to);
    } else {
        applyToTarget(to);
    }
    FTween::finish();
}
