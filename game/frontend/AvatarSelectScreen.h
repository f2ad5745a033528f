#pragma once

#include "ScreenLayout02.h"
#include "game/widgets/ParticleViewAssets.h"
#include "graphics/FGeometry.h"
#include "ui/FScaleTween.h"

#include <array>
#include <cstdint>

class FButton;
class ParticleEmitterView;

// The avatar choice (kind 0): five faces, the one under the pointer shown
// 1.15 times larger. Creating a profile, the choice goes into the pending
// profile and the screen goes on to the difficulty choice; editing one, the
// activation renames the chosen slot's profile and saves it, the choice is
// saved with the profile and the screen returns to the profile list. Back
// returns to the name entry. One press decides. UI thread only.
class AvatarSelectScreen : public ScreenLayout02
{
public:
    static constexpr int32_t k_choiceCount = 5;
    static constexpr float k_hoverScale = 1.15f;

    AvatarSelectScreen();
    ~AvatarSelectScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;

    void onAvatar1Clicked(FLayoutButton&) override { chooseAvatar(1); }
    void onAvatar2Clicked(FLayoutButton&) override { chooseAvatar(2); }
    void onAvatar3Clicked(FLayoutButton&) override { chooseAvatar(3); }
    void onAvatar4Clicked(FLayoutButton&) override { chooseAvatar(4); }
    void onAvatar5Clicked(FLayoutButton&) override { chooseAvatar(5); }
    void onBackClicked(FLayoutButton&) override;
    void onBackdropBusy(bool busy);

    // The choice buttons in their fixed order: avatars 5, 1, 3, 4, 2.
    FButton* choiceButton(int32_t index) const { return m_choices[static_cast<size_t>(index)]; }
    const FRectI& restingRect(int32_t index) const { return m_buttonRects[static_cast<size_t>(index)]; }
    bool isHovered(int32_t index) const { return m_hovered[static_cast<size_t>(index)]; }
    bool isLeaving() const { return m_leaving; }

private:
    void chooseAvatar(int16_t avatar);
    void goOn(bool editing);

    std::array<FButton*, k_choiceCount> m_choices{};
    std::array<bool, k_choiceCount> m_hovered{};
    std::array<FRectI, k_choiceCount> m_buttonRects{};
    std::array<FScaleTween, k_choiceCount> m_hoverScale;
    ParticleViewAssets m_backdropAssets;
    ParticleEmitterView* m_backdropView = nullptr;
    bool m_activated = false;
    bool m_leaving = false;
};
