#pragma once

#include "core/FRef.h"
#include "game/widgets/BackdropButtons.h"

#include <vector>

// A screen's list of menu button handles seen as the backdrop's buttons. A
// Button has alpha(), setAlpha(a), updateWiggle(ms) and clipSprite(), a
// pointer to its clip (null without one) that has update(ms).
template <class Button> class BackdropButtonList : public BackdropButtons
{
public:
    explicit BackdropButtonList(std::vector<FRefT<Button>>* buttons) : m_buttons(buttons) {}

    int32_t count() const override
    {
        return m_buttons != nullptr ? static_cast<int32_t>(m_buttons->size()) : 0;
    }
    int32_t alphaOf(int32_t index) const override
    {
        Button* button = at(index);
        return button != nullptr ? button->alpha() : 0;
    }
    void setAlphaOf(int32_t index, int32_t alpha) override
    {
        if (Button* button = at(index)) button->setAlpha(alpha);
    }
    void update(int32_t index, int32_t elapsedMs) override
    {
        Button* button = at(index);
        if (button == nullptr) return;
        if (auto* clip = button->clipSprite()) clip->update(elapsedMs);
        button->updateWiggle(elapsedMs);
    }

private:
    Button* at(int32_t index) const { return (*m_buttons)[static_cast<size_t>(index)].get(); }

    std::vector<FRefT<Button>>* m_buttons;
};
