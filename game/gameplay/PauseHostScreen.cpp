#include "game/gameplay/PauseHostScreen.h"

#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSession.h"
#include "game/core/LevelTimer.h"
#include "game/core/ScreenKind.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/WidgetGeometry.h"
#include "image/FImage.h"
#include "ui/FButton.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

namespace {

constexpr int32_t k_pauseTraceLevel = 0;

} // namespace

PauseHostScreen::PauseHostScreen()
{
    if (m_pauseCover.get() != nullptr) m_pauseCover->setHitTestDisabled(true);
}

PauseHostScreen::~PauseHostScreen()
{
    m_coverFade.setCompletion(nullptr);
    m_topTween.setCompletion(nullptr);
    m_dimWidget.release();
    m_topEmitter.release();
    m_bottomEmitter.release();
    m_particlePool.release();
    m_particleGroup.release();
}

GameSession* PauseHostScreen::session()
{
    ZibboUserInterface* module = gameModule();
    return module != nullptr ? module->getGameSession().get() : nullptr;
}

void PauseHostScreen::onActivate()
{
    OptionsHostScreen::onActivate();
    if (FContainer* container = m_pauseContainer.get()) {
        m_dimWidget = makeRef(engineNew<FImageWidget>(k_memObject, container, true));
        m_dimWidget->setVisible(false);
        m_dimWidget->setImage(FRefT<FImage>(m_dimImage), true);
        m_dimWidget->setWidgetSize(width(), screenHeight());
        m_dimWidget->setWidgetPosition(0, 0);
        m_dimWidget->setWidgetAlpha(k_dimAlpha);
        sendToBack(*m_dimWidget);
    }
    if (m_titleLabel.get() != nullptr) m_titleLabel->setColor(k_labelColour);
    if (m_bottomRoller.get() != nullptr) m_bottomRestTop = m_bottomRoller->rect().top;
    if (m_topRoller.get() != nullptr) m_topRestTop = m_topRoller->rect().top;
    m_coverFade.target = m_pauseCover.get();
    m_bottomTween.setTarget(m_bottomRoller.get());
    m_topTween.setTarget(m_topRoller.get());
    FTween::Completion* slide = makeMemberDelegate(this, &PauseHostScreen::onSlideFinished);
    m_topTween.setCompletion(slide);
    freeAndNull(slide);
    FTween::Completion* fade = makeMemberDelegate(this, &PauseHostScreen::onCoverFadeFinished);
    m_coverFade.setCompletion(fade);
    freeAndNull(fade);
    m_topEmitter.release();
    m_bottomEmitter.release();
    m_particleGroup = makeRef(engineNew<ParticleGroup>(k_memObject, k_particleCount, this));
    m_particlePool = makeRef(engineNew<ParticlePool>(k_memObject, k_particleCount));
}

void PauseHostScreen::setComboRunning(bool running)
{
    GameSession* play = session();
    if (play == nullptr || play->mode() != 0) return;
    if (LevelTimer* timer = play->getLevelTimer()) timer->resumed = running;
}

void PauseHostScreen::setPauseOverlayShown(bool shown)
{
    if (FWidget* cover = m_pauseCover.get()) {
        cover->setWidgetAlpha(255);
        cover->bringToFront();
    }
    FContainer* container = m_pauseContainer.get();
    if (container == nullptr) return;
    container->setVisible(false);
    if (m_pausePanel.get() != nullptr) m_pausePanel->setVisible(false);
    container->setVisible(shown);
    if (shown) {
        openPauseOverlay();
        container->bringToFront();
        setComboRunning(false);
    } else {
        sendToBack(*container);
        setComboRunning(true);
    }
}

void PauseHostScreen::openPauseOverlay()
{
    if (k_pauseTraceLevel == 1) FLogStream("Default", false) << "--> opening pause screen";
    if (ZibboUserInterface* module = gameModule()) module->pauseAudioAndCursor(true);
    if (m_rollerOpening) return;
    m_rollerOpening = true;
    m_pauseClosed = false;
    const int32_t h = screenHeight();
    if (FWidget* bottom = m_bottomRoller.get()) {
        bottom->setWidgetPosition(0, h / 2 - bottom->height() / 2);
        m_bottomTween.setEasing(0);
        m_bottomTween.start({0, m_bottomRestTop}, k_slideMs);
    }
    if (FWidget* top = m_topRoller.get()) {
        top->setWidgetPosition(0, h / 2 - top->height() / 2);
        m_topTween.setEasing(0);
        m_topTween.start({0, m_topRestTop}, k_slideMs);
    }
    playScreenSound(m_openSound);
    if (m_quitMapButton.get() != nullptr) m_quitMapButton->setEnabled(true);
}

