#include "game/frontend/ProfileScreen.h"

#include "asset/FAsset.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameCursors.h"
#include "game/core/GameSaveData.h"
#include "game/core/GlobalSettings.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndMenus.h"
#include "game/frontend/FrontEndWidgets.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FButton.h"
#include "ui/FFont.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <cmath>

namespace {

constexpr int32_t k_profileFolder = 26;
constexpr int32_t k_profileClipState = 3;

void setEditProfileFlag(bool editing)
{
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance())
        game->saveData().setReturnToProfileScreen(editing);
}

std::vector<PlayerProfile> profileSnapshot()
{
    std::vector<PlayerProfile> profiles;
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance()) game->copyProfiles(profiles);
    return profiles;
}

} // namespace

ProfileScreen::ProfileScreen()
{
    const FRef* menus[k_slotCount] = {&m_slotButtonZero,  &m_slotButtonOne,  &m_slotButtonTwo,
                                      &m_slotButtonThree, &m_slotButtonFour, &m_slotButtonFive};
    const FRef* clicks[k_slotCount] = {&m_slotClickAreaZero,  &m_slotClickAreaOne,  &m_slotClickAreaTwo,
                                       &m_slotClickAreaThree, &m_slotClickAreaFour, &m_slotClickAreaFive};
    const FRef* avatars[k_slotCount] = {&m_avatarPictureZero,  &m_avatarPictureOne,  &m_avatarPictureTwo,
                                        &m_avatarPictureThree, &m_avatarPictureFour, &m_avatarPictureFive};
    const FRef* icons[k_slotCount] = {&m_iconBoxZero,  &m_iconBoxOne,  &m_iconBoxTwo,
                                      &m_iconBoxThree, &m_iconBoxFour, &m_iconBoxFive};
    const FRef* images[k_slotCount] = {&m_imageBoxZero,  &m_imageBoxOne,  &m_imageBoxTwo,
                                       &m_imageBoxThree, &m_imageBoxFour, &m_imageBoxFive};
    for (size_t i = 0; i < k_slotCount; ++i) {
        m_menuButtons.push_back(
            frontEndHandleOf<AnimatedMenuButton>(*menus[i], k_profileFolder, "a slot button"));
        m_clickAreas[i] = frontEndWidgetOf<FButton>(*clicks[i], k_profileFolder, "a slot's click area");
        m_avatarPictures[i] =
            frontEndWidgetOf<FImageWidget>(*avatars[i], k_profileFolder, "an avatar picture");
        m_avatarHandles[i] = avatars[i];
        m_iconBoxes[i] = frontEndWidgetOf<FWidget>(*icons[i], k_profileFolder, "an icon box");
        m_imageBoxes[i] = frontEndWidgetOf<FWidget>(*images[i], k_profileFolder, "an image box");
    }
    FrontEndMenus::fillBackdropAssets(*this, m_backdropAssets);
}

ProfileScreen::~ProfileScreen()
{
    if (!m_activated) return;
    for (const FRef* clip : {&m_returnClip3, &m_hoverClip3})
        if (auto* asset = static_cast<FAsset*>(clip->get())) asset->unload(false);
    FrontEndMenus::dropBackdrop(m_backdropView);
}

FRef ProfileScreen::avatarPicture(int32_t avatar) const
{
    switch (avatar) {
    case 1:
        return m_avatar1;
    case 2:
        return m_avatar2;
    case 3:
        return m_avatar3;
    case 4:
        return m_avatar4;
    case 5:
        return m_avatar5;
    default:
        return {};
    }
}

