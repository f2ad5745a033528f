#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"
#include "ui/FContainer.h"
#include "ui/FMoveTween.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <deque>

class BackdropButtons;
class BackdropServices;
class FImage;
class FImageWidget;
class ParticleEmitter;
class ParticleGroup;
class ParticlePool;
struct ParticleViewAssets;

// The animated backdrop of the front-end menus: a panning, cross-fading
// slideshow of four pictures, a panel that opens and closes between two caps,
// sparkle waves, sweeps and a burst, and the fade of the screen's menu
// buttons. A menu leaves by writing the next screen kind and setting
// closing; once the panel has closed the view requests that screen itself.
class ParticleEmitterView : public FContainer
{
public:
    using AnimatingCallback = FDelegate<void(bool)>;
    using ClosedCallback = FDelegate<void()>;
    // The seed of the sweeps' random numbers: the time in seconds.
    using SeedSource = uint32_t (*)();

    static constexpr int32_t k_mainMenu = 11;
    static constexpr int32_t k_stepMs = 50;

    // A child of the screen covering the display; services may be null
    // (nothing is requested, paused never holds and no sound plays).
    ParticleEmitterView(FContainer* parent, BackdropServices* services);
    ~ParticleEmitterView() override;

    // Sets the view up over the host screen with the screen's panel and its
    // two caps; resources and menuButtons stay the screen's and must outlive
    // the view's use of them (menuButtons may be null).
    void setup(FContainer* host, FRefT<FWidget> panel, FRefT<FWidget> topCap, FRefT<FWidget> bottomCap,
               const ParticleViewAssets* resources, BackdropButtons* menuButtons);
    // Called by the owning screen every frame; nothing before setup or while
    // the game is paused.
    virtual void update(int32_t elapsedMs);
    // Centres the panel vertically on the centre line, its left and size
    // kept.
    void centerFirstImage();

    void setOnAnimating(const AnimatingCallback* callback)
    {
        AnimatingCallback::assign(m_onAnimating, callback);
    }
    void setOnClosed(const ClosedCallback* callback) { ClosedCallback::assign(m_onClosed, callback); }
    void setSeedSource(SeedSource source) { m_seedSource = source; }

    // Written by screens: the kind requested when closing ends, closing
    // (the screens' "leave" flag), opening (their "re-open" flag) and
    // closeToCallback (their "use exit delegate" flag: end in onClosed).
    int32_t nextScreen = k_mainMenu;
    bool opening = false;
    bool closing = false;
    bool closeToCallback = false;

    bool isSetUp() const { return m_setUp; }
    bool isAnimating() const { return m_animating; }
    bool isClosed() const { return m_closed; }
    bool isSweepRunning() const { return m_sweepRunning; }
    bool isBurstDone() const { return m_burstDone; }
    int32_t panelHeight() const { return m_panelHeight; }
    int32_t centreLine() const { return m_centreLine; }
    FImageWidget* frontPicture() const { return m_pictureA.get(); }
    FImageWidget* backPicture() const { return m_pictureB.get(); }
    FImageWidget* backdrop() const { return m_backdrop.get(); }
    ParticleGroup* waveGroup() const { return m_waveGroup.get(); }
    ParticleGroup* edgeGroup() const { return m_edgeGroup.get(); }
    ParticlePool* edgePool() const { return m_edgePool.get(); }
    ParticleEmitter* sweepEmitter(int32_t index) const { return m_sweepEmitters[index & 1].get(); }
    ParticleEmitter* burstEmitter(int32_t index) const { return m_burstEmitters[index & 1].get(); }
    ParticleEmitter* waveEmitter(int32_t index) const { return m_waveEmitters[index & 1].get(); }

    void onSlideTimer();
    void onFadeFinished();
    void onSweepFinished();

private:
    void openingStep(int32_t elapsedMs);
    void closingStep(int32_t elapsedMs);
    void idleStep(int32_t elapsedMs);
    // Every button takes the first button's alpha plus delta, within 0-255.
    void fadeButtons(int32_t delta);
    // The panel's new height and top; the caps follow it.
    void placePanel(int32_t height, int32_t top);
    void placeCaps();
    void launchWaves();
    void launchSweep();
    void launchBurst();
    const FRefT<FImage>& nextPicture();
    void startPans();
    void notifyAnimating(bool animating);
    FRefT<ParticleEmitter> makeEmitter(int32_t duration, ParticlePool* pool, ParticleGroup* group,
                                       const FRefT<FImage>& image, FPointI start, int32_t type);
    static uint32_t timeInSeconds();

    BackdropServices* m_services;
    FContainer* m_host = nullptr;
    bool m_setUp = false;
    bool m_animating = false;
    bool m_closed = false;
    bool m_openSoundPlayed = false;
    int32_t m_panelHeight = 0;
    int32_t m_centreLine = 0;
    int32_t m_hostHeight = 0;
    int32_t m_stepAccumulator = 0;
    int32_t m_idleAccumulator = 0;
    BackdropButtons* m_menuButtons = nullptr;
    FRefT<FWidget> m_panel;
    FRefT<FWidget> m_topCap;
    FRefT<FWidget> m_bottomCap;
    FRefT<FImageWidget> m_backdrop;
    FRefT<ParticleGroup> m_waveGroup;
    FRefT<ParticlePool> m_wavePool;
    bool m_burstDone = false;
    bool m_sweepRunning = false;
    FRefT<ParticleGroup> m_edgeGroup;
    FRefT<ParticlePool> m_edgePool;
    FRefT<ParticleEmitter> m_waveEmitters[2];
    FRefT<ParticleEmitter> m_burstEmitters[2];
    FRefT<ParticleEmitter> m_sweepEmitters[2];
    FRefT<FImageWidget> m_pictureA;
    FRefT<FImageWidget> m_pictureB;
    std::deque<FRefT<FImage>> m_pictures;
    int32_t m_pictureIndex = 0;
    FMoveTween m_panTweens[2];
    WidgetFadeTween m_fadeTweens[2];
    FTimerTween m_slideTimer;
    const ParticleViewAssets* m_resources = nullptr;
    AnimatingCallback* m_onAnimating = nullptr;
    ClosedCallback* m_onClosed = nullptr;
    SeedSource m_seedSource = &ParticleEmitterView::timeInSeconds;
};