void PauseHostScreen::onSlideFinished()
{
    if (m_rollerOpening) {
        m_pauseOpen = true;
        m_rollerOpening = false;
        m_optionsFromPause = false;
        if (FContainer* panel = m_pausePanel.get()) {
            panel->setVisible(true);
            panel->bringToFront();
            if (FWidget* cover = m_pauseCover.get();
                cover != nullptr && m_topRoller.get() != nullptr && m_bottomRoller.get() != nullptr)
                cover->setWidgetSize(panel->width(),
                                     m_bottomRoller->getWidgetCenter().y - m_topRoller->getWidgetCenter().y);
        }
        restartBottomEmitter();
        restartTopEmitter();
        if (m_dimWidget.get() != nullptr) m_dimWidget->setVisible(true);
        m_coverFade.easing = 0;
        startAlphaFade(m_coverFade, 0, k_coverFadeMs);
    } else if (m_rollerClosing) {
        m_rollerClosing = false;
        m_pauseClosed = true;
        if (m_pauseContainer.get() != nullptr) m_pauseContainer->setVisible(false);
        setFocus(nullptr);
        ZibboUserInterface* module = gameModule();
        if (m_optionsRequested) {
            m_optionsRequested = false;
            m_optionsFromPause = true;
            playScreenSound(m_confirmSound);
            showPauseBackdrop();
            openMenuPanel();
            PanelDelegate* reopen = makeMemberDelegate(this, &PauseHostScreen::requestPause);
            setPanelDelegate(reopen);
            freeAndNull(reopen);
            setFocus(nullptr);
        } else {
            if (m_dimWidget.get() != nullptr) m_dimWidget->setVisible(false);
            if (module != nullptr) {
                module->resumeAudioAndCursor(true);
                if (module->hasInactiveOverlay()) module->pauseAudioAndCursor(false);
            }
        }
    }
}

void PauseHostScreen::onCoverFadeFinished()
{
    FWidget* cover = m_pauseCover.get();
    if (cover == nullptr || (cover->widgetColour() >> 24) != 255) return;
    if (m_pausePanel.get() != nullptr) m_pausePanel->setVisible(false);
    startClosingSlide();
}

void PauseHostScreen::startClosingSlide()
{
    m_rollerClosing = true;
    m_pauseOpen = false;
    const int32_t h = screenHeight();
    if (FWidget* bottom = m_bottomRoller.get())
        m_bottomTween.start({0, h / 2 - bottom->height() / 2}, k_slideMs);
    if (FWidget* top = m_topRoller.get()) m_topTween.start({0, h / 2 - top->height() / 2}, k_slideMs);
    stopEmitters();
}

void PauseHostScreen::stopEmitters()
{
    if (m_bottomEmitter.get() != nullptr) m_bottomEmitter->stop();
    if (m_topEmitter.get() != nullptr) m_topEmitter->stop();
}

void PauseHostScreen::fadeCoverIn()
{
    m_coverFade.easing = 0;
    startAlphaFade(m_coverFade, 255, k_coverFadeMs);
    if (m_pauseCover.get() != nullptr) m_pauseCover->bringToFront();
}

void PauseHostScreen::onResumeClicked()
{
    if (!m_pauseOpen) return;
    m_pauseOpen = false;
    stopEmitters();
    playScreenSound(m_confirmSound);
    onResume();
    fadeCoverIn();
}

void PauseHostScreen::onOptionsClicked()
{
    // Without this test, resume then options within the fade would end in
    // the options overlay over a running level.
    if (!m_pauseOpen) return;
    m_pauseOpen = false;
    m_optionsRequested = true;
    stopEmitters();
    playScreenSound(m_confirmSound);
    fadeCoverIn();
}

void PauseHostScreen::onQuitToMenuClicked()
{
    if (!m_pauseOpen) return;
    pushQuestion(m_pauseQuestion, m_confirmLabel, m_cancelLabel, k_quitToMenuConfirmation, true, true);
}

