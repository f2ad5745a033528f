#pragma once

#include "core/FRef.h"
#include "ui/FContainer.h"
#include "ui/FadeTween.h"

#include <cstdint>

class FImageWidget;
class FLabel;
class FString;
class FVideo;
class VideoSprite;

// The panel of the story layout that shows a story step's animation with a
// caption: a first image part, two video sprites and a caption label, faded
// in after the step starts and faded out when it closes. Its parts are bound
// once at level set-up, where they start hidden at alpha 0.
class StoryPanel : public FContainer
{
public:
    static constexpr int32_t k_fadeMs = 300;
    static constexpr int32_t k_showWaitMs = 500;
    static constexpr int32_t k_hideDelayMs = 300;
    static constexpr int32_t k_animationFps = 12;
    static constexpr int32_t k_animationFrameMs = 83;

    StoryPanel(FContainer* parent, bool addToParent);
    ~StoryPanel() override;

    void setParts(const FRefT<FImageWidget>& image, const FRefT<VideoSprite>& first,
                  const FRefT<VideoSprite>& second, const FRefT<FLabel>& caption);
    void setAnimation(const FRefT<FVideo>& video, int32_t x, int32_t y);
    void setCaptionText(const FString& text);
    void show();
    // Halves the scale about the middle once; a panel already scaled stays.
    void centre();
    void hide();
    void update(int32_t elapsedMs);

    bool isShown() const { return m_shown; }
    const FRectI& boundRect() const { return m_boundRect; }
    WidgetFadeTween& imageFade() { return m_imageFade; }
    WidgetFadeTween& firstFade() { return m_firstFade; }
    WidgetFadeTween& secondFade() { return m_secondFade; }
    FadeTween& captionFade() { return m_captionFade; }

private:
    // The second sprite's fade-in end: both sprites start playing.
    void playSprites();

    FRefT<FImageWidget> m_image;
    FRefT<VideoSprite> m_first;
    FRefT<VideoSprite> m_second;
    FRefT<FLabel> m_caption;
    WidgetFadeTween m_imageFade;
    WidgetFadeTween m_firstFade;
    WidgetFadeTween m_secondFade;
    FadeTween m_captionFade;
    FRectI m_boundRect;
    // The wait before the image part's fade in: none until the first hide.
    int32_t m_imageDelay = 0;
    bool m_shown = false;
};
