#pragma once

#include "ui/FTween.h"

#include <cstdint>

// What the label and widget fades share: after an optional delay the alpha
// goes from `from` to `to` over the duration, for one target along an easing
// course or for a list of items linearly; finish puts every item at `to`.
// Values are stored as their low byte.
class FAlphaFadeTween : public FTween
{
public:
    void update(int32_t ms) override;
    void finish() override;

    int32_t from = 0;
    int32_t to = 0;
    int32_t duration = 0;
    int32_t elapsed = 0;
    int32_t easing = 0;
    int32_t delay = 0;

    // The value the single target takes at the current elapsed time. An
    // unknown easing follows the linear course.
    int32_t targetValue() const;

protected:
    // Starts from the given alpha with the linear course.
    void startFrom(int32_t alpha, int32_t toValue, int32_t durationMs);
    virtual bool hasList() const = 0;
    virtual void applyToList(int32_t value) = 0;
    virtual void applyToTarget(int32_t value) = 0;

private:
    int32_t linearValue() const;
};
