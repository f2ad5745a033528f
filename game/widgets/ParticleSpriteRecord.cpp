#include "game/widgets/ParticleSpriteRecord.h"

#include "game/widgets/ParticleRecord.h"
#include "ui/FImageWidget.h"

int32_t ParticleSpriteRecord::alpha() const
{
    // A lifetime of 0 (a zero minimum and a zero draw) would divide by zero;
    // such a record is already at its end. The product is formed in 64 bits
    // so that lifetimes past a minute still fade evenly.
    if (lifetime == 0) return 0;
    const uint64_t fraction = (uint64_t(age) * 65536u / lifetime) / 256u;
    return fraction >= 255 ? 0 : 255 - static_cast<int32_t>(fraction);
}

void ParticleSpriteRecord::apply(bool visible)
{
    FImageWidget* widget = sprite.get();
    if (widget == nullptr) return;
    if (!live || owner == nullptr) {
        widget->setVisible(false);
        return;
    }
    const int32_t a = alpha();
    widget->setWidgetAlpha(static_cast<uint8_t>(a));
    const int32_t edge = owner->sizeBase + ((owner->sizeGrowth * a) >> 8);
    widget->setAngle(owner->spin * static_cast<float>(spinPhase + a));
    widget->setWidgetRect({x >> 16, y >> 16, (x >> 16) + edge, (y >> 16) + edge});
    if (widget->isVisible() != visible) widget->setVisible(visible);
    widget->setBlendMode(blendMode);
}
