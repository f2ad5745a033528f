#include "game/widgets/AnimatedMenuButton.h"

#include "asset/FScreenRegistry.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FButton.h"
#include "ui/FFont.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "ui/FSkin.h"
#include "video/FVideo.h"

#include <cmath>
#include <string>

namespace {

// Asset ids of each clip kind's return and hover clips in the menu-clip part.
constexpr int32_t k_clipIds[9][2] = {
    {2347, 2348}, {2353, 2354}, {2349, 2350}, {2351, 2352}, {2357, 2358},
    {2355, 2356}, {2359, 2360}, {2361, 2362}, {2363, 2364},
};
constexpr int32_t k_hoverSoundId = 2373;
constexpr int32_t k_wiggleStepTime = 167;
constexpr double k_tiltAngle = -7.5;
constexpr double k_swingAngle = 9.0;
constexpr float k_restAngle = 2.0f;
constexpr int32_t k_clipFrameRate = 20;

void disableHitTest(FWidget* widget)
{
    if (widget != nullptr) widget->setHitTestDisabled(true);
}

} // namespace

AnimatedMenuButton::AnimatedMenuButton(FContainer* parent) : AnimatedMenuButton(parent, true) {}

AnimatedMenuButton::AnimatedMenuButton(FContainer* parent, bool addToParent) : FContainer(parent, addToParent)
{
}

AnimatedMenuButton::~AnimatedMenuButton()
{
    // The clip sprite may outlive the button: it must not call back into it.
    if (VideoSprite* sprite = m_clipSprite.get()) sprite->setFinishCallback(nullptr);
}

void AnimatedMenuButton::setup(const FRefT<FLabel>& caption, const FRefT<VideoSprite>& clipSprite,
                               const FRefT<FContainer>& frame, const FRefT<FButton>& templateButton,
                               const FScreenRegistry* clipTable, const FScreenRegistry* soundPart)
{
    if (caption.get() != m_caption.get()) m_caption = caption;
    if (clipSprite.get() != m_clipSprite.get()) m_clipSprite = clipSprite;
    if (frame.get() != m_frame.get()) m_frame = frame;
    if (templateButton.get() != m_templateButton.get()) m_templateButton = templateButton;
    disableHitTest(m_clipSprite.get());
    disableHitTest(m_caption.get());
    disableHitTest(m_frame.get());
    m_clipTable = clipTable;
    m_soundPart = soundPart;
    selectClips(m_clipKind);
    setAlpha(0);
    if (VideoSprite* sprite = m_clipSprite.get()) {
        sprite->setPlaying(false);
        sprite->setVideo(m_hoverClip, false);
        sprite->setWidgetSize(m_imageWidth, m_imageHeight);
        sprite->setAngle(0.0f);
        sprite->setAnimationFrameRate(k_clipFrameRate);
    }
    fitLabelText();
    FContainer* holder = m_frame.get();
    if (holder == nullptr) return;
    holder->setRotation(0.0f);
    holder->bringToFront();
    m_badgePicture = makeRef(engineNew<FImageWidget>(k_memObject, holder, true));
    m_badgeLabel = makeRef(engineNew<FLabel>(k_memObject, holder, true));
    m_badgePicture->setHitTestDisabled(true);
    m_badgeLabel->setHitTestDisabled(true);
    m_badgeLabel->setVerticalAlignment(4);
    m_badgeLabel->setHorizontalAlignment(3);
    m_badgePicture->setVisible(false);
    m_badgeLabel->setVisible(false);
    setNumberText(0);
}

void AnimatedMenuButton::selectClips(int32_t kind)
{
    if (m_clipTable == nullptr || kind < 0 || kind > 8) return;
    m_returnClip = FRefT<FVideo>(m_clipTable->findInSecond(k_clipIds[kind][0]));
    m_hoverClip = FRefT<FVideo>(m_clipTable->findInSecond(k_clipIds[kind][1]));
}

void AnimatedMenuButton::setClipKind(int32_t kind)
{
    if (m_clipTable == nullptr || kind == m_clipKind) return;
    m_clipKind = kind;
    selectClips(kind);
}

void AnimatedMenuButton::playClip(const FRefT<FVideo>& clip)
{
    VideoSprite* sprite = m_clipSprite.get();
    sprite->setPlaying(false);
    sprite->setVideo(clip, false);
    auto* callback = makeMemberDelegate(this, &AnimatedMenuButton::onClipEnded);
    sprite->setFinishCallback(callback);
    engineFree(callback);
    sprite->play(false);
}