void ProfileScreen::onActivate()
{
    FrontEndMenus::takeControllers(this);
    m_editCaption->setHitTestDisabled(true);
    m_deleteCaption->setHitTestDisabled(true);
    const FRef* labels[k_slotCount] = {&m_slotLabelZero,  &m_slotLabelOne,  &m_slotLabelTwo,
                                       &m_slotLabelThree, &m_slotLabelFour, &m_slotLabelFive};
    const FRef* clips[k_slotCount] = {&m_slotClipZero,  &m_slotClipOne,  &m_slotClipTwo,
                                      &m_slotClipThree, &m_slotClipFour, &m_slotClipFive};
    const FRef* holders[k_slotCount] = {&m_badgeHolderZero,  &m_badgeHolderOne,  &m_badgeHolderTwo,
                                        &m_badgeHolderThree, &m_badgeHolderFour, &m_badgeHolderFive};
    const FRef* clicks[k_slotCount] = {&m_slotClickAreaZero,  &m_slotClickAreaOne,  &m_slotClickAreaTwo,
                                       &m_slotClickAreaThree, &m_slotClickAreaFour, &m_slotClickAreaFive};
    const FScreenRegistry* registry = &FLayoutBinding::registry();
    for (size_t i = 0; i < k_slotCount; ++i)
        m_menuButtons[i]->setup(frontEndHandleOf<FLabel>(*labels[i], k_profileFolder, "a slot label"),
                                frontEndHandleOf<VideoSprite>(*clips[i], k_profileFolder, "a slot clip"),
                                frontEndHandleOf<FContainer>(*holders[i], k_profileFolder, "a badge holder"),
                                FRefT<FButton>(*clicks[i]), registry, registry);
    refreshSlots();
    for (size_t i = 0; i < k_slotCount; ++i)
        m_menuButtons[i]->moveImageTo(m_imageBoxes[i]->rect().left, m_imageBoxes[i]->rect().top);
    for (size_t i = 0; i < k_slotCount; ++i)
        m_menuButtons[i]->setImageSize(m_imageBoxes[i]->width(), m_imageBoxes[i]->height());
    const bool anyAvatar = showAvatars(false);
    showModeButtons(anyAvatar);
    m_backdropView = FrontEndMenus::setUpBackdrop(this, m_backdropPanel, m_topCap, m_bottomCap,
                                                  &m_backdropAssets, &m_backdropButtons);
    FrontEndMenus::setBackdropBusyHandler(m_backdropView, this);
    for (const FRefT<AnimatedMenuButton>& button : m_menuButtons)
        button->setClipKind(k_profileClipState);
    for (size_t i = 0; i < k_slotCount; ++i) {
        AnimatedMenuButton& button = *m_menuButtons[i];
        if (m_hasPicture[i])
            button.alignLabel();
        else
            button.offsetLabel(0,
                               static_cast<int32_t>(std::trunc(static_cast<float>(button.height()) * 0.01f)));
        button.playPressedClip();
    }
    for (const FRefT<AnimatedMenuButton>& button : m_menuButtons)
        button->bringToFront();
    m_activated = true;
}

void ProfileScreen::refreshSlots()
{
    const std::vector<PlayerProfile> profiles = profileSnapshot();
    m_selectedSlot = -1;
    const FString* emptyCaption = m_emptySlotText.as<FString>();
    for (size_t i = 0; i < k_slotCount; ++i) {
        const bool used = i < profiles.size() && profiles[i].name() != FString("<>");
        m_empty[i] = !used;
        const FString caption =
            used ? profiles[i].name() : (emptyCaption != nullptr ? *emptyCaption : FString());
        m_clickAreas[i]->caption().setText(caption);
        m_menuButtons[i]->fitLabelText();
    }
}

bool ProfileScreen::showAvatars(bool refreshing)
{
    const std::vector<PlayerProfile> profiles = profileSnapshot();
    bool any = false;
    for (size_t i = 0; i < k_slotCount; ++i) {
        AnimatedMenuButton& button = *m_menuButtons[i];
        const FRef picture = i < profiles.size() ? avatarPicture(profiles[i].avatar()) : FRef();
        m_hasPicture[i] = picture.get() != nullptr;
        if (!m_hasPicture[i]) {
            if (refreshing) {
                m_avatarPictures[i]->setImage(FRefT<FImage>(), false);
                button.setBadgesVisible(false);
            }
            continue;
        }
        any = true;
        FImageWidget& avatar = *m_avatarPictures[i];
        avatar.setImage(FRefT<FImage>(picture), true);
        button.setIcon(FRefT<FImageWidget>(*m_avatarHandles[i]));
        button.resizeIcon(m_iconBoxes[i]->width(), m_iconBoxes[i]->height());
        button.bringToFront();
        const FPointI at = m_iconBoxes[i]->getAbsolutePosition();
        button.placeIcon(at.x, at.y);
        button.setBadgesVisible(true);
        button.setNumberText(profiles[i].getTotalStars());
        button.setBadgeFont(FRefT<FFont>(m_badgeFont));
        button.setBadgeImage(FRefT<FImage>(m_starBadge));
        button.layoutBadges(*static_cast<FWidget*>(m_badgeReference.get()));
        if (refreshing) avatar.setWidgetAlpha(255);
    }
    return any;
}

void ProfileScreen::showModeButtons(bool shown)
{
    for (FButton* button : {m_editButton.get(), m_deleteButton.get()}) {
        button->setEnabled(shown);
        button->setVisible(shown);
    }
    m_editCaption->setVisible(shown);
    m_deleteCaption->setVisible(shown);
}

void ProfileScreen::refreshAvatars()
{
    showModeButtons(showAvatars(true));
    for (size_t i = 0; i < k_slotCount; ++i) {
        m_menuButtons[i]->setClipKind(k_profileClipState);
        if (m_hasPicture[i]) m_menuButtons[i]->alignLabel();
    }
}

void ProfileScreen::leaveTo(int32_t kind)
{
    m_leaving = true;
    FrontEndMenus::leaveTo(kind);
}

void ProfileScreen::setMode(int32_t mode)
{
    m_mode = mode;
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    GameCursors* cursors = game != nullptr ? game->cursors() : nullptr;
    if (cursors == nullptr) return;
    if (mode == k_edit)
        cursors->setCursorStyle4();
    else if (mode == k_delete)
        cursors->setCursorStyle5();
    else
        cursors->setDefaultCursor(0);
}

