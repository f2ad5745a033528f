#pragma once

#include <cstdint>

// The menu buttons that the front-end backdrop fades with its panel and
// animates every frame, in the screen's order.
class BackdropButtons
{
public:
    virtual ~BackdropButtons() = default;

    virtual int32_t count() const = 0;
    // The last alpha given to the button.
    virtual int32_t alphaOf(int32_t index) const = 0;
    virtual void setAlphaOf(int32_t index, int32_t alpha) = 0;
    // Advances the button's clip, when it has one, then its wiggle.
    virtual void update(int32_t index, int32_t elapsedMs) = 0;
};
