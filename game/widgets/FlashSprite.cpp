#include "game/widgets/FlashSprite.h"

#include "game/widgets/WidgetGeometry.h"
#include "ui/FContainer.h"

namespace {

constexpr uint8_t k_curve[FlashSprite::k_lastStep + 1] = {50,  150, 255, 250, 245, 240, 230, 220,
                                                          210, 200, 180, 160, 110, 50,  0};

} // namespace

FlashSprite::FlashSprite(FContainer* parent) : FlashSprite(parent, true) {}

FlashSprite::FlashSprite(FContainer* parent, bool addToParent)
    : FImageWidget(parent, addToParent), m_followed(parent)
{
}

FlashSprite::~FlashSprite()
{
    freeAndNull(m_onFinished);
}

void FlashSprite::coverFollowed(uint32_t colour)
{
    setWidgetColour(colour);
    if (m_followed != nullptr) setWidgetSize(m_followed->width(), m_followed->height());
    setWidgetAlpha(0);
}

void FlashSprite::prepare(uint32_t colour)
{
    coverFollowed(colour);
    setVisible(false);
}

void FlashSprite::start()
{
    m_flashing = true;
    bringToFront();
    setVisible(true);
    m_elapsed = 0;
}

void FlashSprite::start(uint32_t colour)
{
    coverFollowed(colour);
    start();
}

void FlashSprite::end(uint8_t alpha)
{
    setWidgetAlpha(alpha);
    sendToBack(*this);
    m_flashing = false;
    m_elapsed = 0;
    if (m_onFinished != nullptr) m_onFinished->invoke(*this);
}

void FlashSprite::update(int32_t elapsed)
{
    if (!m_flashing) return;
    m_elapsed += elapsed;
    const int32_t step = m_elapsed / k_stepMs;
    if (m_hold && step >= k_fullStep) {
        end(k_curve[k_fullStep]);
        return;
    }
    // A long frame may jump past the last step: the flash still ends there,
    // otherwise it would never finish.
    if (step >= k_lastStep) {
        end(0);
        return;
    }
    setWidgetAlpha(k_curve[step]);
}
