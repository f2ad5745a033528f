#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"
#include "ui/FContainer.h"
#include "ui/FScaleTween.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>

class FImageWidget;
class FadeSwapHost;

// Presents two pictures one after the other: each fades in while it grows
// from half size, holds, then fades out while it grows further, with a sound
// at each picture and notifications to the owning gameplay screen (a
// FadeSwapHost). The owner calls updateTweens every frame.
class FadeSwapWidget : public FContainer
{
public:
    using Callback = FDelegate<void(FadeSwapWidget&)>;

    static constexpr int32_t k_fadeMs = 300;
    static constexpr int32_t k_holdMs = 750;
    static constexpr int32_t k_soundVolume = 63;

    explicit FadeSwapWidget(FContainer* parent);
    FadeSwapWidget(FContainer* parent, bool addToParent);
    ~FadeSwapWidget() override;

    // `second` is shown first, then `first`; each container's first child
    // must be an image widget. Both images become transparent and each
    // container zooms about its image's centre.
    void setSprites(const FRefT<FContainer>& second, const FRefT<FContainer>& first);
    // Runs the whole sequence from its first step, also while one runs.
    void start();
    // Fade, zoom, then the hold timer.
    void updateTweens(int32_t elapsed);

    // Screen points on the picture now shown: the middles of its left and
    // right edges.
    FPointI getLeftAnchor();
    FPointI getRightAnchor();

    void setOnFinished(const Callback* callback) { Callback::assign(m_onFinished, callback); }
    bool isRunning() const { return m_running; }
    bool isShowingFirst() const { return m_showingFirst; }
    // The step of the sequence that began last (1-7), 0 before the first start.
    int32_t step() const { return m_step; }
    FImageWidget* imageA() const { return m_imageA; }
    FImageWidget* imageB() const { return m_imageB; }

private:
    FadeSwapHost* host();
    void fadeIn(FImageWidget* image, FContainer* sprite);
    void fadeOut(FImageWidget* image, FContainer* sprite);
    void playSwapSound(int32_t picture);
    // The completions of the fade and the hold timer: each begins the step
    // that follows the current one.
    void onFadeEnded();
    void onHoldEnded();
    FPointI anchor(bool right);

    FContainer* m_owner;
    bool m_running = false;
    bool m_showingFirst = true;
    int32_t m_step = 0;
    FImageWidget* m_imageA = nullptr;
    FImageWidget* m_imageB = nullptr;
    FRefT<FContainer> m_spriteA;
    FRefT<FContainer> m_spriteB;
    WidgetFadeTween m_fade;
    FScaleTween m_zoom;
    FTimerTween m_holdTimer;
    Callback* m_onFinished = nullptr;
};
