#include "game/frontend/LegalScreen.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/InputCodes.h"
#include "game/core/ScreenKind.h"
#include "game/core/SoundChannel.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FLabel.h"
#include "video/FVideo.h"

namespace {

template <class Member> void bindLegalCompletion(FTween& tween, LegalScreen* screen, Member member)
{
    FTween::Completion* completion = makeMemberDelegate(screen, member);
    tween.setCompletion(completion);
    engineFree(completion);
}

// The y of a label's text anchor, relative to its top.
int32_t legalAnchorY(const FLabel& label)
{
    if (label.origin().x != FLabel::k_automaticOrigin) return label.origin().y;
    switch (label.verticalAlignment()) {
    case 0:
    case 1:
        return 0;
    case 2:
    case 3:
        return label.height() / 2;
    default:
        return label.height();
    }
}

} // namespace

LegalScreen::LegalScreen()
{
    m_headingText = m_headingLabel.get();
    m_bodyText = m_bodyLabel.get();
    m_noticeText = m_noticeLabel.get();
    m_hiddenText = m_hiddenLabel.get();
    m_videoPlayer = dynamic_cast<VideoSprite*>(m_videoSprite.get());
    if (m_videoPlayer == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "the slide show of folder 7 is no video sprite");
    // Pages and notices are paragraphs: they wrap and sit centred.
    for (FLabel* label : {m_headingText, m_bodyText, m_noticeText}) {
        label->setHorizontalAlignment(2);
        label->enableWordWrap();
    }
    const FRectI& r = m_videoPlayer->rect();
    m_videoCentre = {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
    m_videos.entries = {
        m_loadingPicture0,  m_loadingPicture1,  m_loadingPicture2,  m_loadingPicture3,  m_loadingPicture4,
        m_loadingPicture5,  m_loadingPicture6,  m_loadingPicture7,  m_loadingPicture8,  m_loadingPicture9,
        m_loadingPicture10, m_loadingPicture11, m_loadingPicture12, m_loadingPicture13, m_loadingPicture14,
        m_loadingPicture15, m_loadingPicture16, m_loadingPicture17, m_loadingPicture18, m_loadingPicture19,
        m_loadingPicture20, m_loadingPicture21, m_loadingPicture22, m_loadingPicture23, m_loadingPicture24};
    m_headings.entries = {
        m_pageHeading01, m_pageHeading02, m_pageHeading03, m_pageHeading04, m_pageHeading05, m_pageHeading06,
        m_pageHeading07, m_pageHeading08, m_pageHeading09, m_pageHeading10, m_pageHeading11, m_pageHeading12,
        m_pageHeading13, m_pageHeading14, m_pageHeading15, m_pageHeading16, m_pageHeading17, m_pageHeading18,
        m_pageHeading19, m_pageHeading20, m_pageHeading21, m_pageHeading22, m_pageHeading23, m_pageHeading24,
        m_pageHeading25, m_pageHeading26, m_pageHeading27, m_pageHeading28, m_pageHeading29, m_pageHeading30,
        m_pageHeading31, m_pageHeading32, m_pageHeading33, m_pageHeading34, m_pageHeading35, m_pageHeading36,
        m_pageHeading37, m_pageHeading38, m_pageHeading39, m_pageHeading40, m_pageHeading41, m_pageHeading42};
    m_bodies.entries = {m_pageBody01, m_pageBody02, m_pageBody03, m_pageBody04, m_pageBody05, m_pageBody06,
                        m_pageBody07, m_pageBody08, m_pageBody09, m_pageBody10, m_pageBody11, m_pageBody12,
                        m_pageBody13, m_pageBody14, m_pageBody15, m_pageBody16, m_pageBody17, m_pageBody18,
                        m_pageBody19, m_pageBody20, m_pageBody21, m_pageBody22, m_pageBody23, m_pageBody24,
                        m_pageBody25, m_pageBody26, m_pageBody27, m_pageBody28, m_pageBody29, m_pageBody30,
                        m_pageBody31, m_pageBody32, m_pageBody33, m_pageBody34, m_pageBody35, m_pageBody36,
                        m_pageBody37, m_pageBody38, m_pageBody39, m_pageBody40, m_pageBody41, m_pageBody42};
    m_notices.entries = {m_notice01, m_notice02, m_notice03, m_notice04, m_notice05, m_notice06, m_notice07,
                         m_notice08, m_notice09, m_notice10, m_notice11, m_notice12, m_notice13};

    m_pulseImage->setWidgetAlpha(0);
    m_hiddenText->setVisible(false);

    m_headingFade.target = m_headingText;
    bindLegalCompletion(m_headingFade, this, &LegalScreen::onHeadingFadeDone);
    m_videoFade.target = m_videoPlayer;
    bindLegalCompletion(m_videoFade, this, &LegalScreen::onVideoFadeDone);
    m_pulseFade.target = m_pulseImage.get();
    bindLegalCompletion(m_pulseFade, this, &LegalScreen::togglePulse);
    bindLegalCompletion(m_headingTimer, this, &LegalScreen::fadeHeadingOut);
    bindLegalCompletion(m_videoTimer, this, &LegalScreen::fadeVideoOut);
    bindLegalCompletion(m_startTimer, this, &LegalScreen::fadeVideoIn);
}

LegalScreen::~LegalScreen()
{
    for (FTween* tween :
         std::initializer_list<FTween*>{&m_headingFade, &m_noticeFade, &m_videoFade, &m_pulseFade,
                                        &m_headingTimer, &m_videoTimer, &m_noticeTimer, &m_startTimer})
        tween->setCompletion(nullptr);
    // A track end after the screen went must not reach it.
    releaseFirstTrack();
}

bool LegalScreen::waitsForFirstTrack() const
{
    return m_music != nullptr && m_music->endCallback() != nullptr &&
           m_music->sound().get() == static_cast<const void*>(m_musicTrack1.get());
}

void LegalScreen::releaseFirstTrack()
{
    if (waitsForFirstTrack()) m_music->setEndCallback(nullptr);
    m_music = nullptr;
}

void LegalScreen::onActivate()
{
    FrontEndSounds::takeControllers(this);
    for (FLabel* label : {m_hiddenText, m_headingText, m_bodyText})
        label->setAlpha(0);
    m_videoPlayer->setWidgetAlpha(0);
    m_noticeText->setAlpha(0);
    m_startTimer.start(k_startMs);
    startAlphaTween(m_headingFade, 255, k_fadeMs);
    m_videoPlayer->setVideo(FRefT<FVideo>(m_videos.current()), true);
    centreVideo();
    m_videoPlayer->setLoops(-1);
    m_videoPlayer->setFrameRate(12);
    m_videoPlayer->setFrameTime(83);
    m_videoPlayer->play(false);
    m_music = FrontEndSounds::playMusic(m_musicTrack1, false);
    if (m_music != nullptr) {
        FTween::Completion* ended = makeMemberDelegate(this, &LegalScreen::onFirstTrackEnded);
        m_music->setEndCallback(ended);
        engineFree(ended);
    }
    placeHeading();
    togglePulse();
}

void LegalScreen::update(int32_t elapsed)
{
    SystemMessageScreen::update(elapsed);
    if (FrontEndSounds::isGamePaused()) return;
    for (FTween* tween :
         std::initializer_list<FTween*>{&m_pulseFade, &m_headingFade, &m_videoFade, &m_noticeFade,
                                        &m_headingTimer, &m_videoTimer, &m_noticeTimer, &m_startTimer})
        tween->update(elapsed);
    m_videoPlayer->update(elapsed);
    m_bodyText->setAlpha(static_cast<uint8_t>(m_headingText->colourTable()[0] >> 24));
}

void LegalScreen::placeHeading()
{
    const int32_t lines = m_bodyText->lineCount() == 0 ? 1 : static_cast<int32_t>(m_bodyText->lineCount());
    const int32_t block = m_bodyText->lineHeight() * lines;
    const int32_t y = m_bodyText->rect().top + legalAnchorY(*m_bodyText) - block / 2;
    const FRectI& r = m_headingText->rect();
    m_headingText->setWidgetRect(FRectI{r.left, y - (r.bottom - r.top), r.right, y});
}

void LegalScreen::centreVideo()
{
    m_videoPlayer->setWidgetRect(FWidget::centerRectOn(m_videoPlayer->rect(), m_videoCentre));
}

void LegalScreen::onHeadingFadeDone()
{
    if (fadedAlpha(*m_headingText) > 0) {
        m_headingTimer.start(k_pageMs);
        return;
    }
    if (m_headings.atLast()) {
        startNotices();
        return;
    }
    startAlphaTween(m_headingFade, 255, k_fadeMs);
    showNextPage();
}

void LegalScreen::showNextPage()
{
    ++m_headings.position;
    ++m_bodies.position;
    if (const FString* heading = m_headings.current().as<FString>()) m_headingText->setText(*heading);
    if (m_bodies.position < m_bodies.entries.size())
        if (const FString* body = m_bodies.current().as<FString>()) m_bodyText->setText(*body);
    placeHeading();
}

void LegalScreen::fadeHeadingOut()
{
    startAlphaTween(m_headingFade, 0, k_fadeMs);
}

void LegalScreen::fadeVideoIn()
{
    startAlphaFade(m_videoFade, 255, k_fadeMs);
}

void LegalScreen::fadeVideoOut()
{
    startAlphaFade(m_videoFade, 0, k_fadeMs);
}

void LegalScreen::fadeNoticeOut()
{
    startAlphaTween(m_noticeFade, 0, k_fadeMs);
}

void LegalScreen::onVideoFadeDone()
{
    if (fadedAlpha(static_cast<FWidget&>(*m_videoPlayer)) > 0) {
        m_videoTimer.start(k_videoMs);
        return;
    }
    startAlphaFade(m_videoFade, 255, k_fadeMs);
    showNextVideo();
}

void LegalScreen::showNextVideo()
{
    if (m_videos.atLast()) m_videos.position = 0;
    ++m_videos.position;
    m_videoPlayer->setVideo(FRefT<FVideo>(m_videos.current()), true);
    m_videoPlayer->play(false);
    centreVideo();
}

void LegalScreen::startNotices()
{
    m_headingFade.setCompletion(nullptr);
    m_videoFade.setCompletion(nullptr);
    startAlphaTween(m_headingFade, 0, k_fadeMs);
    startAlphaFade(m_videoFade, 0, k_fadeMs);
    if (const FString* notice = m_notices.current().as<FString>()) m_noticeText->setText(*notice);
    m_noticeFade.target = m_noticeText;
    bindLegalCompletion(m_noticeFade, this, &LegalScreen::onNoticeFadeDone);
    startAlphaTween(m_noticeFade, 255, k_firstNoticeFadeMs);
    bindLegalCompletion(m_noticeTimer, this, &LegalScreen::fadeNoticeOut);
}

void LegalScreen::onNoticeFadeDone()
{
    if (m_notices.atLast()) return;
    if (fadedAlpha(*m_noticeText) > 0) {
        m_noticeTimer.start(k_pageMs);
        return;
    }
    showNextNotice();
    startAlphaTween(m_noticeFade, 255, k_fadeMs);
}

void LegalScreen::showNextNotice()
{
    ++m_notices.position;
    if (m_notices.position >= m_notices.entries.size()) {
        m_noticeFade.setCompletion(nullptr);
        return;
    }
    if (const FString* notice = m_notices.current().as<FString>()) m_noticeText->setText(*notice);
}

void LegalScreen::togglePulse()
{
    startAlphaFade(m_pulseFade, fadedAlpha(*m_pulseImage) == 0 ? 255 : 0, k_pulseMs);
}

void LegalScreen::onFirstTrackEnded()
{
    m_music = nullptr;
    FrontEndSounds::playMusic(m_sequenceMusic, false);
}

void LegalScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    FScreen::onPointerDown(pointer, button, point);
    if (inputCodesMatch(button, k_leaveButton) && !m_done) onLegalDone();
    if (!m_done && !FrontEndSounds::isQuitPending()) onLegalDone();
}

void LegalScreen::onLegalDone()
{
    releaseFirstTrack();
    FrontEndSounds::stopMusic();
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    const int32_t previous = game != nullptr ? game->previousScreenKind() : k_noScreen;
    ZIBBO_LOG(k_logDefault, false) << "legal done -- last screen was " << previous;
    m_done = true;
    if (game == nullptr) return;
    game->setPendingScreen(previous == k_animationScreen || previous == k_storyModeScreen ? k_worldMapScreen
                                                                                          : k_mainMenuScreen);
    game->setScreen(k_loadingScreen, false);
}
