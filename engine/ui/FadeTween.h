#pragma once

#include "ui/FAlphaFadeTween.h"

#include <cstdint>
#include <vector>

class FLabel;
class FWidget;

// The alpha a fade moves: of a label, its text and shadow alpha (each change
// rebuilds its glyph runs so that it shows); of any other widget, its
// colour's alpha.
int32_t fadedAlpha(FLabel& label);
void setFadedAlpha(FLabel& label, int32_t value);
int32_t fadedAlpha(FWidget& widget);
void setFadedAlpha(FWidget& widget, int32_t value);

// Fades the alpha of one item or of a list of items (Item is FLabel or
// FWidget); the course is FAlphaFadeTween's.
template <class Item> class FItemFadeTween : public FAlphaFadeTween
{
public:
    Item* target = nullptr;
    std::vector<Item*> items;

    // From the target's current alpha to `to`; nothing without a target.
    void start(int32_t toValue, int32_t durationMs)
    {
        if (target != nullptr) startFrom(fadedAlpha(*target), toValue, durationMs);
    }

protected:
    bool hasList() const override { return !items.empty(); }
    void applyToList(int32_t value) override
    {
        for (Item* item : items)
            setFadedAlpha(*item, value);
    }
    void applyToTarget(int32_t value) override
    {
        if (target != nullptr) setFadedAlpha(*target, value);
    }
};

// A label's text fade and a widget's colour fade.
using FadeTween = FItemFadeTween<FLabel>;
using WidgetFadeTween = FItemFadeTween<FWidget>;

inline void startAlphaTween(FadeTween& tween, int32_t to, int32_t duration)
{
    tween.start(to, duration);
}

inline void startAlphaFade(WidgetFadeTween& tween, int32_t to, int32_t duration)
{
    tween.start(to, duration);
}
