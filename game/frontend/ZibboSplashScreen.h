#pragma once

#include "ScreenLayout31.h"
#include "ui/FMoveTween.h"
#include "ui/FadeTween.h"

#include <cstdint>

class VideoSprite;

// The last start-up screen (kind 16): the title animations over a panning
// scene and the front-end music, while it prepares the save storage, loads
// the settings, the profiles and the game structure and builds the main menu
// in the background. Once the menu is built and no prompt is open a label
// blinks and a press or key goes on to the main menu. Agreeing to go on
// without saving runs the load step again, but only once the menu build has
// ended, so the load step never overlaps it.
class ZibboSplashScreen : public ScreenLayout31
{
public:
    static constexpr int32_t k_panMs = 25000;
    static constexpr int32_t k_blinkMs = 750;
    static constexpr uint32_t k_labelColour = 0xFFC48C17u;

    ZibboSplashScreen();
    ~ZibboSplashScreen() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onKeyDown(uint32_t key) override;
    void update(int32_t elapsed) override;
    void onActivate() override;
    void onConfirmMessage(int32_t kind) override;

    bool isReady() const { return m_ready; }
    int32_t countdown() const { return m_countdown; }
    int32_t loadStepRuns() const { return m_loadStepRuns; }

    int32_t m_countdown = 0;
    bool m_pendingCheck = false;
    bool m_fadeDirection = false;
    bool m_ready = false;
    FMoveTween m_panTweens[2];
    FadeTween m_blinkFade;

private:
    void storageCheck();
    void loadStep();
    void startPan();
    void onPanFinished();
    void onBlinkFinished();
    void onTitleVideoFinished(VideoSprite&);
    bool promptShown() const;
    void leave();

    VideoSprite* m_title = nullptr;
    VideoSprite* m_second = nullptr;
    // Set by a confirm that came while the menu was still being built.
    bool m_rerunAfterBuild = false;
    int32_t m_loadStepRuns = 0;
};
