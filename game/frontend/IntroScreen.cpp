#include "game/frontend/IntroScreen.h"

#include "core/FApplication.h"
#include "core/FString.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ScreenKind.h"
#include "graphics/FGraph.h"

IntroScreen::IntroScreen()
{
    m_pictureAFade.target = m_pictureA.get();
    m_pictureBFade.target = m_pictureB.get();
}

IntroScreen::~IntroScreen()
{
    m_pictureBFade.setCompletion(nullptr);
    m_pictureAFade.setCompletion(nullptr);
}

void IntroScreen::onActivate()
{
    m_pictureA->setWidgetAlpha(0);
    m_pictureB->setWidgetAlpha(0);
    m_pictureB->setVisible(false);
    m_pictureA->setWidgetAlpha(0);
    m_pictureA->setVisible(true);
    FTween::Completion* shown = makeMemberDelegate(this, &IntroScreen::onPictureAShown);
    m_pictureAFade.setCompletion(shown);
    engineFree(shown);
    m_pictureAFade.delay = 0;
    startAlphaFade(m_pictureAFade, 255, k_fadeMs);
}

void IntroScreen::onPictureAShown()
{
    m_pictureB->setVisible(true);
    m_pictureB->setWidgetAlpha(0);
    if (FContainer* parent = m_pictureB->parent()) parent->moveChildToEnd(m_pictureB.get());
    FTween::Completion* shown = makeMemberDelegate(this, &IntroScreen::onPictureBShown);
    m_pictureBFade.setCompletion(shown);
    engineFree(shown);
    m_pictureBFade.delay = 0;
    startAlphaFade(m_pictureBFade, 255, k_fadeMs);
}

void IntroScreen::onPictureBShown()
{
    FTween::Completion* done = makeMemberDelegate(this, &IntroScreen::onIntroDone);
    m_pictureBFade.setCompletion(done);
    engineFree(done);
    startAlphaFade(m_pictureBFade, 0, k_fadeMs);
    m_pictureBFade.delay = k_holdMs;
}

void IntroScreen::onIntroDone()
{
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance())
        game->setScreen(k_introSlidesScreen, false);
}

void IntroScreen::update(int32_t elapsed)
{
    if (!m_titleSet) {
        m_titleSet = true;
        const FString* title = m_windowTitle.as<FString>();
        if (FGraph* graph = findService<FGraph>(k_slotGraphics); graph != nullptr && title != nullptr)
            graph->setWindowTitle(title->toUtf8());
    }
    m_pictureBFade.update(elapsed);
    m_pictureAFade.update(elapsed);
}