void AnimatedMenuButton::playPressedClip()
{
    VideoSprite* sprite = m_clipSprite.get();
    if (sprite == nullptr || m_hoverClip.get() == nullptr) return;
    sprite->setPlaying(false);
    sprite->setVideo(m_hoverClip, false);
    sprite->setWidgetSize(m_imageWidth, m_imageHeight);
    sprite->play(false);
}

void AnimatedMenuButton::onClipEnded(VideoSprite&)
{
    m_ready = true;
}

void AnimatedMenuButton::onPointerMove(int32_t pointer, const FPointI& point)
{
    FContainer::onPointerMove(pointer, point);
    VideoSprite* sprite = m_clipSprite.get();
    if (sprite == nullptr || !m_ready || m_hovered || sprite->video().get() == nullptr) return;
    bringToFront();
    m_ready = false;
    m_hovered = true;
    playClip(m_hoverClip);
    if (m_soundPart != nullptr) playSound(m_soundPart->findInSecond(k_hoverSoundId));
    m_wiggleElapsed = 0;
    m_wigglePhase = k_tilting;
}

void AnimatedMenuButton::onPointerLeave(int32_t pointer)
{
    FContainer::onPointerLeave(pointer);
    m_hovered = false;
    if (VideoSprite* sprite = m_clipSprite.get(); sprite != nullptr && m_returnClip.get() != nullptr) {
        sprite->setPlaying(false);
        sprite->setVideo(m_returnClip, false);
        sprite->setWidgetSize(m_imageWidth, m_imageHeight);
        sprite->setAngle(parent() != nullptr ? parent()->rotation() : 0.0f);
        requestRedraw();
        playClip(m_returnClip);
        m_wigglePhase = k_returning;
    }
    m_wiggleElapsed = 0;
}

void AnimatedMenuButton::updateWiggle(int32_t elapsed)
{
    if (m_wigglePhase == k_still || m_wigglePhase == k_holding) return;
    FContainer* holder = m_frame.get();
    VideoSprite* sprite = m_clipSprite.get();
    if (holder == nullptr || sprite == nullptr) return;
    m_wiggleElapsed += elapsed;
    const FRectI& clip = sprite->rect();
    holder->setPivot({clip.left + sprite->width() / 2 - holder->rect().left,
                      clip.top + sprite->height() / 2 - holder->rect().top});
    const double t = m_wiggleElapsed;
    switch (m_wigglePhase) {
    case k_tilting:
        holder->setRotation(static_cast<float>(k_tiltAngle * t / k_wiggleStepTime));
        if (m_wiggleElapsed >= k_wiggleStepTime) {
            m_wiggleElapsed = 0;
            m_wigglePhase = k_swinging;
            holder->setRotation(static_cast<float>(k_tiltAngle));
        }
        break;
    case k_swinging:
        holder->setRotation(static_cast<float>(k_swingAngle * t / k_wiggleStepTime + k_tiltAngle));
        if (m_wiggleElapsed >= k_wiggleStepTime) {
            m_wiggleElapsed = 0;
            m_wigglePhase = k_holding;
            holder->setRotation(k_restAngle);
        }
        break;
    case k_returning:
        holder->setRotation(0.0f);
        m_wiggleElapsed = 0;
        m_wigglePhase = k_still;
        break;
    default:
        break;
    }
}

void AnimatedMenuButton::stopWiggle()
{
    m_wigglePhase = k_still;
    if (FContainer* holder = m_frame.get()) holder->setRotation(0.0f);
    m_wiggleElapsed = 0;
    if (VideoSprite* sprite = m_clipSprite.get()) {
        sprite->setVideo(m_hoverClip, false);
        sprite->setWidgetSize(m_imageWidth, m_imageHeight);
    }
}

// The engine's skinned button gives the caption its text, skin and place.
void AnimatedMenuButton::fitLabelText()
{
    FButton* button = m_templateButton.get();
    FLabel* caption = m_caption.get();
    if (button == nullptr || caption == nullptr) return;
    FSkin* skin = button->skin().get();
    if (skin == nullptr) return;
    if (caption->font().get() == nullptr)
        caption->setFont(FRefT<FFont>(skin->state(FSkin::k_normal).font.asset));
    caption->setHorizontalAlignment(2);
    caption->setVerticalAlignment(2);
    caption->setText(button->caption().text());
    caption->setWidgetSize(button->width(), button->height());
    caption->setOrigin(caption->width() / 2, caption->height() / 2);
    const FRectI& place = button->rect();
    caption->setWidgetPosition(
        place.left, place.top + static_cast<int32_t>(std::trunc((place.top - place.bottom) * 0.1)));
}

