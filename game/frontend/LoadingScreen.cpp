#include "game/frontend/LoadingScreen.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSession.h"
#include "game/core/GameShuffle.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/widgets/VideoSprite.h"
#include "video/FVideo.h"

LoadingScreen::LoadingScreen()
{
    m_pictureSprite = dynamic_cast<VideoSprite*>(m_picture.get());
    if (m_pictureSprite == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "the loading picture of folder 15 is no video sprite");
    // Asset 1878 of the pictures' folder is not one of them.
    m_pictures = {m_loadingPicture0,  m_loadingPicture2,  m_loadingPicture3,  m_loadingPicture4,
                  m_loadingPicture5,  m_loadingPicture6,  m_loadingPicture7,  m_loadingPicture8,
                  m_loadingPicture9,  m_loadingPicture10, m_loadingPicture11, m_loadingPicture12,
                  m_loadingPicture13, m_loadingPicture14, m_loadingPicture15, m_loadingPicture16,
                  m_loadingPicture17, m_loadingPicture18, m_loadingPicture19, m_loadingPicture20,
                  m_loadingPicture21, m_loadingPicture22, m_loadingPicture23, m_loadingPicture24};
    gameShuffle(m_pictures);
    m_pictureSprite->setVideo(FRefT<FVideo>(m_pictures.front()), true);
    m_pictureSprite->setFrameRate(k_frameRate);
    m_pictureSprite->setFrameTime(k_frameTimeMs);
    m_pictureSprite->setLoops(-1);
    m_scale = static_cast<float>((rect().right - rect().left) / k_referenceWidth);
    const FPointI centre = pictureCentre();
    const int32_t x = static_cast<int32_t>(static_cast<float>(centre.x) * m_scale);
    const int32_t y = static_cast<int32_t>(static_cast<float>(centre.y) * m_scale);
    const FRectI& r = m_pictureSprite->rect();
    const int32_t width = r.right - r.left;
    const int32_t height = r.bottom - r.top;
    const int32_t left = x - width / 2;
    const int32_t top = y - height / 2;
    m_pictureSprite->setWidgetRect(FRectI{left, top, left + width, top + height});
}

LoadingScreen::~LoadingScreen() = default;

FPointI LoadingScreen::pictureCentre() const
{
    const void* shown = m_pictureSprite->video().get();
    if (shown == m_loadingPicture9.get()) return {440, 360};  // asset 1886
    if (shown == m_loadingPicture12.get()) return {428, 343}; // asset 1889
    if (shown == m_loadingPicture18.get()) return {458, 351}; // asset 1895
    return {481, 335};
}

void LoadingScreen::onActivate()
{
    m_pictureSprite->play(false);
    FrontEndSounds::playMusic(m_loadingMusic, false);
}

void LoadingScreen::update(int32_t elapsed)
{
    SystemMessageScreen::update(elapsed);
    if (!m_done) {
        m_elapsed += elapsed;
        if (m_elapsed > k_waitMs) {
            m_done = true;
            goOn();
        }
    }
    m_pictureSprite->update(elapsed);
}

void LoadingScreen::goOn()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    const int32_t pending = game->pendingScreen();
    if (pending != k_noScreen) {
        game->setPendingScreen(k_noScreen);
        if (pending == k_mainMenuScreen) game->setMenuMusicRestart(true);
        game->setScreen(pending, true);
        return;
    }
    const FRefT<GameSession> session = game->getGameSession();
    if (!session.isNull() && session->mode() == 0) {
        game->setScreen(k_storyModeScreen, true);
        return;
    }
    // Nothing names where to go: the main menu is always a way on.
    ZIBBO_LOG(k_logDefault, false) << "Loading screen: no pending screen and play mode "
                                   << (session.isNull() ? -1 : session->mode()) << "; going to the main menu";
    game->setMenuMusicRestart(true);
    game->setScreen(k_mainMenuScreen, true);
}
