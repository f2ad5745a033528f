#include "game/gameplay/StoryPanel.h"

#include "core/FMemory.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

StoryPanel::StoryPanel(FContainer* parent, bool addToParent) : FContainer(parent, addToParent) {}

StoryPanel::~StoryPanel()
{
    // The fades point at the parts: they go before the parts are released.
    for (FTween* tween : {static_cast<FTween*>(&m_imageFade), static_cast<FTween*>(&m_firstFade),
                          static_cast<FTween*>(&m_secondFade), static_cast<FTween*>(&m_captionFade)}) {
        tween->setActive(false);
        tween->setCompletion(nullptr);
    }
}

void StoryPanel::setParts(const FRefT<FImageWidget>& image, const FRefT<VideoSprite>& first,
                          const FRefT<VideoSprite>& second, const FRefT<FLabel>& caption)
{
    m_image = image;
    m_first = first;
    m_second = second;
    m_caption = caption;
    // The first image part stays hidden; only its alpha takes part in the fades.
    if (FImageWidget* part = m_image.get()) {
        part->setVisible(false);
        part->setWidgetAlpha(0);
    }
    for (VideoSprite* sprite : {m_first.get(), m_second.get()}) {
        if (sprite == nullptr) continue;
        sprite->setWidgetAlpha(0);
        sprite->setLoops(-1);
    }
    if (FLabel* label = m_caption.get()) setFadedAlpha(*label, 0);
    m_imageFade.target = m_image.get();
    m_firstFade.target = m_first.get();
    m_secondFade.target = m_second.get();
    m_captionFade.target = m_caption.get();
    m_boundRect = rect();
}

void StoryPanel::setAnimation(const FRefT<FVideo>& video, int32_t x, int32_t y)
{
    VideoSprite* sprite = m_second.get();
    if (sprite == nullptr) return;
    sprite->setVideo(video, false);
    sprite->setLoops(-1);
    FRectI area = sprite->rect();
    area.left = x;
    area.top = y;
    sprite->setWidgetRect(area);
    sprite->onResized();
    sprite->onMoved();
    sprite->setFrameRate(k_animationFps);
    sprite->setFrameTime(k_animationFrameMs);
}

void StoryPanel::setCaptionText(const FString& text)
{
    if (FLabel* label = m_caption.get()) label->setText(text);
}

void StoryPanel::show()
{
    m_shown = true;
    setWidgetSize(m_boundRect.right - m_boundRect.left, m_boundRect.bottom - m_boundRect.top);
    setUniformScale(1.0f);
    setWidgetPosition(m_boundRect.left, m_boundRect.top);
    setVisible(true);
    if (m_first.get() != nullptr && m_first->video().get() != nullptr) {
        m_firstFade.delay = k_showWaitMs;
        m_firstFade.start(255, k_fadeMs);
    }
    // The image part's fade keeps the delay a hide gave it.
    m_imageFade.delay = m_imageDelay;
    m_imageFade.start(255, k_fadeMs);
    auto* play = makeMemberDelegate(this, &StoryPanel::playSprites);
    m_secondFade.setCompletion(play);
    engineFree(play);
    m_secondFade.delay = k_showWaitMs;
    m_secondFade.start(255, k_fadeMs);
    m_captionFade.delay = k_showWaitMs;
    m_captionFade.start(255, k_fadeMs);
}

void StoryPanel::playSprites()
{
    if (m_first.get() != nullptr && m_first->video().get() != nullptr) m_first->play(false);
    if (m_second.get() != nullptr) m_second->play(false);
}

void StoryPanel::centre()
{
    if (scale().x != 1.0f || scale().y != 1.0f) return;
    setPivot({width() / 2, height() / 2});
    setUniformScale(0.5f);
    setWidgetSize(width() * 2, height() * 2);
    onResized();
    const FImageWidget* image = m_image.get();
    const int32_t imageLeft = image != nullptr ? image->rect().left : 0;
    const int32_t imageWidth = image != nullptr ? image->width() : 0;
    setWidgetPosition(-(imageLeft + imageWidth / 8), imageWidth / 4);
}

void StoryPanel::hide()
{
    for (VideoSprite* sprite : {m_first.get(), m_second.get()})
        if (sprite != nullptr) sprite->setPlaying(false);
    m_imageDelay = k_hideDelayMs;
    m_imageFade.delay = m_imageDelay;
    m_imageFade.start(0, k_fadeMs);
    m_secondFade.setCompletion(nullptr);
    for (WidgetFadeTween* fade : {&m_firstFade, &m_secondFade}) {
        fade->delay = 0;
        fade->start(0, k_fadeMs);
    }
    m_captionFade.delay = 0;
    m_captionFade.start(0, k_fadeMs);
    setVisible(false);
    m_shown = false;
}

void StoryPanel::update(int32_t elapsedMs)
{
    for (VideoSprite* sprite : {m_first.get(), m_second.get()})
        if (sprite != nullptr) sprite->update(elapsedMs);
    m_imageFade.update(elapsedMs);
    m_firstFade.update(elapsedMs);
    m_secondFade.update(elapsedMs);
    m_captionFade.update(elapsedMs);
}
