#include "game/frontend/ProfileMenuScreen.h"

#include "asset/FAsset.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSaveData.h"
#include "game/core/ProfileNameBuffer.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndMenus.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/frontend/FrontEndWidgets.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FImageWidget.h"

#include <cmath>

namespace {

constexpr int32_t k_profileMenuFolder = 8;
constexpr int32_t k_profileMenuClipState = 2;

} // namespace

ProfileMenuScreen::ProfileMenuScreen()
{
    m_regular =
        frontEndWidgetOf<AnimatedMenuButton>(m_regularButton, k_profileMenuFolder, "the regular button");
    m_kids = frontEndWidgetOf<AnimatedMenuButton>(m_kidsButton, k_profileMenuFolder, "the kids' button");
    if (auto* picture = static_cast<FImageWidget*>(m_regularPictureImage.get())) picture->setAngle(0.7f);
    if (auto* picture = static_cast<FImageWidget*>(m_kidsPictureImage.get())) picture->setAngle(-1.2f);
    FrontEndMenus::fillBackdropAssets(*this, m_backdropAssets);
}

ProfileMenuScreen::~ProfileMenuScreen()
{
    if (!m_activated) return;
    m_regular->releaseClips();
    m_kids->releaseClips();
    for (const FRef* clip : {&m_hoverClip7, &m_returnClip7})
        if (auto* asset = static_cast<FAsset*>(clip->get())) asset->unload(false);
    FrontEndMenus::dropBackdrop(m_backdropView);
}

void ProfileMenuScreen::onActivate()
{
    FrontEndMenus::takeControllers(this);
    m_menuButtons.push_back(FRefT<AnimatedMenuButton>(FRef(m_regularButton)));
    m_menuButtons.push_back(FRefT<AnimatedMenuButton>(FRef(m_kidsButton)));
    const FScreenRegistry* registry = &FLayoutBinding::registry();
    m_regular->setup(m_regularLabel,
                     frontEndHandleOf<VideoSprite>(m_regularClip, k_profileMenuFolder, "the regular clip"),
                     m_regularBadgeHolder, m_regularClickArea, registry, registry);
    m_kids->setup(m_kidsLabel,
                  frontEndHandleOf<VideoSprite>(m_kidsClip, k_profileMenuFolder, "the kids' clip"),
                  m_kidsBadgeHolder, m_kidsClickArea, registry, registry);
    m_regular->setClipKind(k_profileMenuClipState);
    m_kids->setClipKind(k_profileMenuClipState);
    m_regular->moveImageTo(m_regularImageAnchor->rect().left, m_regularImageAnchor->rect().top);
    m_kids->moveImageTo(m_kidsImageAnchor->rect().left, m_kidsImageAnchor->rect().top);
    m_regular->setImageSize(m_regularImageAnchor->width(), m_regularImageAnchor->height());
    m_kids->setImageSize(m_kidsImageAnchor->width(), m_kidsImageAnchor->height());
    m_kids->offsetLabel(0, static_cast<int32_t>(std::trunc(0.05 * m_kids->height())));
    m_regular->offsetLabel(0, static_cast<int32_t>(std::trunc(-0.05 * m_regular->height())));
    // The busy delegate is given here, on the UI thread, and not while the
    // screen is built: the loader may build it while the previous screen's
    // backdrop still animates.
    m_backdropView = FrontEndMenus::setUpBackdrop(this, m_backdropPanel, m_topCap, m_bottomCap,
                                                  &m_backdropAssets, &m_backdropButtons);
    FrontEndMenus::setBackdropBusyHandler(m_backdropView, this);
    m_activated = true;
}

void ProfileMenuScreen::update(int32_t elapsed)
{
    SystemMessageScreen::update(elapsed);
    if (FrontEndSounds::isGamePaused()) return;
    if (m_goOnPending) {
        m_goOnPending = false;
        FrontEndMenus::leaveTo(k_gameModeScreen);
    }
}

void ProfileMenuScreen::chooseDifficulty(bool regular)
{
    if (m_leaving) return;
    FrontEndMenus::playSound(m_confirmSound);
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    if (ProfileNameBuffer* pending = game->saveData().newProfile()) pending->difficulty = regular ? 1 : 0;
    if (!goOn()) return;
    m_leaving = true;
}

bool ProfileMenuScreen::goOn()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    // The game module names the new profile the last profile when it adds
    // it. A refused profile (or none pending) leaves nothing current to
    // read: the player is told and may go back.
    if (game == nullptr || !game->commitNewProfile()) {
        pushMessage(m_refusedText, 0, k_profileRefused, true, true);
        return false;
    }
    m_goOnPending = true;
    return true;
}

void ProfileMenuScreen::onBackClicked(FLayoutButton&)
{
    if (m_leaving) return;
    FrontEndMenus::leaveTo(k_avatarSelectScreen);
    m_leaving = true;
}

void ProfileMenuScreen::onBackdropBusy(bool busy)
{
    showFrontEndWidget(m_backButton, !busy);
}
