#include "game/frontend/AvatarSelectScreen.h"

#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSaveData.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/ProfileNameBuffer.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndMenus.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/frontend/FrontEndWidgets.h"
#include "ui/FButton.h"

namespace {

constexpr int32_t k_avatarFolder = 2;

// The chosen slot's profile, or null when the slot names none.
PlayerProfile* chosenProfileOf(ZibboUserInterface& game)
{
    ProfileManager* profiles = game.profileManager();
    const int32_t slot = game.saveData().editProfileSlot();
    return profiles != nullptr ? profiles->getProfile(slot) : nullptr;
}

} // namespace

AvatarSelectScreen::AvatarSelectScreen()
{
    const FRef* buttons[k_choiceCount] = {&m_avatar5Button, &m_avatar1Button, &m_avatar3Button,
                                          &m_avatar4Button, &m_avatar2Button};
    for (int32_t i = 0; i < k_choiceCount; ++i)
        m_choices[static_cast<size_t>(i)] =
            frontEndWidgetOf<FButton>(*buttons[i], k_avatarFolder, "a face button");
    FrontEndMenus::fillBackdropAssets(*this, m_backdropAssets);
}

AvatarSelectScreen::~AvatarSelectScreen()
{
    if (m_activated) FrontEndMenus::dropBackdrop(m_backdropView);
}

void AvatarSelectScreen::onActivate()
{
    FrontEndMenus::takeControllers(this);
    m_backdropView = FrontEndMenus::setUpBackdrop(this, m_backdropPanel, m_topCap, m_bottomCap,
                                                  &m_backdropAssets, nullptr);
    FrontEndMenus::setBackdropBusyHandler(m_backdropView, this);
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game != nullptr && game->saveData().returnToProfileScreen()) {
        if (PlayerProfile* profile = chosenProfileOf(*game)) {
            profile->setName(game->saveData().pendingProfileName());
            game->profileManager()->saveProfile(game->saveData().editProfileSlot());
        }
    }
    for (int32_t i = 0; i < k_choiceCount; ++i)
        m_buttonRects[static_cast<size_t>(i)] = m_choices[static_cast<size_t>(i)]->rect();
    m_activated = true;
}

void AvatarSelectScreen::update(int32_t elapsed)
{
    SystemMessageScreen::update(elapsed);
    if (FrontEndSounds::isGamePaused()) return;
    for (FButton* button : m_choices)
        button->bringToFront();
    for (FScaleTween& tween : m_hoverScale)
        tween.update(elapsed);
}

void AvatarSelectScreen::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (!m_activated) return;
    FScreen::onPointerMove(pointer, point);
    const FPointI origin = static_cast<FWidget*>(m_backdropPanel.get())->getAbsolutePosition();
    const FPointI local{point.x - origin.x, point.y - origin.y};
    for (size_t i = 0; i < m_choices.size(); ++i) {
        FButton* button = m_choices[i];
        const FRectI& r = button->rect();
        const bool inside = local.x >= r.left && local.x < r.right && local.y >= r.top && local.y < r.bottom;
        if (inside && !m_hovered[i]) {
            m_hovered[i] = true;
            m_hoverScale[i].setTarget(button);
            m_hoverScale[i].start(1.0f, k_hoverScale, 0);
            m_hoverScale[i].finish();
        } else if (!inside) {
            m_hovered[i] = false;
            button->setWidgetRect(m_buttonRects[i]);
        }
    }
}

void AvatarSelectScreen::chooseAvatar(int16_t avatar)
{
    if (m_leaving) return;
    m_leaving = true;
    FrontEndMenus::playSound(m_confirmSound);
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    const bool editing = game->saveData().returnToProfileScreen();
    if (editing) {
        // The avatar is saved with the profile at once: leaving the profile
        // list without picking the profile would otherwise lose it.
        if (PlayerProfile* profile = chosenProfileOf(*game)) {
            profile->setAvatar(avatar);
            game->profileManager()->saveProfile(game->saveData().editProfileSlot());
        }
    } else if (ProfileNameBuffer* pending = game->saveData().newProfile()) {
        pending->avatar = avatar;
    }
    goOn(editing);
}

void AvatarSelectScreen::goOn(bool editing)
{
    if (editing) {
        if (ZibboUserInterface* game = ZibboUserInterface::getInstance())
            game->saveData().setReturnToProfileScreen(false);
        FrontEndMenus::leaveTo(k_profileScreen);
    } else {
        FrontEndMenus::leaveTo(k_profileMenuScreen);
    }
}

void AvatarSelectScreen::onBackClicked(FLayoutButton&)
{
    if (m_leaving) return;
    m_leaving = true;
    FrontEndMenus::playSound(m_cancelSound);
    FrontEndMenus::leaveTo(k_nameEntryScreen);
}

void AvatarSelectScreen::onBackdropBusy(bool busy)
{
    showFrontEndWidget(m_backButton, !busy);
}
