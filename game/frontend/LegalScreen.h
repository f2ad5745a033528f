#pragma once

#include "ScreenLayout07.h"
#include "core/FRef.h"
#include "graphics/FGeometry.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstddef>
#include <cstdint>
#include <deque>

class FLabel;
class SoundChannel;
class VideoSprite;

// The legal notice (kind 2): over a slide show of 25 looping clips it shows
// 42 pages (a heading over a body text), each fading in over 400 ms, staying
// 3000 ms and fading out over 400 ms, then 13 notices of which the last
// stays; an image pulses all the while, and the first music track is
// followed by the second. Any press leaves through the loading screen: to
// the world map after the closing animation or a level, else to the main
// menu.
class LegalScreen : public ScreenLayout07
{
public:
    static constexpr int32_t k_fadeMs = 400;
    static constexpr int32_t k_pageMs = 3000;
    static constexpr int32_t k_videoMs = 6000;
    static constexpr int32_t k_startMs = 500;
    static constexpr int32_t k_firstNoticeFadeMs = 800;
    static constexpr int32_t k_pulseMs = 750;
    static constexpr int32_t k_leaveButton = 19;

    // A list of handles with a read position.
    struct ReadList
    {
        std::deque<FRef> entries;
        std::size_t position = 0;
        const FRef& current() const { return entries[position]; }
        bool atLast() const { return position + 1 >= entries.size(); }
    };

    LegalScreen();
    ~LegalScreen() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void update(int32_t elapsed) override;
    void onActivate() override;

    void onLegalDone();

    FLabel& headingLabel() const { return *m_headingText; }
    FLabel& bodyLabel() const { return *m_bodyText; }
    FLabel& noticeLabel() const { return *m_noticeText; }
    VideoSprite& videoSprite() const { return *m_videoPlayer; }
    const ReadList& videos() const { return m_videos; }
    const ReadList& headings() const { return m_headings; }
    const ReadList& bodies() const { return m_bodies; }
    const ReadList& notices() const { return m_notices; }
    FPointI videoCentre() const { return m_videoCentre; }
    bool isDone() const { return m_done; }
    // The first track's channel while its end still leads to the second.
    bool waitsForFirstTrack() const;

    FadeTween m_headingFade;
    FadeTween m_noticeFade;
    WidgetFadeTween m_videoFade;
    WidgetFadeTween m_pulseFade;
    FTimerTween m_headingTimer;
    FTimerTween m_videoTimer;
    FTimerTween m_noticeTimer;
    FTimerTween m_startTimer;

private:
    void onHeadingFadeDone();
    void onVideoFadeDone();
    void onNoticeFadeDone();
    void togglePulse();
    void showNextPage();
    void showNextVideo();
    void showNextNotice();
    void startNotices();
    void onFirstTrackEnded();
    void placeHeading();
    void centreVideo();
    void fadeHeadingOut();
    void fadeVideoIn();
    void fadeVideoOut();
    void fadeNoticeOut();
    // Lets go of the first track's end, unless its channel went on to another sound.
    void releaseFirstTrack();

    FLabel* m_headingText = nullptr;
    FLabel* m_bodyText = nullptr;
    FLabel* m_noticeText = nullptr;
    FLabel* m_hiddenText = nullptr;
    VideoSprite* m_videoPlayer = nullptr;
    ReadList m_videos;
    ReadList m_headings;
    ReadList m_bodies;
    ReadList m_notices;
    FPointI m_videoCentre;
    SoundChannel* m_music = nullptr;
    bool m_done = false;
};
