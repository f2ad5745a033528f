#include "game/frontend/MainMenuScreen.h"

#include "asset/FAsset.h"
#include "core/FApplication.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSaveData.h"
#include "game/core/GameSession.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndMenus.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/frontend/FrontEndWidgets.h"
#include "game/widgets/ParticleEmitterView.h"
#include "game/widgets/VideoSprite.h"
#include "graphics/FGraph.h"
#include "ui/FButton.h"
#include "ui/FFont.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <cmath>

namespace {

constexpr int32_t k_mainMenuFolder = 18;

} // namespace

MainMenuScreen::MainMenuScreen()
{
    m_play = frontEndWidgetOf<AnimatedMenuButton>(m_playButton, k_mainMenuFolder, "the play button");
    m_spare = frontEndWidgetOf<AnimatedMenuButton>(m_spareButton, k_mainMenuFolder, "the spare button");
    m_options = frontEndWidgetOf<AnimatedMenuButton>(m_optionsButton, k_mainMenuFolder, "the options button");
    m_quit = frontEndWidgetOf<AnimatedMenuButton>(m_quitButton, k_mainMenuFolder, "the quit button");
    FrontEndMenus::fillBackdropAssets(*this, m_backdropAssets);
}

MainMenuScreen::~MainMenuScreen()
{
    if (m_activated) {
        m_play->releaseClips();
        m_options->releaseClips();
        m_quit->releaseClips();
        for (const FRef* clip :
             {&m_hoverClip7, &m_returnClip7, &m_hoverClip2, &m_returnClip2, &m_hoverClip4, &m_returnClip4})
            if (auto* asset = static_cast<FAsset*>(clip->get())) asset->unload(false);
        FrontEndMenus::dropBackdrop(m_backdropView);
        setPanelDelegate(nullptr);
    }
}

void MainMenuScreen::onActivate()
{
    m_playButton->moveWidgetBy(0, k_playDrop);
    m_optionsButton->moveWidgetBy(0, -k_optionsRise);
    m_quitButton->moveWidgetBy(0, -k_quitRise);

    FrontEndMenus::takeControllers(this);
    if (auto* graph = findService<FGraph>(k_slotGraphics)) graph->setSystemCursorVisible(true);
    FrontEndMenus::clearControllerOne();

    m_menuButtons.clear();
    for (const FRef* button : {&m_playButton, &m_spareButton, &m_optionsButton, &m_quitButton})
        m_menuButtons.push_back(FRefT<AnimatedMenuButton>(*button));

    if (FContainer* panel = m_optionsPanel.get()) {
        panel->bringToFront();
        panel->setVisible(false);
    }
    OptionsHostScreen::onActivate();

    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game != nullptr) {
        if (const FRefT<GameSession> session = game->getGameSession(); !session.isNull()) session->setMode(0);
    }
    for (FButton* button : {m_legalButton.get(), m_displayModeButton.get(), m_resetButton.get()})
        if (button != nullptr) button->setEnabled(true);

    showFrontEndWidget(m_taglineLabel, false);
    showFrontEndWidget(m_spareClickArea, false);
    if (auto* left = static_cast<FImageWidget*>(m_leftPicture.get())) left->setAngle(0.8f);
    if (auto* right = static_cast<FImageWidget*>(m_rightPicture.get())) right->setAngle(-2.1f);

    m_playLabel->setFont(FRefT<FFont>(m_playFont));
    m_titleLabel->setFont(FRefT<FFont>(m_titleFont));

    const FScreenRegistry* registry = &FLayoutBinding::registry();
    m_play->setup(m_playLabel, frontEndHandleOf<VideoSprite>(m_playClip, k_mainMenuFolder, "the play clip"),
                  m_playFrame, m_playClickArea, registry, registry);
    m_options->setup(m_optionsLabel,
                     frontEndHandleOf<VideoSprite>(m_optionsClip, k_mainMenuFolder, "the options clip"),
                     m_optionsFrame, m_optionsClickArea, registry, registry);
    m_quit->setup(m_quitLabel, frontEndHandleOf<VideoSprite>(m_quitClip, k_mainMenuFolder, "the quit clip"),
                  m_quitFrame, m_quitClickArea, registry, registry);

    if (const auto* text = m_playText.as<FString>()) m_playLabel->setText(*text);

    const FPointI iconAt = m_playIconAnchor->getAbsolutePosition();
    m_play->placeIcon(iconAt.x, iconAt.y);
    m_play->resizeIcon(m_playIconAnchor->width(), m_playIconAnchor->height());

    setClipStates();

    m_play->moveImageTo(m_playImageAnchor->rect().left,
                        m_playImageAnchor->rect().top + m_playFrame->rect().top);
    m_options->moveImageTo(m_optionsImageAnchor->rect().left, m_optionsImageAnchor->rect().top - 5);
    m_quit->moveImageTo(m_quitImageAnchor->rect().left, m_quitImageAnchor->rect().top);
    m_play->setImageSize(m_playImageAnchor->width(), m_playImageAnchor->height());
    m_options->setImageSize(m_optionsImageAnchor->width(), m_optionsImageAnchor->height());
    m_quit->setImageSize(m_quitImageAnchor->width(), m_quitImageAnchor->height());

    ParticleEmitterView* view = FrontEndMenus::setUpBackdrop(this, m_backdropPanel, m_topCap, m_bottomCap,
                                                             &m_backdropAssets, &m_backdropButtons);
    m_backdropView = view;

    // The single-precision factors: a 200-pixel-wide button moves 7 pixels.
    m_play->offsetLabel(static_cast<int32_t>(std::trunc(static_cast<float>(m_play->width()) * 0.04f)),
                        static_cast<int32_t>(std::trunc(static_cast<float>(m_play->height()) * 0.01f)));
    setClipStates();

    FrontEndMenus::setBackdropBusyHandler(view, this);

    m_playIconAnchor->setVisible(false);
    showFrontEndWidget(m_welcomeLabel, false);
    m_play->setIcon(m_playIconAnchor);
    m_playButton->bringToFront();

    if (game != nullptr) {
        if (!FrontEndMenus::isMusicPlaying() || game->menuMusicRestart()) {
            FrontEndSounds::playMusic(m_frontEndMusic, false);
            game->setMenuMusicRestart(false);
        }
        for (const FRef* clip :
             {&m_hoverClip7, &m_returnClip7, &m_hoverClip2, &m_returnClip2, &m_hoverClip4, &m_returnClip4})
            if (clip->get() != nullptr) game->queueAssetLoad(*clip);
    }

    for (AnimatedMenuButton* button : {m_play, m_spare, m_options, m_quit})
        button->playPressedClip();

    if (FImageWidget* cover = m_cover.get()) cover->setHitTestDisabled(true);
    m_activated = true;
    if (game != nullptr) {
        game->saveData().setReturnToProfileScreen(false);
        game->cancelNewProfile();
    }
}

