#include "game/frontend/IntroAnimationScreen.h"

#include "asset/FAsset.h"
#include "core/FErrorMessage.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/widgets/VideoSprite.h"
#include "video/FVideo.h"

IntroAnimationScreen::IntroAnimationScreen()
{
    m_playerSprite = dynamic_cast<VideoSprite*>(m_player.get());
    if (m_playerSprite == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "the intro animation player of folder 17 is no video sprite");
    VideoSprite::Callback* finished = makeMemberDelegate(this, &IntroAnimationScreen::onPlayerFinished);
    m_playerSprite->setFinishCallback(finished);
    engineFree(finished);
    auto* video = dynamic_cast<FVideo*>(static_cast<FAsset*>(m_introAnimation.get()));
    if (video == nullptr) ZIBBO_FAIL(msgIllegalOperation, "asset 6633 of folder 17 is no video");
    m_playerSprite->setVideo(FRefT<FVideo>(m_introAnimation), false);
    video->ensureLoaded();
    const auto rate = static_cast<int32_t>(video->framePerSecond());
    if (rate <= 0)
        ZIBBO_FAIL(msgIllegalOperation,
                   "the intro animation (asset 6633 of folder 17) reports a frame rate of " << rate);
    m_playerSprite->setFrameRate(rate);
    m_playerSprite->setFrameTime(1000 / rate);
}

IntroAnimationScreen::~IntroAnimationScreen()
{
    m_playerSprite->setFinishCallback(nullptr);
}

void IntroAnimationScreen::onActivate()
{
    m_playerSprite->play(false);
    FrontEndSounds::playMusic(m_introMusic, false);
}

void IntroAnimationScreen::update(int32_t elapsed)
{
    m_playerSprite->update(elapsed);
}

void IntroAnimationScreen::onAnimationDone()
{
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance()) game->setScreen(k_splashScreen, false);
}
