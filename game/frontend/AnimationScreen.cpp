#include "game/frontend/AnimationScreen.h"

#include "core/FErrorMessage.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/widgets/VideoSprite.h"
#include "video/FVideo.h"

AnimationScreen::AnimationScreen()
{
    m_playerSprite = dynamic_cast<VideoSprite*>(m_player.get());
    if (m_playerSprite == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "the animation player of folder 9 is no video sprite");
    m_playerSprite->setVideo(FRefT<FVideo>(m_animation), true);
    m_playerSprite->setLoops(0);
    // The player covers the screen from its own top-left corner.
    const FRectI& r = m_playerSprite->rect();
    m_playerSprite->setWidgetRect(FRectI{r.left, r.top, r.left + width(), r.top + height()});
    m_playerSprite->setFrameRate(k_frameRate);
    m_playerSprite->setFrameTime(k_frameTimeMs);
    VideoSprite::Callback* finished = makeMemberDelegate(this, &AnimationScreen::onAnimationFinished);
    m_playerSprite->setFinishCallback(finished);
    engineFree(finished);
    FTween::Completion* held = makeMemberDelegate(this, &AnimationScreen::onHoldDone);
    m_holdTimer.setCompletion(held);
    engineFree(held);
    m_fade.target = m_playerSprite;
    FTween::Completion* faded = makeMemberDelegate(this, &AnimationScreen::onFadedOut);
    m_fade.setCompletion(faded);
    engineFree(faded);
    FTween::Completion* waited = makeMemberDelegate(this, &AnimationScreen::onWaitDone);
    m_waitTimer.setCompletion(waited);
    engineFree(waited);
}

AnimationScreen::~AnimationScreen()
{
    m_playerSprite->setFinishCallback(nullptr);
    m_holdTimer.setCompletion(nullptr);
    m_fade.setCompletion(nullptr);
    m_waitTimer.setCompletion(nullptr);
}

void AnimationScreen::onActivate()
{
    FrontEndSounds::takeControllers(this);
}

void AnimationScreen::update(int32_t elapsed)
{
    SystemMessageScreen::update(elapsed);
    if (FrontEndSounds::isGamePaused()) return;
    m_holdTimer.update(elapsed);
    m_fade.update(elapsed);
    m_waitTimer.update(elapsed);
    m_playerSprite->update(elapsed);
    if (!m_started) {
        FrontEndSounds::playMusic(m_animationMusic, false);
        m_playerSprite->play(false);
        m_started = true;
    }
}

void AnimationScreen::onAnimationFinished(VideoSprite&)
{
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance()) game->stopAllSounds();
    m_holdTimer.start(k_holdMs);
}

void AnimationScreen::onHoldDone()
{
    startAlphaFade(m_fade, 0, k_fadeMs);
}

void AnimationScreen::onFadedOut()
{
    m_waitTimer.start(k_waitMs);
}

void AnimationScreen::onWaitDone()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    game->setPendingScreen(k_legalScreen);
    game->setScreen(k_loadingScreen, false);
}
