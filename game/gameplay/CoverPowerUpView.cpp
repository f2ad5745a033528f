#include "game/gameplay/CoverPowerUpView.h"

#include "core/FMemory.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/PowerUpKind.h"
#include "game/gameplay/CommonUIScreen.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

CoverPowerUpView::CoverPowerUpView(FContainer* parent) : PowerUpView(parent, k_powerUpCover)
{
    m_breakTimer.setSpeed(1.0f);
}

CoverPowerUpView::~CoverPowerUpView()
{
    m_overlayImage = {};
    m_fade.target = nullptr;
    m_fade.items.clear();
    m_fade.setCompletion(nullptr);
    if (VideoSprite* sprite = m_crackSprite.get()) sprite->setFinishCallback(nullptr);
    m_crackSprite = {};
    m_overlay = {};
    m_breakTimer.setCompletion(nullptr);
}

void CoverPowerUpView::setup()
{
    CommonUIScreen* host = hostScreen();
    if (host == nullptr) return;
    setIcon(host->m_iconCover);
    setLaunchClip(host->m_launchCoverClip);
    const FRectI map = mapRect();
    m_overlay = makeRef(engineNew<FContainer>(k_memObject, host, true));
    m_overlay->setWidgetRect({0, 0, map.right - map.left, map.bottom - map.top});
    const FPointI centre{m_overlay->width() / 2, m_overlay->height() / 2};

    m_overlayImage = makeRef(engineNew<FImageWidget>(k_memObject, m_overlay.get(), true));
    m_overlayImage->setImage(FRefT<FImage>(host->m_coverImage), true);
    m_overlayImage->centerWidgetOnPoint(centre);
    m_overlayImage->setWidgetAlpha(0);
    m_overlayImage->setVisible(false);
    m_fade.target = m_overlayImage.get();
    FTween::Completion* faded = makeMemberDelegate(this, &CoverPowerUpView::onFadeInEnd);
    m_fade.setCompletion(faded);
    freeAndNull(faded);

    m_crackSprite = makeRef(engineNew<VideoSprite>(k_memObject, m_overlay.get()));
    m_crackSprite->setVideo(FRefT<FVideo>(host->m_coverBreakClip), true);
    m_crackSprite->setFrameRate(k_breakClipFps);
    m_crackSprite->setFrameTime(k_breakClipFrameMs);
    m_crackSprite->centerWidgetOnPoint(centre);
    m_crackSprite->setVisible(false);
    VideoSprite::Callback* ended = makeMemberDelegate(this, &CoverPowerUpView::onBreakClipEnd);
    m_crackSprite->setFinishCallback(ended);
    freeAndNull(ended);

    FTween::Completion* broken = makeMemberDelegate(this, &CoverPowerUpView::breakCover);
    m_breakTimer.setCompletion(broken);
    freeAndNull(broken);
    bringToFront();
}

void CoverPowerUpView::onLaunchFinished()
{
    if (!passLaunchCheck()) return;
    CommonUIScreen* host = hostScreen();
    if (host == nullptr) return;
    host->startCoverStream(player());
    if (FImageWidget* image = m_overlayImage.get()) {
        image->setWidgetAlpha(0);
        image->setVisible(true);
    }
    m_fade.start(255, k_fadeInMs);
    playViewSound(host->m_coverFadeSound);
}

void CoverPowerUpView::onFadeInEnd()
{
    m_breakTimer.start(k_breakMs);
    m_crackCounter = k_fullCounter;
    if (state() == ActivePowerUp::k_stateEnded || hostScreen() == nullptr) return;
    // On the story screen the throw effect takes the first crack.
    hostScreen()->throwAtPlayer(player());
}

void CoverPowerUpView::crack()
{
    // The cover is not there to crack until it has faded in.
    if (m_fade.isActive()) return;
    CommonUIScreen* host = hostScreen();
    m_crackCounter -= k_crackStep;
    if (m_crackCounter == 0) {
        breakCover();
        return;
    }
    if (host == nullptr || m_crackCounter < 2 || m_crackCounter > 10 || m_crackCounter % 2 != 0) return;
    // 10 shows the first crack picture, 2 the fifth.
    const FRef* pictures[] = {&host->m_crack5Image, &host->m_crack4Image, &host->m_crack3Image,
                              &host->m_crack2Image, &host->m_crack1Image};
    if (FImageWidget* image = m_overlayImage.get())
        image->setImage(FRefT<FImage>(*pictures[m_crackCounter / 2 - 1]), true);
    const FRef* sounds[] = {&host->m_crack1Sound, &host->m_crack2Sound, &host->m_crack3Sound,
                            &host->m_crack4Sound, &host->m_crack5Sound};
    playViewSound(*sounds[GameRandom::rand() % 5]);
}

void CoverPowerUpView::crackInSlot(CommonUIScreen& screen, int32_t player)
{
    GameSession* session = screen.session();
    if (session == nullptr || player < 0 || player >= GameSession::k_slotCount) return;
    const ActivePowerUp* record = session->powerUpSlot(player);
    if (record == nullptr || record->kind() != k_powerUpCover) return;
    if (PowerUpView* cover = screen.getPowerUpViewByUniqueId(record->uniqueId())) cover->crack();
}

void CoverPowerUpView::breakCover()
{
    if (CommonUIScreen* host = hostScreen()) {
        host->hidePowerUpMessage(player());
        host->setDimmed(false, player());
        playViewSound(host->m_coverBreakSound);
    }
    m_breakTimer.setActive(false);
    if (FImageWidget* image = m_overlayImage.get()) image->setVisible(false);
    if (VideoSprite* sprite = m_crackSprite.get()) {
        sprite->setVisible(true);
        sprite->play(false);
    }
}

void CoverPowerUpView::onBreakClipEnd(VideoSprite& sprite)
{
    sprite.setVisible(false);
    useSessionPowerUp(player());
}

void CoverPowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    PowerUpView::onPowerUpStateChanged(record);
    if (state() != ActivePowerUp::k_stateEnded) return;
    setVisible(false);
    if (FImageWidget* image = m_overlayImage.get()) image->setVisible(false);
    if (VideoSprite* sprite = m_crackSprite.get()) {
        sprite->setPlaying(false);
        sprite->setVisible(false);
    }
    m_breakTimer.setActive(false);
    m_fade.setActive(false);
}

void CoverPowerUpView::update(int32_t elapsedMs)
{
    if (m_breakTimer.isActive()) m_breakTimer.update(elapsedMs);
    if (plays(m_crackSprite.get())) m_crackSprite->update(elapsedMs);
    if (m_fade.isActive()) m_fade.update(elapsedMs);
    PowerUpView::update(elapsedMs);
}