void ProfileScreen::endMode()
{
    setMode(k_select);
    setEditProfileFlag(false);
}

void ProfileScreen::selectProfile(FButton& clicked)
{
    m_pressStarted = false;
    if (m_busy) return;
    if (m_mode != k_delete) m_busy = true;
    int32_t slot = -1;
    for (int32_t i = 0; i < k_slotCount; ++i)
        if (m_clickAreas[static_cast<size_t>(i)] == &clicked) slot = i;
    if (slot < 0) {
        m_busy = false;
        return;
    }
    m_selectedSlot = slot;
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    GameSaveData& save = game->saveData();
    const bool empty = m_empty[static_cast<size_t>(slot)];
    if (m_mode == k_select && empty) {
        FrontEndMenus::playSound(m_confirmSound);
        save.setEditProfileSlot(slot);
        save.setReturnToProfileScreen(false);
        leaveTo(k_nameEntryScreen);
    } else if (m_mode == k_select) {
        FrontEndMenus::playSound(m_selectSound);
        ProfileManager* profiles = game->profileManager();
        profiles->saveProfile(slot);
        const PlayerProfile* profile = profiles->getCurrentProfile();
        if (profile == nullptr) {
            m_busy = false;
            return;
        }
        if (const FRefT<GlobalSettings> settings = game->getGlobalSettings(); !settings.isNull())
            settings->setLastProfile(m_clickAreas[static_cast<size_t>(slot)]->caption().text());
        game->setMusicVolume(static_cast<uint8_t>(profile->musicVolume()));
        game->setVoiceVolume(static_cast<uint8_t>(profile->voiceVolume()));
        game->setSfxVolumeScale(profile->effectVolume());
        if (!profile->isQuestCompleted(0)) {
            leaveTo(k_gameModeScreen);
        } else {
            setMode(k_select);
            game->setPendingScreen(k_worldMapScreen);
            game->setScreen(k_loadingScreen, false);
            return;
        }
    } else if (m_mode == k_edit) {
        if (game->isProfileSlotUsed(slot)) {
            FrontEndMenus::playSound(m_confirmSound);
            save.setEditProfileSlot(slot);
            save.setReturnToProfileScreen(true);
            leaveTo(k_nameEntryScreen);
        } else {
            m_busy = false;
        }
    } else if (m_mode == k_delete) {
        if (game->isProfileSlotUsed(slot)) {
            FrontEndMenus::playSound(m_confirmSound);
            pushQuestion(m_deleteQuestionText, m_confirmLabel, m_cancelLabel, k_deleteProfileConfirmation,
                         true, true);
            m_slotToDelete = slot;
        } else {
            m_busy = false;
        }
    }
    setMode(k_select);
}

void ProfileScreen::onEditClicked(FLayoutButton&)
{
    m_pressStarted = false;
    setMode(k_edit);
    setEditProfileFlag(true);
    FrontEndMenus::playSound(m_confirmSound);
}

void ProfileScreen::onDeleteClicked(FLayoutButton&)
{
    m_pressStarted = false;
    setMode(k_delete);
    FrontEndMenus::playSound(m_confirmSound);
}

void ProfileScreen::onBackClicked(FLayoutButton&)
{
    m_pressStarted = false;
    if (m_leaving) return;
    FrontEndMenus::playSound(m_cancelSound);
    endMode();
    leaveTo(k_mainMenuScreen);
}

void ProfileScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    FScreen::onPointerDown(pointer, button, point);
    m_pressStarted = true;
}

void ProfileScreen::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    FScreen::onPointerUp(pointer, button, point);
    if (m_pressStarted && m_mode != k_select) {
        FrontEndMenus::playSound(m_confirmSound);
        endMode();
    }
    m_pressStarted = false;
}

void ProfileScreen::onConfirmMessage(int32_t kind)
{
    if (kind != k_deleteProfileConfirmation) {
        SystemMessageScreen::onConfirmMessage(kind);
        return;
    }
    m_pressStarted = false;
    FrontEndMenus::playSound(m_confirmSound);
    if (m_slotToDelete == -1 || m_selectedSlot < 0 || m_selectedSlot >= k_slotCount) return;
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    // Through the game module, so that the settings stop naming it as the
    // last profile.
    game->deleteProfile(FString(m_clickAreas[static_cast<size_t>(m_selectedSlot)]->caption().text()));
    FrontEndMenus::playSound(m_deletedSound);
    refreshSlots();
    refreshAvatars();
    m_slotToDelete = -1;
}

void ProfileScreen::onCancel()
{
    // The prompt base takes the question away afterwards.
    if (getFrontMessageKind() == k_deleteProfileConfirmation) {
        endMode();
        m_slotToDelete = -1;
        return;
    }
    SystemMessageScreen::onCancel();
}

void ProfileScreen::onBackdropBusy(bool busy)
{
    m_backButton->setVisible(!busy);
}
