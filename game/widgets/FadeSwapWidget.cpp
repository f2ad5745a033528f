#include "game/widgets/FadeSwapWidget.h"

#include "game/widgets/FadeSwapHost.h"
#include "ui/FImageWidget.h"
#include "ui/FScreen.h"

namespace {

constexpr float k_smallScale = 0.5f;
constexpr float k_fullScale = 1.0f;
constexpr float k_largeScale = 1.5f;

FImageWidget* firstImage(FContainer& sprite)
{
    return sprite.children().empty() ? nullptr : dynamic_cast<FImageWidget*>(sprite.children().front());
}

// Zooms about the image's centre, in the container's child space.
void pivotOnImage(FContainer& sprite, FImageWidget* image)
{
    if (image == nullptr) return;
    const FRectI& r = image->rect();
    sprite.setPivot({r.left + image->width() / 2, r.top + image->height() / 2});
    image->setWidgetAlpha(0);
}

} // namespace

FadeSwapWidget::FadeSwapWidget(FContainer* parent) : FadeSwapWidget(parent, true) {}

FadeSwapWidget::FadeSwapWidget(FContainer* parent, bool addToParent)
    : FContainer(parent, addToParent), m_owner(parent)
{
    auto* fadeEnded = makeMemberDelegate(this, &FadeSwapWidget::onFadeEnded);
    m_fade.setCompletion(fadeEnded);
    engineFree(fadeEnded);
    auto* holdEnded = makeMemberDelegate(this, &FadeSwapWidget::onHoldEnded);
    m_holdTimer.setCompletion(holdEnded);
    engineFree(holdEnded);
}

FadeSwapWidget::~FadeSwapWidget()
{
    freeAndNull(m_onFinished);
}

FadeSwapHost* FadeSwapWidget::host()
{
    if (auto* owner = dynamic_cast<FadeSwapHost*>(m_owner)) return owner;
    return dynamic_cast<FadeSwapHost*>(getScreen());
}

void FadeSwapWidget::setSprites(const FRefT<FContainer>& second, const FRefT<FContainer>& first)
{
    if (second.get() == nullptr || first.get() == nullptr) return;
    m_spriteA = second;
    m_spriteB = first;
    m_imageA = firstImage(*second);
    m_imageB = firstImage(*first);
    pivotOnImage(*second, m_imageA);
    pivotOnImage(*first, m_imageB);
}

void FadeSwapWidget::fadeIn(FImageWidget* image, FContainer* sprite)
{
    m_fade.target = image;
    startAlphaFade(m_fade, 255, k_fadeMs);
    m_zoom.setContainer(sprite);
    m_zoom.start(k_smallScale, k_fullScale, k_fadeMs);
}

void FadeSwapWidget::fadeOut(FImageWidget* image, FContainer* sprite)
{
    m_fade.target = image;
    startAlphaFade(m_fade, 0, k_fadeMs);
    m_zoom.setContainer(sprite);
    m_zoom.start(k_fullScale, k_largeScale, k_fadeMs);
}

void FadeSwapWidget::start()
{
    if (m_spriteA.get() == nullptr || m_spriteB.get() == nullptr) return;
    // Begun again while running, a hold that was counting ends without effect.
    m_step = 1;
    m_running = true;
    m_showingFirst = true;
    setVisible(true);
    m_spriteA->setUniformScale(k_smallScale);
    m_spriteB->setUniformScale(k_smallScale);
    if (m_imageA != nullptr) m_imageA->setWidgetAlpha(0);
    if (m_imageB != nullptr) m_imageB->setWidgetAlpha(0);
    fadeIn(m_imageA, m_spriteA.get());
}

void FadeSwapWidget::updateTweens(int32_t elapsed)
{
    m_fade.update(elapsed);
    m_zoom.update(elapsed);
    m_holdTimer.update(elapsed);
}

void FadeSwapWidget::playSwapSound(int32_t picture)
{
    if (FadeSwapHost* owner = host()) owner->playSound(owner->swapSound(picture), k_soundVolume);
}

void FadeSwapWidget::onFadeEnded()
{
    switch (m_step) {
    case 1:
        m_step = 2;
        playSwapSound(0);
        m_holdTimer.start(k_holdMs);
        break;
    case 3:
        m_step = 4;
        m_showingFirst = false;
        fadeIn(m_imageB, m_spriteB.get());
        if (FadeSwapHost* owner = host()) owner->onFadeSwapHalfway();
        break;
    case 4:
        m_step = 5;
        playSwapSound(1);
        m_holdTimer.start(k_holdMs);
        break;
    case 6:
        m_step = 7;
        m_running = false;
        setVisible(false);
        if (FadeSwapHost* owner = host()) owner->onFadeSwapFinished();
        if (m_onFinished != nullptr) m_onFinished->invoke(*this);
        break;
    default:
        break;
    }
}

void FadeSwapWidget::onHoldEnded()
{
    if (m_step == 2) {
        m_step = 3;
        fadeOut(m_imageA, m_spriteA.get());
    } else if (m_step == 5) {
        m_step = 6;
        fadeOut(m_imageB, m_spriteB.get());
    }
}

FPointI FadeSwapWidget::anchor(bool right)
{
    FImageWidget* image = m_showingFirst ? m_imageA : m_imageB;
    if (image == nullptr) return {};
    const FPointI at = image->getAbsolutePosition();
    return {right ? at.x + image->width() : at.x, at.y + image->height() / 2};
}

FPointI FadeSwapWidget::getLeftAnchor()
{
    return anchor(false);
}

FPointI FadeSwapWidget::getRightAnchor()
{
    return anchor(true);
}
