#include "game/frontend/IntroSlidesScreen.h"

#include "core/FErrorMessage.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ScreenKind.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"

IntroSlidesScreen::IntroSlidesScreen()
{
    m_slideSprite = dynamic_cast<VideoSprite*>(m_slide.get());
    if (m_slideSprite == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "the intro slide of folder 10 is no video sprite");
    m_slideFade.target = m_slideSprite;
    m_coverFade.target = m_cover.get();
}

IntroSlidesScreen::~IntroSlidesScreen()
{
    m_slideFade.setCompletion(nullptr);
    m_coverFade.setCompletion(nullptr);
}

void IntroSlidesScreen::onActivate()
{
    m_slideSprite->setVisible(true);
    m_slideSprite->setImage(FRefT<FImage>(m_slideImage), false);
    m_slideSprite->setWidgetAlpha(0);
    if (FContainer* parent = m_slideSprite->parent()) parent->moveChildToEnd(m_slideSprite);
    FTween::Completion* shown = makeMemberDelegate(this, &IntroSlidesScreen::onSlideShown);
    m_slideFade.setCompletion(shown);
    engineFree(shown);
    m_slideFade.delay = 0;
    startAlphaFade(m_slideFade, 255, k_fadeMs);
}

void IntroSlidesScreen::onSlideShown()
{
    FTween::Completion* hidden = makeMemberDelegate(this, &IntroSlidesScreen::onSlideHidden);
    m_slideFade.setCompletion(hidden);
    engineFree(hidden);
    startAlphaFade(m_slideFade, 0, k_fadeMs);
    m_slideFade.delay = k_holdMs;
}

void IntroSlidesScreen::onSlideHidden()
{
    m_slideSprite->setVisible(false);
    FTween::Completion* done = makeMemberDelegate(this, &IntroSlidesScreen::onSlidesDone);
    m_coverFade.setCompletion(done);
    engineFree(done);
    m_coverFade.delay = 0;
    startAlphaFade(m_coverFade, 0, k_coverFadeMs);
}

void IntroSlidesScreen::onSlidesDone()
{
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance())
        game->setScreen(k_introAnimationScreen, false);
}

void IntroSlidesScreen::update(int32_t elapsed)
{
    m_slideSprite->update(elapsed);
    m_slideFade.update(elapsed);
    m_coverFade.update(elapsed);
}
