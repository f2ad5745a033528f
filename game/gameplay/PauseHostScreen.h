#pragma once

#include "ScreenLayout24.h"
#include "core/FRef.h"
#include "ui/FMoveTween.h"
#include "ui/FadeTween.h"

#include <cstdint>

class FImageWidget;
class GameSession;
class ParticleEmitter;
class ParticleGroup;
class ParticlePool;

// The screen base that adds the pause overlay to the options host: a pause
// container whose rollers slide apart around a panel of four buttons. While
// it shows, music, ambient and voice are paused, effects stopped and the
// combo time stands still. Its options button closes it into the options
// overlay; its quit buttons ask first and leave through the loading screen.
// A gameplay screen opens it by showing the pause container. UI thread only.
class PauseHostScreen : public ScreenLayout24
{
public:
    static constexpr int32_t k_quitToMenuConfirmation = 19;
    static constexpr int32_t k_quitToMapConfirmation = 20;
    static constexpr int32_t k_coverFadeMs = 100;
    static constexpr uint8_t k_dimAlpha = 200;
    static constexpr uint32_t k_labelColour = 0xFFC08000u; // (192, 128, 0, 255)

    PauseHostScreen();
    ~PauseHostScreen() override;

    void onActivate() override;
    void update(int32_t ms) override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void onConfirmMessage(int32_t kind) override;

    virtual void onResumeClicked();
    virtual void onQuitToWorldMapClicked();
    virtual void onOptionsClicked();
    virtual void onQuitToMenuClicked();
    virtual void setPauseOverlayShown(bool shown);
    // Runs when the resume button is taken.
    virtual void onResume() {}

    // What the common gameplay screen supplies: its own backdrop behind the
    // options overlay, and the pause request the options overlay's closing
    // calls.
    virtual void showPauseBackdrop() {}
    virtual void requestPause() {}

    void openPauseOverlay();

    FImageWidget* dimImage() const { return m_dimWidget.get(); }
    ParticleEmitter* pauseTopEmitter() const { return m_topEmitter.get(); }
    ParticleEmitter* pauseBottomEmitter() const { return m_bottomEmitter.get(); }
    bool isPauseOpeningSlide() const { return m_rollerOpening; }
    bool isPauseClosingSlide() const { return m_rollerClosing; }

    // Read by the gameplay screens.
    bool m_pauseOpen = false;
    bool m_pauseClosed = true;
    bool m_optionsRequested = false;
    bool m_optionsFromPause = false;

protected:
    void onResumeButton(FLayoutButton&) override { onResumeClicked(); }
    void onOptionsButton(FLayoutButton&) override { onOptionsClicked(); }
    void onQuitMenuButton(FLayoutButton&) override { onQuitToMenuClicked(); }
    void onQuitMapButton(FLayoutButton&) override { onQuitToWorldMapClicked(); }

    // The game module's play session (null when none).
    static GameSession* session();

private:
    void onSlideFinished();
    void onCoverFadeFinished();
    void startClosingSlide();
    void stopEmitters();
    void fadeCoverIn();
    void restartBottomEmitter();
    void restartTopEmitter();
    void onBottomEmitterFinished() { m_restartBottom = true; }
    void onTopEmitterFinished() { m_restartTop = true; }
    // Leaves the level for `pending` through the loading screen.
    void leaveLevel(int32_t pending);
    void setComboRunning(bool running);

    int32_t m_bottomRestTop = 0;
    int32_t m_topRestTop = 0;
    FRefT<ParticleGroup> m_particleGroup;
    FRefT<ParticlePool> m_particlePool;
    FRefT<ParticleEmitter> m_bottomEmitter;
    FRefT<ParticleEmitter> m_topEmitter;
    bool m_containerSeenVisible = false;
    bool m_rollerOpening = false;
    bool m_rollerClosing = false;
    bool m_restartBottom = false;
    bool m_restartTop = false;
    FRefT<FImageWidget> m_dimWidget;
    WidgetFadeTween m_coverFade;
    FMoveTween m_bottomTween;
    FMoveTween m_topTween;
};