void PauseHostScreen::onQuitToWorldMapClicked()
{
    if (!m_pauseOpen) return;
    pushQuestion(m_pauseQuestion, m_confirmLabel, m_cancelLabel, k_quitToMapConfirmation, true, true);
}

void PauseHostScreen::onConfirmMessage(int32_t kind)
{
    if (kind == k_quitToMenuConfirmation)
        leaveLevel(k_mainMenuScreen);
    else if (kind == k_quitToMapConfirmation)
        leaveLevel(k_worldMapScreen);
    else
        SystemMessageScreen::onConfirmMessage(kind);
}

void PauseHostScreen::leaveLevel(int32_t pending)
{
    m_pauseOpen = false;
    stopEmitters();
    playScreenSound(m_confirmSound);
    ZibboUserInterface* module = gameModule();
    if (module == nullptr) return;
    module->stopAllSounds();
    module->resumeAudioAndCursor(true);
    module->setPendingScreen(pending);
    if (pending == k_mainMenuScreen) module->setMenuMusicRestart(true);
    if (GameSession* play = session()) play->cancelAllPowerUps();
    module->setScreen(k_loadingScreen, false);
}

void PauseHostScreen::restartBottomEmitter()
{
    restartPieceEmitter(m_bottomEmitter, m_bottomRoller.get(), {m_particlePool.get(), m_particleGroup.get()},
                        -10000, false, makeMemberDelegate(this, &PauseHostScreen::onBottomEmitterFinished));
}

void PauseHostScreen::restartTopEmitter()
{
    restartPieceEmitter(m_topEmitter, m_topRoller.get(), {m_particlePool.get(), m_particleGroup.get()}, 10000,
                        false, makeMemberDelegate(this, &PauseHostScreen::onTopEmitterFinished));
}

void PauseHostScreen::update(int32_t ms)
{
    OptionsHostScreen::update(ms);
    FContainer* container = m_pauseContainer.get();
    if (container == nullptr) return;
    if (FWidget* strip = m_pauseStrip.get(); strip != nullptr && m_pausePanel.get() != nullptr &&
                                             m_topRoller.get() != nullptr &&
                                             m_bottomRoller.get() != nullptr) {
        const int32_t top = m_topRoller->getWidgetCenter().y;
        strip->setWidgetSize(m_pausePanel->width(), m_bottomRoller->getWidgetCenter().y - top);
        strip->setWidgetPosition(m_topRoller->rect().left, top);
    }
    if (container->isVisible()) {
        if (m_coverFade.isActive()) {
            m_coverFade.update(ms);
            if (m_pauseCover.get() != nullptr) m_pauseCover->bringToFront();
        }
        m_bottomTween.update(ms);
        m_topTween.update(ms);
    }
    if (container->isVisible() != m_containerSeenVisible) {
        m_containerSeenVisible = container->isVisible();
        setPauseOverlayShown(m_containerSeenVisible);
    }
    if (container->isVisible() && m_particlePool.get() != nullptr && m_particleGroup.get() != nullptr) {
        m_particlePool->update(ms, *m_particleGroup);
        m_particleGroup->update(ms);
        m_particleGroup->applyRecords();
        if (FContainer* layer = m_particleGroup->layer()) layer->bringToFront();
    }
    if (m_pauseOpen) {
        if (m_bottomEmitter.get() != nullptr) m_bottomEmitter->update(ms);
        if (m_topEmitter.get() != nullptr) m_topEmitter->update(ms);
    }
    if (m_restartBottom) {
        m_restartBottom = false;
        restartBottomEmitter();
    }
    if (m_restartTop) {
        m_restartTop = false;
        restartTopEmitter();
    }
}

void PauseHostScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (pointer != 0 && m_pauseOpen) return;
    if (button != ZibboUserInterface::k_buttonLeft && button != ZibboUserInterface::k_buttonConfirm) return;
    OptionsHostScreen::onPointerDown(pointer, button, point);
}

void PauseHostScreen::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (pointer != 0 && m_pauseOpen) return;
    OptionsHostScreen::onPointerMove(pointer, point);
}

void PauseHostScreen::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if (pointer != 0 && m_pauseOpen) return;
    if (button != ZibboUserInterface::k_buttonLeft && button != ZibboUserInterface::k_buttonConfirm) return;
    OptionsHostScreen::onPointerUp(pointer, button, point);
}
