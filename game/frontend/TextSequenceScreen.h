#pragma once

#include "ScreenLayout22.h"
#include "core/FRef.h"
#include "core/FString.h"
#include "ui/FTimerTween.h"
#include "ui/FadeTween.h"

#include <cstdint>
#include <deque>

class FLabel;
class FlashSprite;
class VideoSprite;

// The closing texts (kind 13): each entry's text is typed one character
// every 65 ms, a word that would not fit starting a new line, while its voice
// line reads it; once the text shows whole and the voice has ended (or a
// press cut it) the next entry follows 600 ms later, a picture between two
// texts fading in, playing and fading out. After the last entry the screen
// flashes to black and switches to the closing animation, built in the
// background meanwhile.
class TextSequenceScreen : public ScreenLayout22
{
public:
    static constexpr int32_t k_characterMs = 65;
    static constexpr int32_t k_linePauseMs = 600;
    static constexpr int32_t k_voiceGraceMs = 700;
    static constexpr int32_t k_pictureFadeMs = 800;
    static constexpr int32_t k_textFadeMs = 160;
    static constexpr uint32_t k_black = 0xFF000000u;

    TextSequenceScreen();
    ~TextSequenceScreen() override;

    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void update(int32_t elapsed) override;
    void onActivate() override;

    FLabel& textLabel() const { return *m_label; }
    VideoSprite& pictureSprite() const { return *m_picture; }
    FlashSprite& flashSprite() const { return *m_flash; }

    // The sequence: texts, voice lines and pictures (a null picture: none).
    std::deque<FRef> m_texts;
    std::deque<FRef> m_voices;
    std::deque<FRef> m_pictures;
    uint32_t m_index = 0;
    FString m_currentText;
    FRef m_currentVoice;
    bool m_typing = true;
    bool m_finished = false;
    bool m_flashDone = false;
    bool m_textComplete = false;
    bool m_voiceDone = false;
    uint32_t m_typedCount = 0;
    uint32_t m_wordEnd = 0;
    int32_t m_typingTime = 0;
    bool m_preloadRequested = false;
    WidgetFadeTween m_pictureFade;
    FadeTween m_textFade;
    FTimerTween m_voiceGraceTimer;
    FTimerTween m_linePauseTimer;

private:
    void showNextString();
    void completeLine();
    void advanceEntry();
    void typeCharacters();
    void finishSequence();
    void onVoiceDone();
    void onPictureFadeDone();
    void onPictureVideoDone(VideoSprite&);
    void onFlashDone(FlashSprite&);
    void listenForVoiceEnd();
    void centrePicture();
    int32_t widthOf(const FString& text) const;

    FLabel* m_label = nullptr;
    VideoSprite* m_picture = nullptr;
    FlashSprite* m_flash = nullptr;
};
