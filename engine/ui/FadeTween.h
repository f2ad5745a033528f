#pragma once

#include "ui/FAlphaFadeTween.h"

#include <vector>

class FLabel;

// Fades the text and shadow alpha of one label or of a list of labels; each
// step rebuilds the label's glyph runs so the new alpha shows.
class FadeTween : public FAlphaFadeTween
{
public:
    FLabel* target = nullptr;
    std::vector<FLabel*> labels;

protected:
    bool hasList() const override { return !labels.empty(); }
    void applyToList(int32_t value) override;
    void applyToTarget(int32_t value) override;

    friend void startAlphaTween(FadeTween& tween, int32_t to, int32_t duration);
};

// From the target's current text alpha to `to`; nothing without a target.
void startAlphaTween(FadeTween& tween, int32_t to, int32_t duration);