void AnimatedMenuButton::setAlpha(uint8_t alpha)
{
    m_alpha = alpha;
    if (VideoSprite* sprite = m_clipSprite.get()) sprite->setWidgetAlpha(alpha);
    if (FImageWidget* icon = m_icon.get()) icon->setWidgetAlpha(alpha);
    if (FImageWidget* badge = m_badgePicture.get()) badge->setWidgetAlpha(alpha);
    if (FLabel* caption = m_caption.get()) caption->setAlpha(alpha);
    if (m_badgePicture.get() != nullptr && m_badgeLabel.get() != nullptr) m_badgeLabel->setAlpha(alpha);
}

void AnimatedMenuButton::setVisible(bool visible)
{
    FContainer::setVisible(visible);
    if (VideoSprite* sprite = m_clipSprite.get()) sprite->setVisible(visible);
    if (FImageWidget* icon = m_icon.get()) icon->setVisible(visible);
    if (FLabel* caption = m_caption.get()) caption->setVisible(visible);
}

void AnimatedMenuButton::setIcon(const FRefT<FImageWidget>& icon)
{
    m_icon = icon;
    if (FImageWidget* shown = m_icon.get()) {
        shown->setHitTestDisabled(true);
        shown->setVisible(true);
        shown->setWidgetAlpha(0);
    }
}

void AnimatedMenuButton::placeIcon(int32_t x, int32_t y)
{
    FImageWidget* icon = m_icon.get();
    if (icon == nullptr || m_frame.get() == nullptr) return;
    const FPointI p = m_frame->getAbsolutePosition();
    icon->setWidgetPosition(x - p.x, y - p.y);
}

void AnimatedMenuButton::moveImageTo(int32_t x, int32_t y)
{
    if (VideoSprite* sprite = m_clipSprite.get()) sprite->setWidgetPosition(x, y);
}

void AnimatedMenuButton::offsetLabel(int32_t dx, int32_t dy)
{
    if (FLabel* caption = m_caption.get()) caption->moveWidgetBy(dx, dy);
}

void AnimatedMenuButton::resizeIcon(int32_t width, int32_t height)
{
    if (FImageWidget* icon = m_icon.get()) icon->setWidgetSize(width, height);
}

void AnimatedMenuButton::setImageSize(int32_t width, int32_t height)
{
    m_imageWidth = width;
    m_imageHeight = height;
    if (VideoSprite* sprite = m_clipSprite.get()) sprite->setWidgetSize(width, height);
}

void AnimatedMenuButton::alignLabel()
{
    FLabel* caption = m_caption.get();
    FImageWidget* icon = m_icon.get();
    if (caption == nullptr || icon == nullptr) return;
    caption->setWidgetPosition(icon->rect().right, caption->rect().top);
    caption->setOrigin(0, caption->height() / 2);
    caption->setHorizontalAlignment(1);
}

void AnimatedMenuButton::releaseClips()
{
    m_hoverClip.release();
    m_returnClip.release();
}

void AnimatedMenuButton::setBadgesVisible(bool visible)
{
    if (FImageWidget* badge = m_badgePicture.get()) badge->setVisible(visible);
    if (FLabel* label = m_badgeLabel.get()) label->setVisible(visible);
}

void AnimatedMenuButton::setNumberText(int32_t number)
{
    if (FLabel* label = m_badgeLabel.get()) label->setText(FString(std::to_string(number).c_str()));
}

void AnimatedMenuButton::setBadgeFont(const FRefT<FFont>& font)
{
    if (FLabel* label = m_badgeLabel.get()) label->setFont(font);
}

void AnimatedMenuButton::setBadgeImage(const FRefT<FImage>& image)
{
    if (FImageWidget* badge = m_badgePicture.get()) badge->setImage(image, true);
}

void AnimatedMenuButton::layoutBadges(const FWidget& reference)
{
    FImageWidget* picture = m_badgePicture.get();
    FLabel* label = m_badgeLabel.get();
    if (picture == nullptr || label == nullptr) return;
    picture->setWidgetPosition(reference.rect().left, reference.rect().top);
    picture->setWidgetSize(reference.width(), reference.height());
    const FPointI text = label->measureText();
    label->setWidgetSize(text.x, text.y);
    const FRectI& place = picture->rect();
    label->setWidgetPosition(place.left + picture->width() / 2 - text.x,
                             place.top + picture->height() / 4 - label->height() / 4);
}
