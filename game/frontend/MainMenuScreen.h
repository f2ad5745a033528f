#pragma once

#include "ScreenLayout18.h"
#include "game/widgets/AnimatedMenuButton.h"
#include "game/widgets/BackdropButtonList.h"
#include "game/widgets/ParticleViewAssets.h"

#include <cstdint>
#include <vector>

class ParticleEmitterView;

// The hub of the front end (kind 11): play, options and quit over the shared
// backdrop, with the front-end music. Play leaves through the backdrop's exit
// animation for the profile screen; options lets the backdrop close and
// opens the options overlay on this screen, which brings the menu back when
// it closes; quit asks first. A fourth button is never set up. UI thread
// only; the loader may construct it on its worker, so the constructor only
// reads the layout.
class MainMenuScreen : public ScreenLayout18
{
public:
    static constexpr int32_t k_quitConfirmation = 21;
    static constexpr int32_t k_playDrop = 50;
    static constexpr int32_t k_optionsRise = 30;
    static constexpr int32_t k_quitRise = 20;
    static constexpr int32_t k_playClipState = 7;
    static constexpr int32_t k_otherClipState = 4;

    MainMenuScreen();
    ~MainMenuScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;
    void onConfirmMessage(int32_t kind) override;

    bool isChoiceMade() const { return m_choiceMade; }
    bool isActivated() const { return m_activated; }
    const std::vector<FRefT<AnimatedMenuButton>>& menuButtons() const { return m_menuButtons; }
    AnimatedMenuButton* playMenuButton() const { return m_play; }
    AnimatedMenuButton* optionsMenuButton() const { return m_options; }
    AnimatedMenuButton* quitMenuButton() const { return m_quit; }

    // The backdrop's exit delegate on the way to the options overlay.
    void openOptionsPanel();
    // The options overlay's panel-closed delegate.
    void onOptionsPanelClosed();
    // The backdrop's busy delegate: the calm lines hide while it animates.
    void onBackdropBusy(bool busy);

    void onProfileButtonClicked(FLayoutButton&) override;
    void onOptionsButtonClicked(FLayoutButton&) override;
    void onQuitButtonClicked(FLayoutButton&) override;

private:
    void setClipStates();
    void setCalmVisible(bool visible);
    void setBackdropImagesVisible(bool visible);

    AnimatedMenuButton* m_play = nullptr;
    AnimatedMenuButton* m_spare = nullptr;
    AnimatedMenuButton* m_options = nullptr;
    AnimatedMenuButton* m_quit = nullptr;
    std::vector<FRefT<AnimatedMenuButton>> m_menuButtons;
    BackdropButtonList<AnimatedMenuButton> m_backdropButtons{&m_menuButtons};
    ParticleViewAssets m_backdropAssets;
    ParticleEmitterView* m_backdropView = nullptr;
    bool m_choiceMade = false;
    bool m_activated = false;
};
