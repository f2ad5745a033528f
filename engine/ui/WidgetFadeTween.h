#pragma once

#include "ui/FAlphaFadeTween.h"

#include <vector>

class FWidget;

// Fades the colour alpha of one widget or of a list of widgets.
class WidgetFadeTween : public FAlphaFadeTween
{
public:
    FWidget* target = nullptr;
    std::vector<FWidget*> widgets;

protected:
    bool hasList() const override { return !widgets.empty(); }
    void applyToList(int32_t value) override;
    void applyToTarget(int32_t value) override;

    friend void startAlphaFade(WidgetFadeTween& tween, int32_t to, int32_t duration);
};

// From the target's current alpha to `to`; nothing without a target.
void startAlphaFade(WidgetFadeTween& tween, int32_t to, int32_t duration);
