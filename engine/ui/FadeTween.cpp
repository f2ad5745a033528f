#include "ui/FadeTween.h"

#include "ui/FLabel.h"

void FadeTween::applyToList(int32_t value)
{
    for (FLabel* label : labels)
        label->setAlpha(static_cast<uint8_t>(value));
}

void FadeTween::applyToTarget(int32_t value)
{
    if (target != nullptr) target->setAlpha(static_cast<uint8_t>(value));
}

void startAlphaTween(FadeTween& tween, int32_t to, int32_t duration)
{
    if (tween.target == nullptr) return;
    tween.startFrom(static_cast<int32_t>(tween.target->colourTable()[0] >> 24), to, duration);
}
