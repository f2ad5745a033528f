#include "game/frontend/ZibboSplashScreen.h"

#include "asset/FRawData.h"
#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FKeyCode.h"
#include "core/FLogStream.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSession.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/widgets/VideoSprite.h"
#include "graphics/FGraph.h"
#include "video/FVideo.h"

#include <sstream>

namespace {

VideoSprite* splashVideoSprite(const FRefT<FWidget>& widget, const char* what)
{
    auto* sprite = dynamic_cast<VideoSprite*>(widget.get());
    if (sprite == nullptr) ZIBBO_FAIL(msgIllegalOperation, what << " of folder 31 is no video sprite");
    return sprite;
}

} // namespace

ZibboSplashScreen::ZibboSplashScreen()
{
    m_title = splashVideoSprite(m_titleAnimation, "the title animation");
    m_second = splashVideoSprite(m_secondAnimation, "the second animation");
    m_title->setVideo(FRefT<FVideo>(m_titleClip), true);
    m_title->setFrameRate(12);
    m_title->setFrameTime(83);
    VideoSprite::Callback* titleDone = makeMemberDelegate(this, &ZibboSplashScreen::onTitleVideoFinished);
    m_title->setFinishCallback(titleDone);
    engineFree(titleDone);
    m_second->setVideo(FRefT<FVideo>(m_subtitleClip), false);
    m_second->setFrameRate(20);
    m_second->setFrameTime(50);
    if (auto* label = dynamic_cast<FLabel*>(m_pressLabel.get())) label->setColor(k_labelColour);
    m_panTweens[0].setTarget(m_panImageA.get());
    FTween::Completion* panned = makeMemberDelegate(this, &ZibboSplashScreen::onPanFinished);
    m_panTweens[0].setCompletion(panned);
    engineFree(panned);
    m_panTweens[1].setTarget(m_panImageB.get());
    m_blinkFade.target = dynamic_cast<FLabel*>(m_pressLabel.get());
    FTween::Completion* blinked = makeMemberDelegate(this, &ZibboSplashScreen::onBlinkFinished);
    m_blinkFade.setCompletion(blinked);
    engineFree(blinked);
}

ZibboSplashScreen::~ZibboSplashScreen()
{
    m_title->setFinishCallback(nullptr);
    m_panTweens[0].setCompletion(nullptr);
    m_blinkFade.setCompletion(nullptr);
}

void ZibboSplashScreen::onActivate()
{
    FrontEndSounds::playMusic(m_frontEndMusic, false);
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    FrontEndSounds::takeControllers(this);
    if (game != nullptr) game->setQuitNeedsConfirmation(true);
    m_title->play(false);
    m_second->play(false);
    m_readyGroup->setVisible(false);
    m_shownOnActivation->setVisible(true);
    startPan();
    FrontEndSounds::takeControllers(this);
    if (getFrontMessageKind() != 0)
        m_pendingCheck = true;
    else
        storageCheck();
}

void ZibboSplashScreen::startPan()
{
    FWidget& a = *m_panImageA;
    FWidget& b = *m_panImageB;
    b.setWidgetRect(FRectI{0, b.rect().top, b.width(), b.rect().bottom});
    a.setWidgetRect(FRectI{-a.width(), a.rect().top, 0, a.rect().bottom});
    m_panTweens[0].start({0, a.rect().top}, k_panMs);
    m_panTweens[1].start({a.width(), a.rect().top}, k_panMs);
}

void ZibboSplashScreen::onPanFinished()
{
    startPan();
}

void ZibboSplashScreen::onBlinkFinished()
{
    if (m_blinkFade.target != nullptr) startAlphaTween(m_blinkFade, m_fadeDirection ? 255 : 0, k_blinkMs);
    m_fadeDirection = !m_fadeDirection;
}

void ZibboSplashScreen::onTitleVideoFinished(VideoSprite&)
{
    m_title->setFinishCallback(nullptr);
    m_title->setVideo(FRefT<FVideo>(m_titleLoopClip), true);
    m_title->setLoops(-1);
    m_title->play(false);
}

void ZibboSplashScreen::storageCheck()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    if (game->getSaveManager()->attachDefaultFileSystem()) m_countdown = 2;
}

void ZibboSplashScreen::loadStep()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    ++m_loadStepRuns;
    game->initSaveData();
    if (auto* data = dynamic_cast<FRawData*>(static_cast<FAsset*>(m_gameData.get()))) {
        data->ensureLoaded();
        const std::string bytes(reinterpret_cast<const char*>(data->data()),
                                data->data() != nullptr ? static_cast<std::size_t>(data->dataSize()) : 0u);
        game->getGameSession()->loadGameStructure(FRefT<std::istream>(
            makeSignaledRef<std::istream>(engineNew<std::istringstream>(k_memObject, bytes))));
    }
    if (FGraph* graph = findService<FGraph>(k_slotGraphics)) graph->setSystemCursorVisible(true);
    game->loadScreen(k_mainMenuScreen);
    // A damaged file the set-up replaced, or a folder it could not write,
    // reaches the player now as a save prompt (once per set-up).
    game->showPendingSaveError(*this);
}

bool ZibboSplashScreen::promptShown() const
{
    return m_panelTop->isVisible();
}

void ZibboSplashScreen::update(int32_t elapsed)
{
    SystemMessageScreen::update(elapsed);
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game != nullptr) game->invalidate();
    if (getFrontMessageKind() != 0) return;
    if (m_pendingCheck) {
        m_pendingCheck = false;
        storageCheck();
    }
    if (m_rerunAfterBuild && (game == nullptr || !game->hasPendingLoad())) {
        m_rerunAfterBuild = false;
        m_countdown = 2;
    }
    if (m_countdown > 0 && --m_countdown == 0) loadStep();
    if (FrontEndSounds::isGamePaused()) return;
    m_title->update(elapsed);
    m_second->update(elapsed);
    m_blinkFade.update(elapsed);
    m_panTweens[0].update(elapsed);
    m_panTweens[1].update(elapsed);
    if (game != nullptr && !m_rerunAfterBuild && !game->getCachedScreen(k_mainMenuScreen).isNull() &&
        !m_readyGroup->isVisible()) {
        m_readyGroup->setVisible(true);
        if (m_blinkFade.target != nullptr) startAlphaTween(m_blinkFade, 255, k_blinkMs);
        m_ready = true;
    }
}

void ZibboSplashScreen::leave()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    game->playSound(m_confirmSound, 63);
    m_blinkFade.setActive(false);
    game->setScreen(k_mainMenuScreen, false);
}

void ZibboSplashScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (promptShown() || !m_ready) {
        FScreen::onPointerDown(pointer, button, point);
        return;
    }
    leave();
}

void ZibboSplashScreen::onKeyDown(uint32_t key)
{
    if (promptShown() || !m_ready) {
        if (key == FKeyCode::k_enter && promptShown()) onConfirmClicked(*m_confirmButton);
        return;
    }
    leave();
}

void ZibboSplashScreen::onConfirmMessage(int32_t kind)
{
    if (kind == k_noSavesConfirmation) {
        // While the menu is still being built a second load step would ask
        // for it again: the rerun waits for the build to end.
        ZibboUserInterface* game = ZibboUserInterface::getInstance();
        if (game != nullptr && game->hasPendingLoad())
            m_rerunAfterBuild = true;
        else
            m_countdown = 2;
    }
    SystemMessageScreen::onConfirmMessage(kind);
}