void MainMenuScreen::setClipStates()
{
    m_play->setClipKind(k_playClipState);
    m_options->setClipKind(k_otherClipState);
    m_quit->setClipKind(k_otherClipState);
}

void MainMenuScreen::update(int32_t elapsed)
{
    OptionsHostScreen::update(elapsed);
    if (FrontEndSounds::isGamePaused()) return;
    for (const FRefT<AnimatedMenuButton>& button : m_menuButtons) {
        if (VideoSprite* clip = button->clipSprite()) clip->update(elapsed);
        button->updateWiggle(elapsed);
    }
    FrontEndMenus::clearControllerOne();
}

void MainMenuScreen::onConfirmMessage(int32_t kind)
{
    if (kind == k_quitConfirmation) {
        if (ZibboUserInterface* game = ZibboUserInterface::getInstance()) game->finishQuit();
        return;
    }
    OptionsHostScreen::onConfirmMessage(kind);
}

void MainMenuScreen::onProfileButtonClicked(FLayoutButton&)
{
    if (m_choiceMade) return;
    FrontEndMenus::leaveTo(k_profileScreen);
    FrontEndMenus::playSound(m_selectSound);
    m_choiceMade = true;
}

void MainMenuScreen::onOptionsButtonClicked(FLayoutButton&)
{
    if (m_choiceMade) return;
    if (ParticleEmitterView* view = FrontEndMenus::backdrop()) {
        view->closeToCallback = true;
        view->closing = true;
        ParticleEmitterView::ClosedCallback* closed =
            makeMemberDelegate(this, &MainMenuScreen::openOptionsPanel);
        view->setOnClosed(closed);
        engineFree(closed);
    }
    PanelDelegate* panelClosed = makeMemberDelegate(this, &MainMenuScreen::onOptionsPanelClosed);
    setPanelDelegate(panelClosed);
    engineFree(panelClosed);
    FrontEndMenus::playSound(m_confirmSound);
    m_choiceMade = true;
}

void MainMenuScreen::onQuitButtonClicked(FLayoutButton&)
{
    if (m_choiceMade) return;
    pushQuestion(m_quitQuestion, m_confirmLabel, m_cancelLabel, k_quitConfirmation, true, true);
}

void MainMenuScreen::setCalmVisible(bool visible)
{
    showFrontEndWidget(m_taglineLabel, visible);
    showFrontEndWidget(m_hintLabel, visible);
}

void MainMenuScreen::setBackdropImagesVisible(bool visible)
{
    showFrontEndWidget(m_backdropPanel, visible);
    showFrontEndWidget(m_topCap, visible);
    showFrontEndWidget(m_bottomCap, visible);
}

void MainMenuScreen::openOptionsPanel()
{
    setBackdropImagesVisible(false);
    setCalmVisible(false);
    openMenuPanel();
    for (const FRefT<AnimatedMenuButton>& button : m_menuButtons)
        button->setVisible(false);
}

void MainMenuScreen::onOptionsPanelClosed()
{
    setBackdropImagesVisible(true);
    setCalmVisible(true);
    for (const FRefT<AnimatedMenuButton>& button : m_menuButtons)
        button->stopWiggle();
    for (AnimatedMenuButton* button : {m_play, m_options, m_quit})
        button->setVisible(true);
    if (ParticleEmitterView* view = FrontEndMenus::backdrop()) {
        view->closeToCallback = false;
        view->opening = true;
        view->centerFirstImage();
    }
    m_choiceMade = false;
}

void MainMenuScreen::onBackdropBusy(bool busy)
{
    setCalmVisible(!busy);
}
