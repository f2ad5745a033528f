#include "ui/WidgetFadeTween.h"

#include "ui/FWidget.h"

void WidgetFadeTween::applyToList(int32_t value)
{
    for (FWidget* widget : widgets)
        widget->setWidgetAlpha(static_cast<uint8_t>(value));
}

void WidgetFadeTween::applyToTarget(int32_t value)
{
    if (target != nullptr) target->setWidgetAlpha(static_cast<uint8_t>(value));
}

void startAlphaFade(WidgetFadeTween& tween, int32_t to, int32_t duration)
{
    if (tween.target == nullptr) return;
    tween.startFrom(static_cast<int32_t>(tween.target->widgetColour() >> 24), to, duration);
}
