#pragma once

#include "ScreenLayout26.h"
#include "game/widgets/AnimatedMenuButton.h"
#include "game/widgets/BackdropButtonList.h"
#include "game/widgets/ParticleViewAssets.h"

#include <array>
#include <cstdint>
#include <vector>

class FImageWidget;
class FLabel;
class ParticleEmitterView;
class PlayerProfile;

// The six player profiles (kind 14): each slot shows its name (or the
// empty-slot caption), its avatar and its star total. In select mode an
// empty slot starts a new profile (name entry) and a used one plays: the
// prologue when its first quest is not done, else the world map through the
// loading screen. Edit mode opens a used slot's name and avatar again;
// delete mode asks, then deletes every profile of that name through the game
// module. A release on no button, back or the next slot click ends a mode.
// UI thread only.
class ProfileScreen : public ScreenLayout26
{
public:
    static constexpr int32_t k_slotCount = 6;
    static constexpr int32_t k_deleteProfileConfirmation = 18;
    enum Mode : int32_t { k_select = 0, k_edit = 1, k_delete = 2 };

    ProfileScreen();
    ~ProfileScreen() override;

    void onActivate() override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void onConfirmMessage(int32_t kind) override;
    void onCancel() override;

    void onSlotZeroClicked(FLayoutButton& button) override { selectProfile(button); }
    void onSlotOneClicked(FLayoutButton& button) override { selectProfile(button); }
    void onSlotTwoClicked(FLayoutButton& button) override { selectProfile(button); }
    void onSlotThreeClicked(FLayoutButton& button) override { selectProfile(button); }
    void onSlotFourClicked(FLayoutButton& button) override { selectProfile(button); }
    void onSlotFiveClicked(FLayoutButton& button) override { selectProfile(button); }
    void onEditClicked(FLayoutButton&) override;
    void onDeleteClicked(FLayoutButton&) override;
    void onBackClicked(FLayoutButton&) override;
    void onBackdropBusy(bool busy);

    // The avatar picture asset of an avatar number (empty for none).
    FRef avatarPicture(int32_t avatar) const;

    int32_t mode() const { return m_mode; }
    int32_t selectedSlot() const { return m_selectedSlot; }
    int32_t slotToDelete() const { return m_slotToDelete; }
    bool isSlotEmpty(int32_t slot) const { return m_empty[static_cast<size_t>(slot)]; }
    bool isBusy() const { return m_busy; }
    bool isLeaving() const { return m_leaving; }
    AnimatedMenuButton* slotMenuButton(int32_t slot) const
    {
        return m_menuButtons[static_cast<size_t>(slot)].get();
    }
    FButton* slotClickArea(int32_t slot) const { return m_clickAreas[static_cast<size_t>(slot)]; }

private:
    void selectProfile(FButton& button);
    void refreshSlots();
    void refreshAvatars();
    // Shows the avatar, icon and stars of every slot whose profile has an
    // avatar picture; true when some slot does.
    bool showAvatars(bool refreshing);
    void showModeButtons(bool shown);
    void leaveTo(int32_t kind);
    void endMode();
    void setMode(int32_t mode);

    std::array<FButton*, k_slotCount> m_clickAreas{};
    std::array<FImageWidget*, k_slotCount> m_avatarPictures{};
    std::array<const FRef*, k_slotCount> m_avatarHandles{};
    std::array<FWidget*, k_slotCount> m_iconBoxes{};
    std::array<FWidget*, k_slotCount> m_imageBoxes{};
    std::array<bool, k_slotCount> m_empty{};
    std::array<bool, k_slotCount> m_hasPicture{};
    std::vector<FRefT<AnimatedMenuButton>> m_menuButtons;
    BackdropButtonList<AnimatedMenuButton> m_backdropButtons{&m_menuButtons};
    ParticleViewAssets m_backdropAssets;
    ParticleEmitterView* m_backdropView = nullptr;
    int32_t m_mode = k_select;
    int32_t m_selectedSlot = -1;
    int32_t m_slotToDelete = -1;
    bool m_activated = false;
    bool m_busy = false;
    bool m_leaving = false;
    bool m_pressStarted = false;
};
