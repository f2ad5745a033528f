#pragma once

#include "ScreenLayout08.h"
#include "game/widgets/AnimatedMenuButton.h"
#include "game/widgets/BackdropButtonList.h"
#include "game/widgets/ParticleViewAssets.h"

#include <cstdint>
#include <vector>

class ParticleEmitterView;

// The last step of a new profile (kind 3): the regular or the kids' game.
// A choice writes the difficulty into the pending profile, creates the
// profile, names it the last profile and, one update later, leaves through
// the backdrop for the story prologue; back returns to the avatar choice.
// When the profile cannot be created the screen says so and stays. UI thread
// only; the loader may construct it on its worker, so the backdrop is only
// touched from the activation on.
class ProfileMenuScreen : public ScreenLayout08
{
public:
    // The notice that the profile could not be created.
    static constexpr int32_t k_profileRefused = 17;

    ProfileMenuScreen();
    ~ProfileMenuScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;

    void onRegularClicked(FLayoutButton&) override { chooseDifficulty(true); }
    void onKidsClicked(FLayoutButton&) override { chooseDifficulty(false); }
    void onBackClicked(FLayoutButton&) override;
    void onBackdropBusy(bool busy);

    bool isLeaving() const { return m_leaving; }
    bool isGoOnPending() const { return m_goOnPending; }
    AnimatedMenuButton* regularMenuButton() const { return m_regular; }
    AnimatedMenuButton* kidsMenuButton() const { return m_kids; }

private:
    void chooseDifficulty(bool regular);
    // False when the profile was refused.
    bool goOn();

    AnimatedMenuButton* m_regular = nullptr;
    AnimatedMenuButton* m_kids = nullptr;
    std::vector<FRefT<AnimatedMenuButton>> m_menuButtons;
    BackdropButtonList<AnimatedMenuButton> m_backdropButtons{&m_menuButtons};
    ParticleViewAssets m_backdropAssets;
    ParticleEmitterView* m_backdropView = nullptr;
    bool m_activated = false;
    bool m_leaving = false;
    bool m_goOnPending = false;
};
