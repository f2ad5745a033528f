#pragma once

#include "ScreenLayout21.h"
#include "core/FDelegate.h"
#include "core/FRef.h"
#include "game/widgets/ClickSoundHost.h"
#include "ui/FMoveTween.h"
#include "ui/FadeTween.h"

#include <cstdint>

class ParticleEmitter;
class ParticleGroup;
class ParticlePool;
class StepSlider;
class ZibboUserInterface;

// The screen base that carries the options overlay: two pieces slide apart
// from the middle of the screen, a cover fades from the panel, and the panel
// offers the music, effects and voice sliders with OK and Cancel (and, in the
// main menu, reset, display mode and legal). Every slider change reaches the
// game module at once; OK stores the values in the current profile, Cancel
// puts back those of the opening. The main menu and the pause host derive
// from it. UI thread only.
class OptionsHostScreen : public ScreenLayout21, public ClickSoundHost
{
public:
    using PanelDelegate = FDelegate<void()>;

    static constexpr int32_t k_slideMs = 700;
    static constexpr int32_t k_coverFadeMs = 50;
    static constexpr int32_t k_volumeSteps = 16;
    static constexpr int32_t k_effectSteps = 10;
    static constexpr int32_t k_unitsPerStep = 4;
    static constexpr int32_t k_soundLevel = 63;
    static constexpr int32_t k_resetMusic = 24;
    static constexpr int32_t k_resetEffects = 6;
    static constexpr int32_t k_resetVoice = 44;
    static constexpr int32_t k_emitterRunMs = 10000;
    static constexpr int32_t k_particleCount = 32;

    OptionsHostScreen();
    ~OptionsHostScreen() override;

    void setVisible(bool visible) override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void onAppActivated() override { m_appActive = true; }
    void onAppDeactivated() override { m_appActive = false; }
    void update(int32_t ms) override;
    void onActivate() override;

    // The button handlers; a derived screen may override each.
    virtual void onOptionsAccepted();
    virtual void onResetVolumes();
    virtual void goToLegalScreen();
    virtual void onOptionsCancelled();
    virtual void onToggleDisplayMode();

    // Opens the overlay.
    void openMenuPanel();
    // A clone of `delegate` runs when the overlay has slid closed; null
    // clears it.
    void setPanelDelegate(const PanelDelegate* delegate);
    // The tick of a slider that moved a step.
    void playClickSound() override;

    // Whether a screen point lies on a slider's track.
    bool hitMusicSlider(const FPointI& point) const;
    bool hitEffectsSlider(const FPointI& point) const;
    bool hitVoiceSlider(const FPointI& point) const;

    StepSlider* musicSlider() const;
    StepSlider* effectsSlider() const;
    StepSlider* voiceSlider() const;
    bool isPanelFadingIn() const { return m_panelFadeIn; }
    bool isPanelFadingOut() const { return m_panelFadeOut; }
    bool isBlocked() const { return m_blocked; }
    FPointI topRest() const { return m_topRest; }
    FPointI bottomRest() const { return m_bottomRest; }
    ParticleEmitter* topEmitter() const { return m_topEmitter.get(); }
    ParticleEmitter* bottomEmitter() const { return m_bottomEmitter.get(); }

    // Read by the derived screens.
    bool m_openingSlide = false;
    bool m_closingSlide = false;
    bool m_panelOpen = false;
    bool m_appActive = true;

protected:
    void onLegalClicked(FLayoutButton&) override { goToLegalScreen(); }
    void onDisplayModeClicked(FLayoutButton&) override { onToggleDisplayMode(); }
    void onOkClicked(FLayoutButton&) override { onOptionsAccepted(); }
    void onCancelOptionsClicked(FLayoutButton&) override { onOptionsCancelled(); }
    void onResetClicked(FLayoutButton&) override { onResetVolumes(); }

    // Plays one of this screen's sounds at the gameplay level.
    static void playScreenSound(const FRef& sound);
    // The game module, or null when none runs.
    static ZibboUserInterface* gameModule();
    // The screen's height from the graphics service, else its own.
    int32_t screenHeight() const;

    // Where a piece's particles live.
    struct PieceEmitterLayer
    {
        ParticlePool* pool;
        ParticleGroup* group;
    };
    // Replaces the emitter in `holder` (the old one is destroyed) with one that
    // runs 10 s over `piece` (centred on it, spread over its size) with the
    // emitter picture of the options overlay, and restarts it; `done` (owned,
    // freed here) runs when its run ends. Nothing happens without a piece or
    // a pool. The options and pause overlays' four emitters differ only in
    // their layer, acceleration and blend.
    void restartPieceEmitter(FRefT<ParticleEmitter>& holder, const FWidget* piece,
                             const PieceEmitterLayer& layer, int32_t accelerationY, bool additiveBlend,
                             FDelegate<void()>* done);

private:
    void startOpeningSlide();
    void startClosingSlide();
    void onSlideFinished();
    void onCoverFadeFinished();
    void showOptionsPanel();
    void hideOptionsPanel();
    void placeStretchStrip();
    void restartTopEmitter();
    void restartBottomEmitter();
    void onTopEmitterFinished() { m_restartTopEmitter = true; }
    void onBottomEmitterFinished() { m_restartBottomEmitter = true; }
    // Moves the sliders to the game module's current volumes.
    void syncSliders();
    void setDisplayModeCaption(bool windowed);
    // A slider's point in its own space, from a screen point.
    FPointI sliderPoint(const StepSlider& slider, const FPointI& point) const;
    bool hitSlider(const StepSlider* slider, const FPointI& point) const;
    void hideButton(const FRefT<FButton>& button);

    bool m_slideHalfDone = false;
    bool m_panelFadeIn = false;
    bool m_panelFadeOut = false;
    bool m_restartTopEmitter = false;
    bool m_restartBottomEmitter = false;
    bool m_sliderGrabbed = false;
    bool m_voiceChanged = false;
    FPointI m_topRest{0, 0};
    FPointI m_bottomRest{0, 0};
    FMoveTween m_topTween;
    FMoveTween m_bottomTween;
    WidgetFadeTween m_coverFade;
    FRefT<ParticleGroup> m_particleGroup;
    FRefT<ParticlePool> m_particlePool;
    FRefT<ParticleEmitter> m_topEmitter;
    FRefT<ParticleEmitter> m_bottomEmitter;
    PanelDelegate* m_panelClosed = nullptr;
    int32_t m_cancelMusic = 0;
    int32_t m_cancelEffects = 0;
    int32_t m_cancelVoice = 0;
    int32_t m_voiceStepAtPress = 0;
    bool m_blocked = false;
};
