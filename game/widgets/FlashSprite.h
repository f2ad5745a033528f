#pragma once

#include "core/FDelegate.h"
#include "ui/FImageWidget.h"

#include <cstdint>

// An image over the widget it follows (its parent) that flashes once along a
// fixed alpha curve: up to full in 150 ms, down again by 700 ms. With hold
// set the curve stops at full alpha, so the sprite stays as a backdrop of
// its colour behind the parent's other children. Owners call update every
// frame.
class FlashSprite : public FImageWidget
{
public:
    using Callback = FDelegate<void(FlashSprite&)>;

    // The length of one step of the curve.
    static constexpr int32_t k_stepMs = 50;
    // The step at which the flash ends (alpha 0).
    static constexpr int32_t k_lastStep = 14;
    // The step that reaches full alpha, where a held flash stops.
    static constexpr int32_t k_fullStep = 2;

    explicit FlashSprite(FContainer* parent);
    FlashSprite(FContainer* parent, bool addToParent);
    ~FlashSprite() override;

    // Colours the sprite, lays it over the followed widget (size taken, its
    // top-left kept), alpha 0 and hidden, ready for a start.
    void prepare(uint32_t colour);
    // Starts the curve from its beginning, also while a flash runs: shown on
    // top of its siblings.
    void start();
    // prepare's colour and size, then start.
    void start(uint32_t colour);
    void update(int32_t elapsed);

    // Stores a clone of the callback run when a flash ends (null clears it).
    void setOnFinished(const Callback* callback) { Callback::assign(m_onFinished, callback); }
    bool isFlashing() const { return m_flashing; }
    int32_t elapsed() const { return m_elapsed; }
    bool holds() const { return m_hold; }
    void setHold(bool hold) { m_hold = hold; }
    FWidget* followed() const { return m_followed; }

private:
    void coverFollowed(uint32_t colour);
    // The flash ends at `alpha`, behind the parent's other children.
    void end(uint8_t alpha);

    FWidget* m_followed;
    bool m_flashing = false;
    bool m_hold = false;
    int32_t m_elapsed = 0;
    Callback* m_onFinished = nullptr;
};
