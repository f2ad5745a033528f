#pragma once

#include "ScreenLayout13.h"
#include "core/FString.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <deque>
#include <limits>

class FlashSprite;
class VideoSprite;

// The story prologue (kind 7) after a new profile: four captions typed out
// while their voices speak (72, 69, 66 and 63 ms a character), a press shows
// a caption whole and the next goes on; clips fade in after the first, the
// second and the fourth caption, the music changes after the second clip and
// the last clip ends in a white flash. Then the first world's special quest
// becomes the session's quest and, after more than 350 ms, the loading
// screen follows. UI thread only.
class GameModeScreen : public ScreenLayout13
{
public:
    static constexpr int32_t k_leaveAfterMs = 350;
    static constexpr int32_t k_clipFadeMs = 800;
    static constexpr int32_t k_closingFadeMs = 160;
    static constexpr int32_t k_captionFadeMs = 160;
    static constexpr uint32_t k_noWordEnd = std::numeric_limits<uint32_t>::max();

    GameModeScreen();
    ~GameModeScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;

    int32_t step() const { return m_step; }
    int32_t typeInterval() const { return m_typeInterval; }
    bool isTyping() const { return m_typing; }
    bool isCaptionComplete() const { return m_captionComplete; }
    bool isDone() const { return m_done; }
    VideoSprite& clipPlayer() const { return *m_clipSprite; }
    FlashSprite& flash() const { return *m_flash; }
    const WidgetFadeTween& clipFade() const { return m_clipFade; }

    void onVoiceFinished() {}

private:
    void startCaption();
    void typeCaption();
    void completeCaption();
    void showNextClip();
    void onClipFadeDone();
    void onClipFinished(VideoSprite&);
    void onLastClipFinished();
    void onFlashDone(FlashSprite&);
    void centreClip();
    // The caption's text, or the empty text.
    const FString& captionText() const;

    VideoSprite* m_clipSprite = nullptr;
    FlashSprite* m_flash = nullptr;
    std::deque<FRef> m_captions;
    std::deque<FRef> m_voiceLines;
    std::deque<FRef> m_clips;
    int32_t m_step = 0;
    FRef m_caption;
    FRef m_voiceLine;
    bool m_typing = true;
    bool m_captionComplete = false;
    int32_t m_typeElapsed = 0;
    int32_t m_typeInterval = 75;
    uint32_t m_charsShown = 0;
    uint32_t m_wordEnd = 0;
    bool m_done = false;
    int32_t m_leaveDelay = 0;
    bool m_voiceCallbackSet = false;
    WidgetFadeTween m_clipFade;
    FadeTween m_captionFade;
};
